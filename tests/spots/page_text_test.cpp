// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/page_text.h"

#include <gtest/gtest.h>

#include <random>

#include "text/sjis.h"

namespace zeltaro::spots {
namespace {

using Lines = std::vector<std::string>;

TEST(DecodeEntities, PassesInOrder) {
  const std::pair<std::string, std::string> rows[] = {
      {"&quot;a&quot;", "\"a\""},     {"&amp;lt;", "<"},  // &amp; runs before &lt;
      {"&amp;quot;", "&quot;"},                           // ... but after &quot;
      {"&QUOT;&Amp;", "&QUOT;&Amp;"}, {"a&nbsp;b&gt;&lt;", "a b><"},
      {"&#60;&apos;", "&#60;&apos;"},  // nothing else is decoded
  };
  for (const auto& [in, out] : rows) EXPECT_EQ(decodeEntities(in), out) << in;
}

TEST(CutRecords, Table) {
  struct Case {
    const char* name;
    std::string page, start, end;
    Lines records;
  };
  const Case cases[] = {
      {"two records, junk dropped",
       "<LineStart>a</LineEnd>junk<LineStart>b</LineEnd>",
       "<LineStart>",
       "</LineEnd>",
       {"<LineStart>a</LineEnd>", "<LineStart>b</LineEnd>"}},
      {"missing end runs to the next start",
       "head<LineStart>a<LineStart>b</LineEnd>tail<LineStart>c",
       "<LineStart>",
       "</LineEnd>",
       {"<LineStart>a", "<LineStart>b</LineEnd>", "<LineStart>c"}},
      {"line breaks inside a record are removed",
       "<S>a\r\nb\nc\rd</E>",
       "<S>",
       "</E>",
       {"<S>abcd</E>"}},
      {"empty start gives nothing", "<S>a</E>", "", "</E>", {}},
      {"empty end cuts at starts only", "<S>a</E>x<S>b", "<S>", "", {"<S>a</E>x", "<S>b"}},
      {"no start separator at all", "plain page", "<S>", "</E>", {}},
      // "ソ" ends in a backslash byte: a separator "\" must not cut inside it.
      {"separator never matches a trail byte",
       "\\a\x83\x5C"
       "b\\c",
       "\\",
       "",
       {"\\a\x83\x5C"
        "b",
        "\\c"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cutRecords(c.page, c.start, c.end).Memo2, c.records) << c.name;
}

TEST(CutRecords, Memo1KeepsEveryLine) {
  const CutPage p = cutRecords("x<S>a</E>y", "<S>", "</E>");
  EXPECT_EQ(p.Memo1, (Lines{"x", "<S>a</E>", "y"}));
  EXPECT_EQ(p.Memo2, (Lines{"<S>a</E>"}));
}

// Cutting straight at the separators must give the lines that inserting line breaks and
// splitting gives, on pages built to trip it: separators next to each other, overlapping ones,
// an end separator that straddles a start separator, and trail bytes that look like markup.
TEST(CutRecords, AgreesWithInsertingLineBreaks) {
  const auto byBreaks = [](std::string_view page, std::string_view start, std::string_view end) {
    std::string s;
    for (char c : page)
      if (c != '\r' && c != '\n') s += c;
    if (!start.empty()) s = text::replaceAll(s, start, "\r\n" + std::string(start));
    if (!end.empty()) s = text::replaceAll(s, end, std::string(end) + "\r\n");
    CutPage out;
    out.Memo1 = text::splitLines(s);
    for (const auto& line : out.Memo1)
      if (text::find(line, start) == 1) out.Memo2.push_back(line);
    return out;
  };
  std::mt19937 rng(20261210);
  const std::vector<std::string> pieces = {"<S>", "</E>", "<",  ">",    "S",        "E",
                                           "/",   "\r\n", "\n", "\x81", "\x95\x5c", "x"};
  const std::vector<std::string> separators = {"<S>", "</E>", "E><",   "S>",   "<S",
                                               "\\",  "x",    "\x5cx", "></E", "S><"};
  const auto pick = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
  };
  for (int i = 0; i < 20000; ++i) {
    std::string page;
    const int n = std::uniform_int_distribution<int>(0, 16)(rng);
    for (int k = 0; k < n; ++k) page += pick(pieces);
    const std::string start = pick(separators), end = pick(separators);
    const CutPage want = byBreaks(page, start, end), got = cutRecords(page, start, end);
    ASSERT_EQ(got.Memo1, want.Memo1)
        << ::testing::PrintToString(page) << " " << start << " " << end;
    ASSERT_EQ(got.Memo2, want.Memo2)
        << ::testing::PrintToString(page) << " " << start << " " << end;
  }
}

// The page check's one-pass records must be the records of decoding the entities and cutting,
// on pages built to trip the single pass: entities next to each other and run into ("&amp;lt;",
// "&amp;&lt;"), entities cut by a line break, an "&" right after lead bytes (a trail byte, not
// an entity) and separators made of entities.
TEST(PageRecords, AgreesWithDecodingThenCutting) {
  std::mt19937 rng(20261211);
  const std::vector<std::string> pieces = {
      "<S>", "</E>", "&",    "amp;", "&amp;", "lt;",  "&lt;", "gt;",    "nbsp;", "&nbsp;",
      "quot;", "&quot;", "\r", "\n", "\x81", "\xE0", "\x95", "x",   "<",     ">"};
  const std::vector<std::string> separators = {"<S>", "</E>", "<", "\"", "S>", "E><", "&", " "};
  const auto pick = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
  };
  for (int i = 0; i < 30000; ++i) {
    std::string page;
    const int n = std::uniform_int_distribution<int>(0, 20)(rng);
    for (int k = 0; k < n; ++k) page += pick(pieces);
    const std::string start = pick(separators), end = pick(separators);
    ASSERT_EQ(pageRecords(page, start, end), cutRecords(decodeEntities(page), start, end).Memo2)
        << ::testing::PrintToString(page) << " " << start << " " << end;
  }
}

}  // namespace
}  // namespace zeltaro::spots
