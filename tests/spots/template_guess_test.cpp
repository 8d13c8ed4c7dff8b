// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/template_guess.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "spots/guess_sample_pages.h"

namespace zeltaro::spots {
namespace {

platform::NullMessagePump pump;

std::string samplesDir() {
  const char* d = std::getenv("ZELTARO_TESTS_DIR");
  return std::string(d ? d : "tests") + "/spots/guess_pages";
}

// The records the guess cuts from the page, each filled by its template.
std::vector<ExtractionSlots> extract(std::string_view page, const TemplateGuess& g) {
  const CutPage cut = cutRecords(decodeEntities(page), g.sepStart, g.sepEnd);
  const CompiledTemplate compiled = compileTemplate(g.templateLines);
  std::vector<ExtractionSlots> out;
  for (const std::string& r : cut.Memo2) out.push_back(fillSlots(r, compiled, RoleSlots{}, pump));
  return out;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\n";
  return s;
}

// Every sample page: the guess from one call sign (and on some pages its frequency) gets the
// call and the frequency of at least 95 % of the spots right. The figures are printed per shape.
TEST(TemplateGuess, SamplePagesOfEveryShape) {
  const auto pages = samples::loadSamplePages(samplesDir());
  ASSERT_GE(pages.size(), 8u) << samplesDir();
  std::map<std::string, samples::Score> byShape;
  for (const auto& p : pages) {
    SCOPED_TRACE(p.file);
    ASSERT_GE(p.spots.size(), 50u);
    const TemplateGuess g = guessTemplate(p.bytes, p.example);
    EXPECT_TRUE(g.found) << joined(g.notes);
    EXPECT_FALSE(g.notes.empty());
    const samples::Score s = samples::scoreGuess(p.bytes, g, p.spots);
    std::printf("%-8s %-24s %4zu / %4zu  %5.1f %%\n", p.shape.c_str(), p.file.c_str(), s.right,
                s.spots, 100 * s.share());
    EXPECT_GE(s.share(), 0.95) << "start " << g.sepStart << "\nend " << g.sepEnd << "\n"
                               << joined(g.templateLines) << joined(g.notes);
    EXPECT_EQ(g.recordsWithCall, static_cast<int>(p.spots.size()));
    byShape[p.shape].spots += s.spots;
    byShape[p.shape].right += s.right;
  }
  for (const auto& [shape, s] : byShape)
    std::printf("shape %-8s %4zu / %4zu  %5.1f %%\n", shape.c_str(), s.right, s.spots,
                100 * s.share());
}

// Small pages whose records lack a value or leave it empty: every other value stays in its own
// slot, whatever the markup around the gap.
TEST(TemplateGuess, EmptyAndMissingValuesShiftNothing) {
  struct Case {
    const char* name;
    std::string page;
    GuessExample example;
    // Per record: slots 3 (time), 4 (call), 5 (frequency), 6 (mode).
    std::vector<std::array<std::string, 4>> records;
  };
  const auto row = [](const char* time, const char* call, const char* freq, const char* mode) {
    return std::string("<tr class=\"spot\"><td class=\"t\">") + time + "</td><td class=\"c\">" +
           call + "</td><td class=\"f\">" + freq + "</td><td class=\"m\">" + mode +
           "</td><td class=\"x\">tnx &amp; 73</td></tr>\r\n";
  };
  const auto card = [](const char* time, const char* call, const char* freq, const char* mode) {
    std::string s = std::string("<div class=\"spot\">\r\n  <b>") + call + "</b>";
    if (*freq) s += " <span class=\"f\">" + std::string(freq) + "</span>";
    if (*mode) s += " <span class=\"m\">" + std::string(mode) + "</span>";
    return s + " <span class=\"t\">" + time + "</span>\r\n</div>\r\n";
  };
  const Case cases[] = {
      {"table cells left empty",
       "<table><tr><th>UTC</th><th>DX</th><th>QRG</th><th>Mode</th><th>Info</th></tr>\r\n" +
           row("12:01", "JA1ABC", "7010.5", "CW") + row("12:02", "JH2XYZ", "", "SSB") +
           row("12:03", "W1AW", "14025.0", "&nbsp;") + row("", "7K3QQQ", "21074.0", "FT8") +
           row("12:05", "VK2DX", "18080.0", "CW") + "</table>",
       {"JA1ABC", ""},
       {{"12:01", "JA1ABC", "7010.5", "CW"},
        {"12:02", "JH2XYZ", "", "SSB"},
        {"12:03", "W1AW", "14025.0", " "},
        {"", "7K3QQQ", "21074.0", "FT8"},
        {"12:05", "VK2DX", "18080.0", "CW"}}},
      {"cards without some values",
       "<div class=\"list\">\r\n" + card("0101Z", "JA1ABC", "7010.5", "CW") +
           card("0102Z", "JH2XYZ", "", "SSB") + card("0103Z", "W1AW", "14025.0", "") +
           card("0104Z", "7K3QQQ", "", "") + card("0105Z", "VK2DX", "18080.0", "CW") + "</div>",
       {"jh2xyz", ""},  // typed in lower case
       {{"0101Z", "JA1ABC", "7010.5", "CW"},
        {"0102Z", "JH2XYZ", "", "SSB"},
        {"0103Z", "W1AW", "14025.0", ""},
        {"0104Z", "7K3QQQ", "", ""},
        {"0105Z", "VK2DX", "18080.0", "CW"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TemplateGuess g = guessTemplate(c.page, c.example);
    ASSERT_TRUE(g.found) << joined(g.notes);
    const auto got = extract(c.page, g);
    ASSERT_EQ(got.size(), c.records.size()) << g.sepStart << " " << g.sepEnd;
    for (std::size_t i = 0; i < got.size(); ++i) {
      const std::array<std::string, 4> slots = {got[i][3], got[i][4], got[i][5], got[i][6]};
      EXPECT_EQ(slots, c.records[i]) << "record " << i << "\n" << joined(g.templateLines);
    }
  }
}

// With its frequency given, the example tells which of two frequency-like columns is meant.
TEST(TemplateGuess, ExampleFrequencyPicksTheColumn) {
  std::string page = "<table>";
  const char* rows[][3] = {{"JA1ABC", "7010.0", "7012.0"},
                           {"JH2XYZ", "14025.0", "14030.0"},
                           {"W1AW", "21010.0", "21011.5"}};
  for (const auto& r : rows)
    page += std::string("<tr><td class=\"dx\">") + r[0] + "</td><td class=\"rx\">" + r[1] +
            "</td><td class=\"tx\">" + r[2] + "</td></tr>";
  page += "</table>";
  for (int column : {1, 2}) {
    const TemplateGuess g = guessTemplate(page, {"JH2XYZ", rows[1][column]});
    ASSERT_TRUE(g.found) << joined(g.notes);
    const auto got = extract(page, g);
    ASSERT_EQ(got.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(got[i][5], rows[i][column]) << column;
  }
}

// The page shape the built-in separators and template were made for gets exactly them.
TEST(TemplateGuess, DefaultShapeGetsTheBuiltInTemplate) {
  std::string page = "<html><table>\r\n";
  for (const char* call : {"JA1ABC", "JH2XYZ", "W1AW"})
    page += std::string("<tr><td><LineStart><!--1--></LineStart></td><td><Date>2026/12/10</Date>"
                        "<Time>12:34</Time><CallSignTo>") +
            call + "</CallSignTo><Freq>7,010</Freq></LineEnd></tr>\r\n";
  const TemplateGuess g = guessTemplate(page, {"JH2XYZ", ""});
  ASSERT_TRUE(g.found);
  EXPECT_EQ(g.sepStart, "<LineStart>");
  EXPECT_EQ(g.sepEnd, "</LineEnd>");
  EXPECT_EQ(g.templateLines, defaultExtractionTemplate());
  EXPECT_EQ(g.records, 3);
  EXPECT_EQ(g.recordsWithCall, 3);
}

// What cannot be guessed says why and proposes nothing.
TEST(TemplateGuess, NothingFoundSaysWhy) {
  std::string plainTable = "<table>";
  const char* rows[][4] = {{"12:31", "JA1ABC", "7010.0", "CW"},
                           {"12:32", "JH2XYZ", "14025.5", "SSB"},
                           {"12:33", "W1AW", "21074.0", "FT8"},
                           {"12:34", "VK2DX", "18080.0", "CW"}};
  for (const auto& r : rows)
    plainTable += std::string("<tr><td>") + r[0] + "</td><td>" + r[1] + "</td><td>" + r[2] +
                  "</td><td>" + r[3] + "</td></tr>";
  plainTable += "</table>";
  struct Case {
    const char* name;
    std::string page;
    GuessExample example;
    const char* noteHolds;
  };
  const Case cases[] = {
      {"call not on the page", plainTable, {"JA9ZZZ", ""}, "JA9ZZZ"},
      {"call only once, nothing repeats", "<p>JA1ABC 7010.0</p>", {"JA1ABC", ""}, "JA1ABC"},
      // Cells told apart by nothing but their place: only the first cell has a marker of its
      // own, so the call in the second cannot be cut out.
      {"table cells without markers", plainTable, {"JH2XYZ", ""}, "class"},
      {"no example", plainTable, {"  ", ""}, "コールサイン"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TemplateGuess g = guessTemplate(c.page, c.example);
    EXPECT_FALSE(g.found);
    EXPECT_TRUE(g.templateLines.empty());
    EXPECT_TRUE(g.sepStart.empty());
    ASSERT_FALSE(g.notes.empty());
    EXPECT_NE(joined(g.notes).find(c.noteHolds), std::string::npos) << joined(g.notes);
  }
}

}  // namespace
}  // namespace zeltaro::spots
