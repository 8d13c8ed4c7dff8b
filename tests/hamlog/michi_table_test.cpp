// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/michi_table.h"

#include <gtest/gtest.h>

#include "hamlog/first_qso_service.h"
#include "support/temp_dir.h"
#include "text/codec.h"

namespace zeltaro::hamlog {
namespace {

using text::sj;

// File names as the file system spells them (UTF-8).
const char* const kMcsv = "道の駅.mcsv";

class MichiTest : public ::testing::Test {
 protected:
  void write(const std::string& name, const std::string& utf8Content) {
    testing::writeBytes(dir.file(name), sj(utf8Content));
  }
  std::string folder() const { return dir.path() + "/"; }
  std::pair<std::string, std::string> look(const MichiTable& t, const std::string& codeUtf8) {
    const MichiEntry e = t.lookUp(sj(codeUtf8));
    return {text::utf8FromCp932(e.station), text::utf8FromCp932(e.code)};
  }
  using Entry = std::pair<std::string, std::string>;

  zeltaro::testing::TempDir dir;
};

TEST_F(MichiTest, LookUpRules) {
  write(kMcsv,
        "No. 岡山県-012,鹿久居島,331012\r\n"
        "No. 岡山県-01,笠岡ベイファーム,331001\r\n"
        "No. 岡山県-03,くるくるおかやま\r\n"
        "No. 岡山県-04," +
            std::string(300, 'x') + ",331004\r\n");
  MichiTable t;
  t.load(folder());
  EXPECT_EQ(t.path(), dir.file(kMcsv));
  // The first occurrence wins, even inside a longer code.
  EXPECT_EQ(look(t, " 岡山県-01 "), Entry("No. 岡山県-012,鹿久居島", "331012"));
  EXPECT_EQ(look(t, "岡山県-012"), Entry("No. 岡山県-012,鹿久居島", "331012"));
  // A record that ends after its second field has no numeric code.
  EXPECT_EQ(look(t, "岡山県-03"), Entry("No. 岡山県-03,くるくるおかやま", ""));
  // A field stops after 255 bytes; the next one goes on from there.
  EXPECT_EQ(look(t, "岡山県-04"),
            Entry("No. 岡山県-04," + std::string(255, 'x'), std::string(45, 'x')));
  EXPECT_EQ(look(t, "岡山県-99"), Entry("岡山県-99", ""));
  EXPECT_EQ(look(t, "  "), Entry("", ""));
}

TEST_F(MichiTest, CodeNeedsFourBytesBeforeIt) {
  write("michinoeki.txt", "ab岡山県-05,A,1\r\nabcd岡山県-06,B,2\r\n");
  MichiTable t;
  t.load(folder());
  EXPECT_EQ(look(t, "岡山県-05"), Entry("岡山県-05", ""));
  // Four bytes before the start of the file is the first byte: found.
  write("michinoeki.txt", "abcd岡山県-06,B,2\r\n");
  MichiTable fresh;
  fresh.load(folder());
  EXPECT_EQ(look(fresh, "岡山県-06"), Entry("abcd岡山県-06,B", "2"));
}

TEST_F(MichiTest, McsvBeforeTxtAndReadAgainOnlyForAnotherFile) {
  write("MichiNoEki.TXT", "txt 岡山県-01,TXT,1\r\n");
  MichiTable t;
  t.load(folder());
  EXPECT_EQ(t.path(), dir.file("MichiNoEki.TXT"));
  EXPECT_EQ(look(t, "岡山県-01"), Entry("txt 岡山県-01,TXT", "1"));

  // The same file again: kept as read, even though it changed.
  write("MichiNoEki.TXT", "new 岡山県-01,NEW,2\r\n");
  t.load(folder());
  EXPECT_EQ(look(t, "岡山県-01"), Entry("txt 岡山県-01,TXT", "1"));

  write(kMcsv, "csv 岡山県-01,CSV,3\r\n");
  t.load(folder());
  EXPECT_EQ(t.path(), dir.file(kMcsv));
  EXPECT_EQ(look(t, "岡山県-01"), Entry("csv 岡山県-01,CSV", "3"));

  t.load("");
  EXPECT_EQ(t.path(), "");
  EXPECT_EQ(look(t, "岡山県-01"), Entry("岡山県-01", ""));
}

TEST_F(MichiTest, ServiceLoadsEachListsFolderAndReleases) {
  std::array<settings::FirstQsoConditionSet, 3> sets{settings::defaultConditionSet(1),
                                                     settings::defaultConditionSet(2),
                                                     settings::defaultConditionSet(3)};
  settings::SharedFirstSettings shared;
  FirstQsoService service(sets, shared, nullptr);
  write(kMcsv, "csv 岡山県-01,CSV,3\r\n");
  sets[1].HAMLOG = folder();
  service.reloadMichi();
  EXPECT_FALSE(service.michi().table(1).loaded());
  EXPECT_TRUE(service.michi().table(2).loaded());
  EXPECT_EQ(text::utf8FromCp932(service.michi().lookUp(sj("岡山県-01"), 2).code), "3");
  EXPECT_EQ(service.michi().lookUp(sj("岡山県-01"), 1).code, "");
  EXPECT_EQ(service.michi().lookUp(sj("岡山県-01"), 4).station, sj("岡山県-01"));
  service.releaseMichi();
  EXPECT_FALSE(service.michi().table(2).loaded());
  EXPECT_EQ(service.michi().table(2).path(), "");
}

TEST(MichiNoEkiCode, RecognisedByItsPrefectureMark) {
  const std::pair<const char*, bool> rows[] = {
      {"岡山県-01", true}, {"北海道-123", true}, {"東京都-1", true},  {"大阪府-2", true},
      {"神奈川-07", true}, {"和歌山-3", true},   {"鹿児島-11", true}, {"100110", false},
      {"岡山県01", false}, {"", false},
  };
  for (const auto& [code, michi] : rows) EXPECT_EQ(isMichiNoEkiCode(sj(code)), michi) << code;
}

}  // namespace
}  // namespace zeltaro::hamlog
