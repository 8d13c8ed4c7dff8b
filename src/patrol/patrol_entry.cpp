// SPDX-License-Identifier: GPL-3.0-or-later
#include "patrol/patrol_entry.h"

#include <chrono>
#include <cstdio>

#include "hamlog/rig_bands.h"
#include "text/sjis.h"

namespace zeltaro::patrol {

std::vector<std::string> splitColumns(std::string_view row) {
  constexpr std::size_t kMaxColumns = 51;
  std::vector<std::string> cols;
  std::string_view rest = text::trim(row);
  while (!rest.empty()) {
    if (cols.size() + 1 == kMaxColumns) {
      cols.emplace_back(rest);
      break;
    }
    const std::size_t sp = rest.find(' ');
    cols.emplace_back(rest.substr(0, sp));
    if (sp == std::string_view::npos) break;
    rest = rest.substr(sp);
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
  }
  return cols;
}

std::optional<int> columnNumber(std::string_view key) {
  key = text::trim(key);
  if (key.empty() || key.size() > 2) return std::nullopt;
  int n = 0;
  for (char c : key) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > 20) return std::nullopt;
  return n;
}

std::string ageLimit(const platform::LocalDateTime& t, int minutes) {
  using namespace std::chrono;
  const year_month_day ymd{year{t.year}, month{unsigned(t.month)}, day{unsigned(t.day)}};
  if (!ymd.ok()) return {};  // no feed yet: no limit
  const sys_time<std::chrono::minutes> at =
      sys_days{ymd} + hours{t.hour} + std::chrono::minutes{t.minute};
  const sys_time<std::chrono::minutes> limit = at - std::chrono::minutes{minutes < 0 ? 0 : minutes};
  const sys_days d = floor<days>(limit);
  const year_month_day ld{d};
  const hh_mm_ss hm{limit - d};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02u/%02u%02d:%02d", (int(ld.year()) % 100 + 100) % 100,
                unsigned(ld.month()), unsigned(ld.day()), int(hm.hours().count()),
                int(hm.minutes().count()));
  return buf;
}

namespace {

std::string column(const std::vector<std::string>& cols, std::string_view key) {
  const std::optional<int> c = columnNumber(key);
  if (!c || std::size_t(*c) > cols.size()) return {};
  return std::string(text::trim(cols[std::size_t(*c - 1)]));
}

}  // namespace

bool IsPatrolEligible(std::string_view row, int n, const settings::StationSettings& s,
                      const platform::LocalDateTime& feedTime) {
  if (text::trim(row).empty() || n < 1 || n > 3) return false;
  const std::vector<std::string> cols = splitColumns(row);
  const std::string freq = column(cols, s.shared.COL_FREQ);
  if (freq.empty() || hamlog::isOutsideRigBands(freq, s.set(n).RigFreq)) return false;
  if (s.shared.TIMEOVER_CHK) {
    const std::string stamp = column(cols, s.shared.COL_DATE) + column(cols, s.shared.COL_TIME);
    if (stamp < ageLimit(feedTime, settings::usedTimeoverMin(s.shared.TIMEOVER_MIN))) return false;
  }
  return true;
}

bool hasListFlag(std::string_view row, int j) {
  return j >= 1 && j <= 3 && row.size() >= std::size_t(j) && row[std::size_t(j - 1)] == '0' + j;
}

bool flagEnabled(std::string_view row, const std::array<bool, 3>& filters) {
  for (int j = 1; j <= 3; ++j)
    if (hasListFlag(row, j) && filters[std::size_t(j - 1)]) return true;
  return false;
}

bool sameSpot(std::string_view a, std::string_view b) {
  return a.substr(std::min<std::size_t>(4, a.size())) ==
         b.substr(std::min<std::size_t>(4, b.size()));
}

int windowOfList(int j, const std::array<std::string, 3>& folders) {
  for (int k = 1; k < j; ++k)
    if (folders[std::size_t(k - 1)] == folders[std::size_t(j - 1)]) return k;
  return j;
}

std::string transferPrefix(std::string_view folder, const std::array<std::string, 3>& folders) {
  static const char* const kPrefix[] = {"1__", "_2_", "__3"};
  for (std::size_t k = 0; k < 3; ++k)
    if (folder == folders[k]) return kPrefix[k];
  return {};
}

}  // namespace zeltaro::patrol
