#include "spots/page_text.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zeltaro::spots
