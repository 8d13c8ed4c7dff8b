// SPDX-License-Identifier: GPL-3.0-or-later
// The first-QSO check over real ADIF files: the conditions of a list (band, mode, code, range)
// answered from a logger's log, and the log followed live as the logger appends to it, breaks
// it or swaps it for something that is no log at all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <fstream>
#include <functional>
#include <thread>

#include "adif/adif_database.h"
#include "hamlog/first_qso_check.h"
#include "support/event_lines.h"
#include "support/peak_memory.h"
#include "support/temp_dir.h"
#include "text/codec.h"

namespace zeltaro::adif {
namespace {

using testing::TempDir;
using text::sj;

// A log as WSJT-X writes it (header, then one line per QSO), plus a QSO from a Japanese logger
// with a roadside-station code in its comment.
std::string wsjtxLog() {
  return "WSJT-X ADIF Export<eoh>\n"
         "<call:6>JA1ABC <gridsquare:4>PM95 <mode:3>FT8 <rst_sent:3>-10 <qso_date:8>20261201 "
         "<freq:9>14.075123 <band:3>20m <cnty:4>1001 <eor>\n"
         "<call:8>ja2def/3 <mode:4>MFSK <submode:3>FT4 <freq:8>7.047500 <cnty:5>20005 <eor>\n"
         "<call:5>K1ABC <mode:3>SSB <submode:3>USB <band:3>40m <eor>\n"
         "<CALL:6>JA3GHI <MODE:2>CW <FREQ:5>3.530 <COMMENT:12>岡山県-01 <EOR>\n";
}

struct Fixture {
  TempDir dir;
  std::string path = dir.file("wsjtx_log.adi");
  std::array<settings::FirstQsoConditionSet, 3> sets;
  settings::SharedFirstSettings shared;
  AdifDatabase db{[this](int list) { return list == 1 ? AdifSource{path, "CNTY"} : AdifSource{}; }};

  Fixture() {
    sets[0].Use = true;
    write(wsjtxLog());
  }
  void write(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  void append(const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
  }
  bool first(std::string_view call, std::string_view khz, std::string_view mode,
             std::string_view code = "") {
    return hamlog::FirstQsoCheck(db, sets, shared, nullptr, 1, {call, khz, code, mode});
  }
};

TEST(AdifCheck, ConditionsOverAnAdifLog) {
  struct Case {
    const char* name;
    std::function<void(settings::FirstQsoConditionSet&)> setUp;
    const char *call, *khz, *mode, *code;
    bool first;
  };
  const auto band = [](settings::FirstQsoConditionSet& s) { s.Band = true; };
  const auto bandMode = [](settings::FirstQsoConditionSet& s) { s.Band = s.Mode = true; };
  const std::string okayama = sj("岡山県-01"), okayama2 = sj("岡山県-02");
  const Case cases[] = {
      {"worked, any band", nullptr, "JA1ABC", "7,010", "CW", "", false},
      {"never worked", nullptr, "JA9ZZZ", "7,010", "CW", "", true},
      {"same call, other band", band, "JA1ABC", "7,074", "FT8", "", true},
      {"same call, same band", band, "JA1ABC", "14,074", "FT8", "", false},
      {"same band, other mode", bandMode, "JA1ABC", "14,074", "FT4", "", true},
      {"MFSK/FT4 is FT4", bandMode, "JA2DEF", "7,047.5", "FT4", "", false},
      {"MFSK/FT4 is not FT8", bandMode, "JA2DEF", "7,074", "FT8", "", true},
      {"a portable call is cut before its slash, any letter case", bandMode, "JA2DEF/P", "7,047",
       "FT4", "", false},
      {"USB is SSB, the band from BAND", bandMode, "k1abc", "7,150", "SSB", "", false},
      {"BAND alone on another band", bandMode, "K1ABC", "14,250", "SSB", "", true},
      {"a JCC code in CNTY", [](settings::FirstQsoConditionSet& s) { s.Code = true; }, "JA1ABC",
       "14,074", "FT8", "1001", false},
      {"another code", [](settings::FirstQsoConditionSet& s) { s.Code = true; }, "JA1ABC", "14,074",
       "FT8", "1002", true},
      {"the code alone", [](settings::FirstQsoConditionSet& s) { s.Code = s.Any = true; }, "",
       "7,047", "FT4", "20005", false},
      {"the record range leaves JA1ABC out",
       [](settings::FirstQsoConditionSet& s) {
         s.Num = true;
         s.Num_L = "2";
       },
       "JA1ABC", "14,074", "FT8", "", true},
      {"the record range keeps JA3GHI in",
       [](settings::FirstQsoConditionSet& s) {
         s.Num = true;
         s.Num_L = "4";
         s.Num_H = "4";
       },
       "JA3GHI", "3,530", "CW", "", false},
      {"a roadside-station code in the comment",
       [](settings::FirstQsoConditionSet& s) { s.Code = true; }, "JA3GHI", "3,530", "CW",
       okayama.c_str(), false},
      {"another roadside station", [](settings::FirstQsoConditionSet& s) { s.Code = true; },
       "JA3GHI", "3,530", "CW", okayama2.c_str(), true},
  };
  for (const Case& c : cases) {
    Fixture f;
    if (c.setUp) c.setUp(f.sets[0]);
    EXPECT_EQ(f.first(c.call, c.khz, c.mode, c.code), c.first) << c.name;
  }
}

TEST(AdifCheck, AShiftJisLogFromAJapaneseLogger) {
  Fixture f;
  f.sets[0].Code = true;
  f.write(
      "Exported\r\n<PROGRAMID:12>Turbo "
      "HAMLOG\r\n<EOH>\r\n<CALL:6>JA4JKL<FREQ:4>7.01<MODE:2>CW<NOTES:9>" +
      sj("広島県-02") + "<EOR>\r\n");
  EXPECT_FALSE(f.first("JA4JKL", "7,010", "CW", sj("広島県-02")));
  EXPECT_TRUE(f.first("JA4JKL", "7,010", "CW", sj("広島県-03")));
}

TEST(AdifCheck, AnAppendedQsoCountsAtTheNextCheckAndOnlyTheNewPartIsRead) {
  Fixture f;
  EXPECT_TRUE(f.first("JA5MNO", "7,010", "CW"));
  EXPECT_EQ(f.db.wholeReads(), 1);
  const std::uint64_t afterFirst = f.db.bytesRead();
  EXPECT_EQ(afterFirst, wsjtxLog().size());

  // Checked again unchanged: nothing is read.
  EXPECT_TRUE(f.first("JA5MNO", "7,010", "CW"));
  EXPECT_EQ(f.db.bytesRead(), afterFirst);

  // The logger appends a QSO, first half of it, then the rest.
  const std::string qso = "<call:6>JA5MNO <mode:2>CW <freq:5>7.010 <eor>\n";
  f.append(qso.substr(0, 20));
  EXPECT_TRUE(f.first("JA5MNO", "7,010", "CW"));
  f.append(qso.substr(20));
  EXPECT_FALSE(f.first("JA5MNO", "7,010", "CW"));
  EXPECT_EQ(f.db.wholeReads(), 1);
  // The guard before the end of what was taken, the half record, then the half record again
  // with the rest: never the whole file.
  EXPECT_LT(f.db.bytesRead() - afterFirst, 2 * (64 + qso.size()) + 1);
  EXPECT_FALSE(f.first("JA1ABC", "7,010", "CW"));

  // Rewritten shorter (the logger's "erase log"): read whole again.
  f.write("<call:6>JA6PQR <eor>\n");
  EXPECT_TRUE(f.first("JA1ABC", "7,010", "CW"));
  EXPECT_FALSE(f.first("JA6PQR", "7,010", "CW"));
  EXPECT_EQ(f.db.wholeReads(), 2);
}

// Within a page the log is looked at once: a QSO appended meanwhile counts from the next page.
TEST(AdifCheck, WithinAPageTheLogIsLookedAtOnce) {
  Fixture f;
  f.db.beginPage();
  EXPECT_TRUE(f.first("JA5MNO", "7,010", "CW"));
  f.append("<call:6>JA5MNO <mode:2>CW <freq:5>7.010 <eor>\n");
  EXPECT_TRUE(f.first("JA5MNO", "7,010", "CW"));
  EXPECT_FALSE(f.first("JA1ABC", "7,010", "CW"));
  f.db.endPage();
  EXPECT_EQ(f.db.bytesRead(), wsjtxLog().size());

  f.db.beginPage();
  EXPECT_FALSE(f.first("JA5MNO", "7,010", "CW"));
  f.db.endPage();
  EXPECT_EQ(f.db.wholeReads(), 1);
}

TEST(AdifCheck, FilesThatAreNoLogAnswerNoQuicklyWithOneLine) {
  struct Case {
    const char* name;
    std::function<void(Fixture&)> make;
    const char* says;
  };
  const Case cases[] = {
      {"missing", [](Fixture& f) { ::unlink(f.path.c_str()); }, "is missing"},
      {"a folder",
       [](Fixture& f) {
         ::unlink(f.path.c_str());
         ::mkdir(f.path.c_str(), 0700);
       },
       "cannot be read"},
      {"a FIFO nobody writes to",
       [](Fixture& f) {
         ::unlink(f.path.c_str());
         ::mkfifo(f.path.c_str(), 0600);
       },
       "cannot be read"},
      {"2 GB, sparse", [](Fixture& f) { ASSERT_EQ(::truncate(f.path.c_str(), off_t{2} << 30), 0); },
       "is larger than a log can be (512 MiB)"},
  };
  for (const Case& c : cases) {
    Fixture f;
    c.make(f);
    zeltaro::testing::resetPeakMemory();
    const long before = zeltaro::testing::peakMemoryKiB();
    QElapsedTimer t;
    t.start();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(f.first("JA9ZZZ", "7,010", "CW")) << c.name;
    EXPECT_FALSE(f.first("JA9ZZZ", "7,010", "CW")) << c.name;
    EXPECT_EQ(zeltaro::testing::withStampsMarked(::testing::internal::GetCapturedStderr()),
              "zeltaro: <stamp> the ADIF log " + f.path + " " + c.says +
                  ": its list's first-QSO checks answer no\n")
        << c.name;
    EXPECT_LT(t.elapsed(), 5000) << c.name;  // a hang guard, not a speed figure
    EXPECT_LT(zeltaro::testing::peakMemoryKiB() - before, 64 * 1024) << c.name;
  }
}

TEST(AdifCheck, JunkAndBrokenLengthsNeverCrashOrReadPastTheEnd) {
  Fixture f;
  std::string junk;
  for (int i = 0; i < 20000; ++i) junk += static_cast<char>((i * 7919) % 256);
  f.write("<call:4>JA1A<eor>" + junk +
          "<CALL:999999>JA1ABC<EOR><CALL:-1>x<EOR><call:6>JA7STU<eor><CALL:40>JA8");
  EXPECT_FALSE(f.first("JA7STU", "7,010", "CW"));
  EXPECT_TRUE(f.first("JA8VWX", "7,010", "CW"));
}

}  // namespace
}  // namespace zeltaro::adif
