// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/hdb_database.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "hamlog/band.h"
#include "hamlog/first_qso_service.h"
#include "hamlog/hdb_format.h"
#include "hdb_writer.h"
#include "platform/message_box.h"
#include "scripted_database.h"
#include "support/recorders.h"
#include "support/temp_dir.h"
#include "text/codec.h"

namespace zeltaro::hamlog {
namespace {

using testing::HdbQso;
using testing::plainQso;
using text::sj;

// The log of the tests, in file order (record numbers 1 ...).
std::vector<HdbQso> fixtureQsos() {
  HdbQso michi = plainQso("JA1ABC", "7.020", "SSB");
  michi.remarks1 = sj("道の駅 岡山県-01 ｻﾝｷｭｰ");
  michi.remarks2 = sj("表示ソフト");
  HdbQso deleted = plainQso("JA1ZZZ", "7", "CW");
  deleted.deleted = true;
  return {
      plainQso("JA1ABC", "7.010", "CW", "100110"),            // 1
      plainQso("JA1ABC", "14.025", "CW", "100110"),           // 2
      {"JE3HHT", "         KH6", 0x0A, "", "14.200", "SSB"},  // 3 KH6/JE3HHT
      deleted,                                                // 4
      {"VK100ANZ", "AC", 0x08, "", "21.0", "SSB"},            // 5 VK100ANZAC
      {"JA1XYZ", "           1", 0, "", "50.1", "FM"},        // 6 JA1XYZ/1
      plainQso("JA1AB", "7.0", "CW"),                         // 7
      michi,                                                  // 8
      plainQso("JA1ABCD", "7.0", "CW"),                       // 9
      {"JE3HHT", "       KH6/P", 0x0A, "", "14.0", "CW"},     // 10 KH6/JE3HHT/P
      plainQso("7J1AAA", "144.0", "FM", "1001"),              // 11
      {"JA1AB", "           P", 0, "", "7.0", "CW"},          // 12 JA1AB/P
      {"JA1ABC", "         QRP", 0, "", "7.0", "CW"},         // 13 JA1ABC/QRP
  };
}

class HdbTest : public ::testing::Test {
 protected:
  HdbTest() {
    folder = dir.path() + "/";
    base = folder + "HAMLOG";
  }
  void write(const std::string& bytes, const std::string& name = "hamlog.hdb") {
    testing::writeBytes(dir.file(name), bytes);
  }
  // Every record of the index from its first entry, as "call#number".
  std::vector<std::string> walk(int index, std::string_view from = "") {
    std::vector<std::string> seen;
    for (int r = db.seek(from, index); r == 0; r = db.skip(1, index))
      seen.push_back(std::string(db.call()) + "#" + std::to_string(db.recordNumber()));
    return seen;
  }

  zeltaro::testing::TempDir dir;
  std::string folder, base;
  HdbDatabase db;
};

TEST_F(HdbTest, CallIndexKeepsEqualKeysTogetherInRecordOrder) {
  write(testing::hdbFile(fixtureQsos()));
  ASSERT_EQ(db.open(base), 0);
  const std::vector<std::string> expected = {"7J1AAA#11",    "JA1AB#7",         "JA1AB/P#12",
                                             "JA1ABC#1",     "JA1ABC#2",        "JA1ABC#8",
                                             "JA1ABCD#9",    "JA1ABC/QRP#13",   "JA1XYZ/1#6",
                                             "KH6/JE3HHT#3", "KH6/JE3HHT/P#10", "VK100ANZAC#5"};
  EXPECT_EQ(walk(kCallIndex), expected);
  // A seek lands on the first key not below its own, letters folded.
  const std::vector<std::string> fromJa1abc = {"JA1ABC#1", "JA1ABC#2", "JA1ABC#8", "JA1ABCD#9",
                                               "JA1ABC/QRP#13"};
  std::vector<std::string> seen = walk(kCallIndex, "ja1abc");
  seen.resize(5);
  EXPECT_EQ(seen, fromJa1abc);
  EXPECT_NE(db.seek("ZZ", kCallIndex), 0);
  EXPECT_NE(db.skip(1, kCallIndex), 0);
}

TEST_F(HdbTest, CodeIndexAndRecordFields) {
  write(testing::hdbFile(fixtureQsos()));
  ASSERT_EQ(db.open(base), 0);
  const std::vector<std::string> codes = {"7J1AAA#11", "JA1ABC#1", "JA1ABC#2"};
  EXPECT_EQ(walk(kCodeIndex, "1001"), codes);
  EXPECT_EQ(db.seek("100110", kCodeIndex), 0);
  EXPECT_EQ(db.code(), "100110");
  EXPECT_EQ(db.freq(), "7.010");

  ASSERT_EQ(db.seek("JA1ABC", kCallIndex), 0);
  ASSERT_EQ(db.skip(2, kCallIndex), 0);
  EXPECT_EQ(db.recordNumber(), 8);
  EXPECT_EQ(db.call(), "JA1ABC");
  EXPECT_EQ(db.code(), "");
  EXPECT_EQ(db.freq(), "7.020");
  EXPECT_EQ(db.mode(), "SSB");
  EXPECT_EQ(db.remarks1(), sj("道の駅 岡山県-01 ｻﾝｷｭｰ"));
  EXPECT_EQ(db.remarks2(), sj("表示ソフト"));
  db.close();
  EXPECT_NE(db.skip(1, kCallIndex), 0);
}

TEST_F(HdbTest, FrequencyFieldTakesItsWidthFromTheHeader) {
  for (int width : {7, 10}) {
    SCOPED_TRACE(width);
    testing::HdbWidths w;
    w.freq = width;
    std::vector<HdbQso> qsos = fixtureQsos();
    qsos[0].freq = "1296.12345";
    write(testing::hdbFile(qsos, w));
    ASSERT_EQ(db.open(base), 0);
    ASSERT_EQ(db.seek("JA1ABC", kCallIndex), 0);
    EXPECT_EQ(db.freq(), width == 7 ? "1296.12" : "1296.12345");
    ASSERT_EQ(db.skip(1, kCallIndex), 0);
    EXPECT_EQ(db.freq(), "14.025");
    EXPECT_EQ(db.mode(), "CW");
    ::unlink(dir.file("hamlog.hdb").c_str());
  }
}

TEST_F(HdbTest, FileNameMatchedWithoutLetterCase) {
  for (const char* name : {"hamlog.hdb", "Hamlog.hdb", "HAMLOG.HDB"}) {
    SCOPED_TRACE(name);
    HdbDatabase fresh;
    write(testing::hdbFile(fixtureQsos()), name);
    EXPECT_EQ(fresh.open(base), 0);
    ::unlink(dir.file(name).c_str());
  }
  EXPECT_NE(db.open(base), 0);  // no file at all
  EXPECT_NE(db.open(folder + "missing/HAMLOG"), 0);
}

class FirstQsoOnFileTest : public HdbTest {
 protected:
  FirstQsoOnFileTest() : service(sets, shared, &box) {}
  std::array<settings::FirstQsoConditionSet, 3> sets = testing::conditionSetsOn(folder);
  settings::SharedFirstSettings shared;
  platform::RecordingMessageBox box;
  FirstQsoService service;
};

TEST_F(FirstQsoOnFileTest, ChecksAgainstTheLog) {
  write(testing::hdbFile(fixtureQsos()));
  sets[0].Band = sets[0].Mode = true;
  sets[1].Code = true;
  shared.RS_SEL = 0;
  struct Row {
    int list;
    const char* call;
    const char* freq;
    std::string code;
    const char* mode;
    bool first;
  } rows[] = {
      {1, "JA1ABC", "7,010", "", "CW", false},
      {1, "JA1ABC", "21,010", "", "CW", true},
      {1, "JA1ABC", "7,020", "", "FM", true},
      {1, "ja1abc/p", "14,025", "", "cw", false},
      {1, "JA1ZZZ", "7,000", "", "CW", true},
      {1, "KH6/JE3HHT", "14,200", "", "SSB", false},
      {1, "VK100ANZAC", "21,000", "", "SSB", false},
      {1, "VK100ANZ", "21,000", "", "SSB", true},
      {1, "JA1AB", "7,000", "", "CW", false},
      {2, "JA1ABC", "7,000", sj("岡山県-01"), "CW", false},
      {2, "JA1ABC", "7,000", sj("岡山県-02"), "CW", true},
      {2, "JA1ABC", "7,000", "100110", "SSB", false},
      {3, "STN1", "7,000", "", "CW", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.call) + " " + r.freq + " list " + std::to_string(r.list));
    EXPECT_EQ(service.isFirstQso(r.list, r.call, r.freq, r.code, r.mode), r.first);
  }
  EXPECT_TRUE(box.shown.empty());
}

TEST_F(FirstQsoOnFileTest, ReadsTheLogOnceAndSeesAQsoSavedMeanwhile) {
  HdbDatabase db;
  FirstQsoService own(sets, shared, &box, &db);
  std::vector<HdbQso> qsos = fixtureQsos();
  const std::string before = testing::hdbFile(qsos);
  write(before);
  for (int spot = 0; spot < 100; ++spot)
    for (int list = 1; list <= 3; ++list)
      EXPECT_TRUE(own.isFirstQso(list, "STN9", "7,010", "", "CW"));
  EXPECT_EQ(db.reads(), 1);
  // Read-only: the file is as it was, and nothing was left beside it.
  EXPECT_EQ(testing::readBytes(dir.file("hamlog.hdb")), before);
  EXPECT_EQ(dir.names(), std::set<std::string>{"hamlog.hdb"});

  qsos.push_back(plainQso("STN9", "7.010", "CW"));
  write(testing::hdbFile(qsos));  // larger: seen even within the same clock tick
  EXPECT_FALSE(own.isFirstQso(1, "STN9", "7,010", "", "CW"));
  EXPECT_EQ(db.reads(), 2);
}

// Within a page the file is looked at once, at the page's first check: a QSO saved or the file
// taken away meanwhile counts from the next page on, and a check outside a page looks afresh.
TEST_F(FirstQsoOnFileTest, WithinAPageTheLogIsLookedAtOnce) {
  HdbDatabase db;
  FirstQsoService own(sets, shared, &box, &db);
  std::vector<HdbQso> qsos = fixtureQsos();
  write(testing::hdbFile(qsos));
  qsos.push_back(plainQso("STN9", "7.010", "CW"));

  own.beginPage();
  EXPECT_TRUE(own.isFirstQso(1, "STN9", "7,010", "", "CW"));
  write(testing::hdbFile(qsos));
  EXPECT_TRUE(own.isFirstQso(2, "STN9", "7,010", "", "CW"));
  EXPECT_TRUE(own.isFirstQso(1, "STN9", "7,010", "", "CW"));
  EXPECT_FALSE(own.isFirstQso(3, "JA1ABC", "7,010", "", "CW"));
  own.endPage();
  EXPECT_EQ(db.reads(), 1);

  own.beginPage();
  EXPECT_FALSE(own.isFirstQso(1, "STN9", "7,010", "", "CW"));
  EXPECT_EQ(db.reads(), 2);
  ASSERT_EQ(::unlink(dir.file("hamlog.hdb").c_str()), 0);
  EXPECT_TRUE(own.isFirstQso(1, "STN8", "7,010", "", "CW"));
  own.endPage();

  own.beginPage();
  EXPECT_FALSE(own.isFirstQso(1, "STN8", "7,010", "", "CW"));  // no log: no
  write(testing::hdbFile(qsos));
  EXPECT_FALSE(own.isFirstQso(1, "STN8", "7,010", "", "CW"));  // still none for this page
  own.endPage();
  EXPECT_TRUE(own.isFirstQso(1, "STN8", "7,010", "", "CW"));
  EXPECT_EQ(db.reads(), 3);
}

TEST_F(FirstQsoOnFileTest, BrokenFilesAnswerNo) {
  const std::string good = testing::hdbFile(fixtureQsos());
  const std::size_t width = 1 + 8 + 12 + 4 + 2 + 6 + 6 + 3 + 2 + 3 + 3 + 7 + 4 + 12 + 28 + 54 + 54;
  auto patched = [&](std::size_t at, std::string bytes) {
    std::string b = good;
    b.replace(at, bytes.size(), bytes);
    return b;
  };
  struct Row {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"empty", ""},
      {"header only", good.substr(0, 32)},
      {"last record cut", good.substr(0, 545 + 12 * width + 100)},
      {"count beyond the file", patched(4, std::string("\x0e\x00\x00\x00", 4))},
      {"huge count", patched(4, "\xff\xff\xff\xff")},
      {"record narrower than its fields", patched(10, std::string("\x10\x00", 2))},
      {"header longer than the file", patched(8, "\xff\xff")},
      {"header ends inside the descriptors", patched(8, std::string("\x40\x00", 2))},
      {"no record width", patched(10, std::string("\x00\x00", 2))},
      {"unknown type", patched(0, "\x30")},
      {"field missing", patched(32 + 32 * 15, "XXXX")},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    write(r.bytes);
    HdbDatabase db;
    EXPECT_NE(db.open(base), 0);
    FirstQsoService fresh(sets, shared, &box, &db);
    EXPECT_FALSE(fresh.isFirstQso(1, "STN9", "7,010", "", "CW"));
  }
  // Any cut of a good file either parses or is refused; none reads past its end.
  for (std::size_t n = 0; n <= good.size(); n += 7) parseHdb(good.substr(0, n));
}

TEST_F(FirstQsoOnFileTest, RecordsBeingAppendedAreNotYetCounted) {
  std::vector<HdbQso> qsos = fixtureQsos();
  std::string bytes = testing::hdbFile(qsos);
  bytes.pop_back();                      // the end mark
  bytes += std::string(" STN9    ", 9);  // half a record, the count not yet raised
  write(bytes);
  EXPECT_TRUE(service.isFirstQso(1, "STN9", "7,010", "", "CW"));
  EXPECT_FALSE(service.isFirstQso(1, "JA1ABC", "7,010", "", "CW"));
}

TEST(BandClass, AmateurBands) {
  const std::pair<const char*, int> rows[] = {
      {"0.1372", 1},  {"1.9125", 3}, {"3.5", 4},  {"3.798", 4},   {"7.010", 6},  {"7", 6},
      {"10.125", 7},  {"14.2", 8},   {"18.1", 9}, {"21.45", 10},  {"24.94", 11}, {"28.5", 12},
      {"50.313", 13}, {"144.0", 14}, {"433", 15}, {"1296.1", 16}, {"2427", 17},  {"5760", 18},
      {"10.24G", 19}, {"10240", 19}, {"2.5", 0},  {"", 0},        {"abc", 0},    {"7.5", 0},
  };
  for (const auto& [freq, band] : rows) EXPECT_EQ(bandClassOf(freq), band) << freq;
}

}  // namespace
}  // namespace zeltaro::hamlog
