// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/first_qso_check.h"

#include <charconv>

#include "hamlog/hamlog_database.h"
#include "hamlog/number_text.h"
#include "platform/message_box.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::hamlog {

namespace {

bool isAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool equalFoldAZ(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

bool modeTakesPart(const settings::FirstQsoConditionSet& set, std::string_view mode) {
  if (mode == "SSB") return set.M_SSB;
  if (mode == "CW") return set.M_CW;
  if (mode == "FM") return set.M_FM;
  if (mode == "AM") return set.M_AM;
  if (mode == "PSK") return set.M_PSK;
  if (mode == "RTTY") return set.M_RTTY;
  return set.M_OTHERS;
}

struct Spot {
  std::string_view call, code, mode;
  std::string mhz;
};

// The conditions of one candidate record, in their order; the first that fails ends the test.
bool qualifies(HamlogDatabase& db, const settings::FirstQsoConditionSet& set, std::int32_t rsSel,
               bool codeOnly, const Spot& spot) {
  if (set.Num) {
    const std::int32_t n = db.recordNumber();
    if (n < readClampedInt(set.Num_L) || n > readClampedInt(set.Num_H)) return false;
  }
  if (set.Band && db.bandClass(db.freq()) != db.bandClass(spot.mhz)) return false;
  if (set.Mode && !equalFoldAZ(text::trim(db.mode()), spot.mode)) return false;
  if (set.Code && !codeOnly) {
    if (!spot.code.empty() && spot.code.front() >= '0' && spot.code.front() <= '9') {
      if (!equalFoldAZ(text::trim(db.code()), spot.code)) return false;
    } else if (rsSel == 0 || rsSel == 1 || rsSel == 2) {
      // A Michi-no-eki code: HAMLOG keeps it in the remarks.
      std::string where;
      if (rsSel == 0) where = db.remarks1();
      if (rsSel == 1) where = db.remarks2();
      if (rsSel == 2) ((where = db.remarks1()) += ' ') += db.remarks2();
      if (text::find(where, spot.code) == 0) return false;
    }
  }
  return true;
}

// Walks the records from the seek; true when none of the key's records qualifies.
bool scan(HamlogDatabase& db, const settings::FirstQsoConditionSet& set, std::int32_t rsSel,
          bool codeOnly, std::string_view key, int index, const Spot& spot) {
  if (db.seek(key.substr(0, 6), index) != 0) return true;
  for (;;) {
    const std::string_view field =
        codeOnly ? text::trim(db.code()) : callKey(text::trim(db.call()));
    if (!equalFoldAZ(field, key)) {
      // Another station: the key's records are behind us, unless this one only extends the
      // key (a six-character call after a five-character key), which the index puts among them.
      if (field.size() == key.size()) return true;
      const std::size_t common = std::min(field.size(), key.size());
      if (field.substr(0, common) != key.substr(0, common)) return true;
    } else if (qualifies(db, set, rsSel, codeOnly, spot)) {
      return false;
    }
    if (db.skip(1, index) != 0) return true;
  }
}

}  // namespace

std::string mhzFromKhz(std::string_view khz) {
  std::string digits;
  for (char c : khz)
    if (c != ',') digits += c;
  const double mhz = readLeadingDecimal(digits) * 0.001;
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, mhz, std::chars_format::fixed, 3);
  if (r.ec != std::errc()) return "0.000";
  return std::string(buf, r.ptr);
}

std::string_view callKey(std::string_view call) {
  std::size_t n = 0;
  while (n < call.size() && isAsciiAlnum(call[n])) ++n;
  return call.substr(0, n);
}

bool FirstQsoCheck(HamlogDatabase& db, const std::array<settings::FirstQsoConditionSet, 3>& sets,
                   const settings::SharedFirstSettings& shared, platform::MessageBox* box, int list,
                   const SpotFields& fields) {
  if (list < 1 || list > 3) return false;
  const settings::FirstQsoConditionSet& set = sets[static_cast<std::size_t>(list - 1)];

  if (!set.Use) return false;
  Spot spot{fields.call, fields.code, text::trim(fields.mode), mhzFromKhz(fields.freq)};
  if (!modeTakesPart(set, spot.mode)) return false;

  const bool codeOnly = set.Code && set.Any;
  if (codeOnly && (spot.code.empty() || spot.code.front() < '0' || spot.code.front() > '9'))
    return false;
  const std::string_view key = codeOnly ? spot.code : callKey(spot.call);
  // Without a call there is nothing to look for: an empty key would begin every record, and
  // every record without a call (junk between the separators of a page) would be flagged.
  if (key.empty()) return false;

  if (!db.load(list)) {
    db.release();
    return false;
  }
  bool answer = false;
  if (db.version() < kMinimumVersion) {
    if (box)
      box->show(platform::MessageBox::Kind::Information, "Zeltaro",
                text::sj("新しいバージョンのＤＬＬを使用してください"));
  } else {
    db.setShare(1);
    if (db.open(set.HAMLOG + "HAMLOG") == 0) {
      answer =
          scan(db, set, shared.RS_SEL, codeOnly, key, codeOnly ? kCodeIndex : kCallIndex, spot);
      db.close();
    }
  }
  db.release();
  return answer;
}

}  // namespace zeltaro::hamlog
