// SPDX-License-Identifier: GPL-3.0-or-later
#include "pagetest/page_test.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

#include "platform/message_pump.h"
#include "spots/composition.h"
#include "spots/new_lines.h"
#include "spots/page_text.h"
#include "text/codec.h"
#include "text/sjis.h"
#include "watchlists/list_matcher.h"

namespace zeltaro::pagetest {
namespace {

std::string u8(std::string_view cp932) { return text::utf8FromCp932(cp932); }

std::string number(std::size_t n) { return std::to_string(n); }

// A piece of markup quoted for a sentence: long ones are cut, so that one problem stays one
// readable line.
std::string quoted(std::string_view cp932) {
  std::string s = u8(cp932);
  constexpr std::size_t kLongest = 60;
  if (s.size() > kLongest) {
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
    s = s.substr(0, cut) + "…";
  }
  return "「" + s + "」";
}

const std::string& slotAt(const spots::ExtractionSlots& slots, int k) {
  static const std::string none;
  return k >= 1 && k <= spots::kSlotCount ? slots[static_cast<std::size_t>(k)] : none;
}

// How often one fixed text of the template was missing, and where first.
struct Miss {
  std::size_t count = 0;
  std::size_t first = 0;
};

}  // namespace

PageTestResult testPage(const PageTestInput& in) {
  const auto started = std::chrono::steady_clock::now();
  PageTestResult out;
  platform::NullMessagePump pump;

  const std::string page = spots::decodeEntities(in.page);
  const spots::CutPage cut = spots::cutRecords(page, in.sepStart, in.sepEnd);
  const spots::CompiledTemplate compiled = spots::compileTemplate(in.templateLines);
  const spots::CompiledBody body = spots::compileBody(in.body);

  // Fixed texts of the template in the order they are written; a text standing before and
  // after several tags is counted once.
  std::vector<std::string> pieces;
  std::map<std::string, Miss> missing;
  std::map<std::string, Miss> reversed;  // key: slot tag, the end found before the start
  for (const auto& line : compiled.lines)
    for (const auto& f : line.fields) {
      for (const std::string* p : {&f.prefix, &f.suffix})
        if (!p->empty() && !missing.count(*p)) {
          missing[*p] = {};
          pieces.push_back(*p);
        }
      bool known = false;
      for (const int k : out.slotsUsed) known = known || k == f.slot;
      if (!known) out.slotsUsed.push_back(f.slot);
    }
  std::sort(out.slotsUsed.begin(), out.slotsUsed.end());
  std::map<int, std::size_t> emptySlots;

  watchlists::ListMatcher matchers[3];
  std::size_t n = 0;
  Miss foreign;  // records holding none of the template's fixed texts (a table's header row)
  std::vector<const std::string*> absent;
  for (const std::string& record : cut.Memo2) {
    ++n;
    absent.clear();
    for (const std::string& p : pieces)
      if (text::find(record, p) == 0) absent.push_back(&p);
    const bool isForeign = pieces.size() > 1 && absent.size() == pieces.size();
    if (isForeign) {
      if (foreign.count++ == 0) foreign.first = n;
    } else {
      for (const std::string* p : absent) {
        Miss& m = missing[*p];
        if (m.count++ == 0) m.first = n;
      }
    }
    for (const auto& line : compiled.lines)
      for (const auto& f : line.fields) {
        const std::size_t a = f.prefix.empty() ? 0 : text::find(record, f.prefix);
        const std::size_t b = f.suffix.empty() ? 0 : text::find(record, f.suffix);
        if (a >= 1 && b >= 1 && a >= b) {
          Miss& m = reversed[f.prefix + '\0' + f.suffix + '\0' + spots::slotTag(f.slot)];
          if (m.count++ == 0) m.first = n;
        }
      }

    TestedRecord r;
    r.number = n;
    r.values = spots::fillSlots(record, compiled, in.roles, pump);
    // A record that is no spot at all is said once above, not again for each of its slots.
    if (!isForeign)
      for (const int k : out.slotsUsed)
        if (slotAt(r.values, k).empty()) ++emptySlots[k];
    const spots::Composition c = spots::compose(body, r.values, pump);
    r.line = spots::logSafe(c.display);
    const FirstQsoKeys keys{
        slotAt(r.values, in.roles.HTTP_CALL), slotAt(r.values, in.roles.HTTP_FREQ),
        slotAt(r.values, in.roles.HTTP_CODE), slotAt(r.values, in.roles.HTTP_MODE)};
    for (std::size_t l = 0; l < 3; ++l) {
      if (!in.listSearched[l] || !c.searchable) continue;
      r.listed[l] = matchers[l].matches(in.lists[l], c.search);
      if (in.firstQso) r.firstQso[l] = in.firstQso(static_cast<int>(l + 1), keys);
      r.flagged[l] = r.listed[l] || r.firstQso[l].value_or(false);
    }
    if (out.records.size() < in.maxRecordsShown) out.records.push_back(std::move(r));
  }
  out.recordCount = n;

  // ---- the problems, in words ----
  std::vector<std::string>& say = out.problems;
  if (in.sepStart.empty()) {
    say.push_back("開始区切り語が空です: ページをレコードに切り出せません");
  } else if (text::find(page, in.sepStart) == 0) {
    say.push_back("ページに開始区切り語" + quoted(in.sepStart) + "がありません");
  }
  if (!in.sepEnd.empty() && !page.empty() && text::find(page, in.sepEnd) == 0)
    say.push_back("ページに終了区切り語" + quoted(in.sepEnd) + "がありません");
  if (out.slotsUsed.empty())
    say.push_back("テンプレートに $#01 〜 $#20 の札がありません: どの値も取り出せません");
  if (n > 0 && !body.pieces.empty() && body.lastSearchable == 0 && !compiled.lines.empty())
    say.push_back("Body に検索される項目 ($#nn!) がありません: どのリストにも当たりません");
  if (foreign.count > 0)
    say.push_back("レコード " + number(foreign.first) +
                  " はテンプレートの固定文字列を一つも含みません: 見出しなどスポットでない部分"
                  "かもしれません (" +
                  number(n) + " 件中 " + number(foreign.count) + " 件)");
  for (const std::string& p : pieces) {
    const Miss& m = missing[p];
    if (m.count == 0) continue;
    say.push_back("テンプレートの固定文字列" + quoted(p) + "がレコード " + number(m.first) +
                  " にありません (" + number(n) + " 件中 " + number(m.count) + " 件)");
  }
  for (const auto& [key, m] : reversed) {
    const std::size_t a = key.find('\0'), b = key.find('\0', a + 1);
    say.push_back("レコード " + number(m.first) + " では" + quoted(key.substr(a + 1, b - a - 1)) +
                  "が" + quoted(key.substr(0, a)) + "より前にあるため " + key.substr(b + 1) +
                  " が取れません (" + number(n) + " 件中 " + number(m.count) + " 件)");
  }
  for (const int k : out.slotsUsed) {
    const auto it = emptySlots.find(k);
    if (it == emptySlots.end()) continue;
    say.push_back(spots::slotTag(k) + " が " + number(n) + " 件中 " + number(it->second) +
                  " 件で空です");
  }
  if (n == 0 && !in.sepStart.empty() && text::find(page, in.sepStart) != 0)
    say.push_back("レコードが一つも切り出されませんでした");

  out.cutMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  return out;
}

std::string jsonString(std::string_view s) {
  std::string j = "\"";
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"':
        j += "\\\"";
        break;
      case '\\':
        j += "\\\\";
        break;
      case '\n':
        j += "\\n";
        break;
      case '\r':
        j += "\\r";
        break;
      case '\t':
        j += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          j += buf;
        } else {
          j += ch;
        }
    }
  }
  return j + "\"";
}

std::string toJson(const PageTestResult& result,
                   const std::vector<std::pair<std::string, std::string>>& extra) {
  std::string j = "{\"records\": [";
  bool firstRecord = true;
  for (const TestedRecord& r : result.records) {
    j += firstRecord ? "\n" : ",\n";
    firstRecord = false;
    j += "  {\"slots\": {";
    for (int k = 1; k <= spots::kSlotCount; ++k) {
      if (k > 1) j += ", ";
      j += jsonString(spots::slotTag(k).substr(2)) + ": " + jsonString(u8(slotAt(r.values, k)));
    }
    j += "}, \"line\": " + jsonString(u8(r.line)) + ", \"lists\": [";
    bool firstList = true;
    for (int l = 1; l <= 3; ++l)
      if (r.flagged[static_cast<std::size_t>(l - 1)]) {
        if (!firstList) j += ", ";
        firstList = false;
        j += std::to_string(l);
      }
    j += "]}";
  }
  j += firstRecord ? "]" : "\n]";
  j += ", \"problems\": [";
  for (std::size_t i = 0; i < result.problems.size(); ++i) {
    if (i) j += ", ";
    j += jsonString(result.problems[i]);
  }
  j += "]";
  for (const auto& [name, value] : extra) j += ", " + jsonString(name) + ": " + value;
  return j + "}\n";
}

std::string toText(const PageTestResult& result) {
  std::string t;
  for (const TestedRecord& r : result.records) {
    t += "レコード " + number(r.number) + "\n";
    for (const int k : result.slotsUsed)
      t += "  " + spots::slotTag(k) + " " + u8(slotAt(r.values, k)) + "\n";
    t += "  行 " + u8(r.line) + "\n";
    std::string lists;
    for (int l = 1; l <= 3; ++l)
      if (r.flagged[static_cast<std::size_t>(l - 1)])
        lists += (lists.empty() ? "" : " ") + number(static_cast<std::size_t>(l));
    t += "  リスト " + (lists.empty() ? std::string("-") : lists) + "\n";
  }
  for (const std::string& p : result.problems) t += "問題: " + p + "\n";
  t += number(result.recordCount) + " 件のレコードを切り出しました\n";
  return t;
}

}  // namespace zeltaro::pagetest
