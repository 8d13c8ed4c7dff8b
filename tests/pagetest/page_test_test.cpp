// SPDX-License-Identifier: GPL-3.0-or-later
// Testing a page: the records as a check would make them, the lists and first-QSO answers that
// would flag them, and where the cut failed, in words.
#include "pagetest/page_test.h"

#include <gtest/gtest.h>

#include "spots/composition.h"
#include "text/codec.h"

namespace zeltaro::pagetest {
namespace {

// Two-field records: <S><c>CALL</c><f>FREQ</f><m>MODE</m></E>.
std::string record(const std::string& call, const std::string& freq, const std::string& mode) {
  return "<S><c>" + call + "</c><f>" + freq + "</f><m>" + mode + "</m></E>\r\n";
}

PageTestInput input(std::string page) {
  PageTestInput in;
  in.page = std::move(page);
  in.sepStart = "<S>";
  in.sepEnd = "</E>";
  in.templateLines = {"<c>$#04</c>", "<f>$#05</f>", "<m>$#06</m>"};
  in.body = "$#04! $#05 $#06!";
  in.lists = {"JA1", "SSB", ""};
  in.listSearched = {true, true, true};
  return in;
}

TEST(PageTest, RecordsCarryTheirSlotsLineListsAndFirstQsoAnswers) {
  PageTestInput in = input("<p>head</p>" + record("JA1ABC", "7012", "CW") +
                           record("JH3XYZ", "14025", "SSB") + record("W1AW", "3525", "CW"));
  in.listSearched = {true, false, true};  // list 2 does not search this page
  std::vector<std::pair<int, std::string>> asked;
  in.firstQso = [&asked](int list, const FirstQsoKeys& k) {
    asked.emplace_back(list, k.call + "/" + k.freq + "/" + k.mode);
    return list == 3 && k.call == "W1AW";
  };
  const PageTestResult r = testPage(in);

  EXPECT_EQ(r.recordCount, 3u);
  EXPECT_EQ(r.slotsUsed, (std::vector<int>{4, 5, 6}));
  EXPECT_TRUE(r.problems.empty()) << r.problems.front();
  ASSERT_EQ(r.records.size(), 3u);
  struct Row {
    std::string line;
    std::array<bool, 3> listed, flagged;
    std::array<std::optional<bool>, 3> firstQso;
  };
  const Row rows[] = {
      {"JA1ABC 7012 CW", {true, false, false}, {true, false, false}, {false, std::nullopt, false}},
      // The mode would match list 2, but list 2 does not search the page.
      {"JH3XYZ 14025 SSB",
       {false, false, false},
       {false, false, false},
       {false, std::nullopt, false}},
      {"W1AW 3525 CW", {false, false, false}, {false, false, true}, {false, std::nullopt, true}},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(r.records[i].number, i + 1);
    EXPECT_EQ(r.records[i].line, rows[i].line);
    EXPECT_EQ(r.records[i].listed, rows[i].listed);
    EXPECT_EQ(r.records[i].flagged, rows[i].flagged);
    EXPECT_EQ(r.records[i].firstQso, rows[i].firstQso);
  }
  EXPECT_EQ(r.records[1].values[4], "JH3XYZ");
  EXPECT_EQ(r.records[1].values[5], "14025");
  // Lists 1 and 3 of each record, with the role slots' values.
  EXPECT_EQ(asked.size(), 6u);
  EXPECT_EQ(asked[0], (std::pair<int, std::string>{1, "JA1ABC/7012/CW"}));
}

// Where the cut fails, it says so in words that name the piece, the first record and how many.
TEST(PageTest, ProblemsNameThePieceTheRecordAndTheCount) {
  struct Case {
    const char* what;
    PageTestInput in;
    std::vector<std::string> problems;
    std::size_t records;
  };
  const std::string three =
      record("JA1ABC", "7012", "CW") + record("JH3XYZ", "", "SSB") + record("W1AW", "", "CW");
  PageTestInput noStart = input(three);
  noStart.sepStart = "<tr>";
  PageTestInput noEnd = input(three);
  noEnd.sepEnd = "</tr>";
  PageTestInput emptyStart = input(three);
  emptyStart.sepStart = "";
  PageTestInput missingText = input(three);
  missingText.templateLines = {"<c>$#04</c>", "<freq>$#05</f>"};
  PageTestInput noTags = input(three);
  noTags.templateLines = {"<c></c>"};
  PageTestInput notSearched = input(three);
  notSearched.body = "$#04 $#05";
  PageTestInput reversed = input(record("JA1ABC", "7012", "CW"));
  reversed.templateLines = {"</f>$#05<f>"};
  PageTestInput header = input("<S><th>Call</th><th>Freq</th></E>\r\n" + three);
  const Case cases[] = {
      {"clean page but for two empty frequencies",
       input(three),
       {"$#05 が 3 件中 2 件で空です"},
       3},
      {"no start separator", noStart, {"ページに開始区切り語「<tr>」がありません"}, 0},
      {"no end separator",
       noEnd,
       {"ページに終了区切り語「</tr>」がありません", "$#05 が 3 件中 2 件で空です"},
       3},
      {"empty start separator",
       emptyStart,
       {"開始区切り語が空です: ページをレコードに切り出せません"},
       0},
      {"a fixed text of the template not on the page",
       missingText,
       {"テンプレートの固定文字列「<freq>」がレコード 1 にありません (3 件中 3 件)",
        "$#05 が 3 件中 3 件で空です"},
       3},
      {"a template without tags",
       noTags,
       {"テンプレートに $#01 〜 $#20 の札がありません: どの値も取り出せません"},
       3},
      {"a Body without searched fields",
       notSearched,
       {"Body に検索される項目 ($#nn!) がありません: どのリストにも当たりません",
        "$#05 が 3 件中 2 件で空です"},
       3},
      {"a header row between the separators is told apart from a template that misses",
       header,
       {"レコード 1 はテンプレートの固定文字列を一つも含みません: 見出しなどスポットでない部分"
        "かもしれません (4 件中 1 件)",
        "$#05 が 4 件中 2 件で空です"},
       4},
      {"the end of a value before its start",
       reversed,
       {"レコード 1 では「<f>」が「</f>」より前にあるため $#05 が取れません (1 件中 1 件)",
        "$#05 が 1 件中 1 件で空です"},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PageTestResult r = testPage(c.in);
    EXPECT_EQ(r.problems, c.problems);
    EXPECT_EQ(r.recordCount, c.records);
  }
}

// A long page: every record is counted, only the first ones are kept.
TEST(PageTest, OnlyTheFirstRecordsAreKeptButAllAreCounted) {
  std::string page;
  for (int i = 0; i < 1200; ++i) page += record("JA1A" + std::to_string(i), "7012", "CW");
  PageTestInput in = input(page);
  const PageTestResult r = testPage(in);
  EXPECT_EQ(r.recordCount, 1200u);
  ASSERT_EQ(r.records.size(), 500u);
  EXPECT_EQ(r.records.back().number, 500u);
  EXPECT_EQ(r.records.back().values[4], "JA1A499");
}

// The JSON: all twenty slots, UTF-8 from Shift-JIS, escapes, the flagged lists, extra members.
TEST(PageTest, JsonHoldsEverySlotInUtf8) {
  PageTestInput in = input(record(text::sj("東京\"A\\"), "7\t012", "CW"));
  in.lists = {"", "", "CW"};
  const PageTestResult r = testPage(in);
  std::string slotsJson;
  for (int k = 1; k <= 20; ++k) {
    char tag[8];
    std::snprintf(tag, sizeof tag, "%02d", k);
    const std::string v = k == 4 ? "東京\\\"A\\\\" : k == 5 ? "7\\t012" : k == 6 ? "CW" : "";
    slotsJson += std::string(k > 1 ? ", " : "") + "\"" + tag + "\": \"" + v + "\"";
  }
  EXPECT_EQ(toJson(r, {{"start", jsonString("<S>")}}),
            "{\"records\": [\n  {\"slots\": {" + slotsJson +
                "}, \"line\": \"東京\\\"A\\\\ 7\\t012 CW\", \"lists\": [3]}\n], \"problems\": [], "
                "\"start\": \"<S>\"}\n");
  EXPECT_EQ(toJson(PageTestResult{}), "{\"records\": [], \"problems\": []}\n");
}

}  // namespace
}  // namespace zeltaro::pagetest
