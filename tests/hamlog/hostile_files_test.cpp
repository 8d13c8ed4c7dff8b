// SPDX-License-Identifier: GPL-3.0-or-later
// Files in a HAMLOG folder that are not what HAMLOG writes, made by the test the way an
// attacker (or a broken copy) would: each is judged before it is read, answers at once and
// costs no more memory than a real log would.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "hamlog/hdb_database.h"
#include "hamlog/michi_table.h"
#include "hdb_writer.h"
#include "support/event_lines.h"
#include "support/peak_memory.h"
#include "support/temp_dir.h"

namespace zeltaro::hamlog {
namespace {

using Clock = std::chrono::steady_clock;
using zeltaro::testing::peakMemoryKiB;
using zeltaro::testing::resetPeakMemory;

// Far below what reading any of these files whole would take, far above what judging needs.
constexpr long kMemoryBoundKiB = 48 * 1024;
// A hang guard, not a timing: each file is refused after reading a few bytes.
constexpr auto kAnswerBound = std::chrono::seconds(5);

// A file of size bytes that holds only a hole (costs no disk), after the given head.
void sparseFile(const std::string& path, std::uint64_t size, const std::string& head = {}) {
  zeltaro::testing::writeBytes(path, head);
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(size)), 0);
}

// A header whose 16 descriptors all claim width 0 and whose records are 1 byte wide.
std::string zeroWidthHeader(std::uint32_t count) {
  const char* names[] = {"CALLS", "IGN", "DATE", "TIME", "CODE", "GL",   "QSL",  "FLAG",
                         "HIS",   "MY",  "FREQ", "MODE", "NAME", "QTH",  "RMK1", "RMK2"};
  std::string h(32, '\0');
  h[0] = '\x03';
  for (int i = 0; i < 4; ++i) h[4 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
  const int headerLength = 32 + 32 * 16 + 1;
  h[8] = static_cast<char>(headerLength & 0xFF);
  h[9] = static_cast<char>(headerLength >> 8);
  h[10] = 1;
  for (const char* name : names) {
    std::string d(32, '\0');
    d.replace(0, std::string(name).size(), name);
    d[11] = 'C';
    h += d;
  }
  return h + '\x0D';
}

class HostileFileTest : public ::testing::Test {
 protected:
  std::string folder() const { return dir.path() + "/"; }
  zeltaro::testing::TempDir dir;
};

TEST_F(HostileFileTest, QsoFilesRefusedBeforeTheirBulkIsRead) {
  const std::string hdb = dir.file("hamlog.hdb");
  struct Row {
    const char* name;
    void (*make)(const std::string& path);
  } rows[] = {
      {"16 fields of width 0, records of 1 byte, 20 MB of blanks",
       [](const std::string& path) {
         zeltaro::testing::writeBytes(path, zeroWidthHeader(20'000'000) +
                                                std::string(20'000'000, ' '));
       }},
      {"2 GB of nothing (truncate -s 2G)",
       [](const std::string& path) { sparseFile(path, std::uint64_t{2} << 30); }},
      {"a header claiming 4 G records of a 2 GB file",
       [](const std::string& path) {
         std::string head = zeltaro::testing::hdbFile({});
         head.replace(4, 4, "\xff\xff\xff\xff");
         sparseFile(path, std::uint64_t{2} << 30, head);
       }},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    r.make(hdb);
    resetPeakMemory();
    const long before = peakMemoryKiB();
    const auto start = Clock::now();
    HdbDatabase db;
    EXPECT_NE(db.open(folder() + "HAMLOG"), 0);
    EXPECT_LT(Clock::now() - start, kAnswerBound);
    EXPECT_LT(peakMemoryKiB() - before, kMemoryBoundKiB);
  }
}

TEST_F(HostileFileTest, OnlyWhatTheHeaderClaimsIsRead) {
  // A real log followed by 2 GB of hole: the records are there, the rest is never read.
  const std::string log = zeltaro::testing::hdbFile(
      {zeltaro::testing::plainQso("JA1ABC", "7.010", "CW"),
       zeltaro::testing::plainQso("JA1XYZ", "14.025", "SSB")});
  sparseFile(dir.file("hamlog.hdb"), std::uint64_t{2} << 30, log);
  resetPeakMemory();
  const long before = peakMemoryKiB();
  HdbDatabase db;
  ASSERT_EQ(db.open(folder() + "HAMLOG"), 0);
  EXPECT_LT(peakMemoryKiB() - before, kMemoryBoundKiB);
  ASSERT_EQ(db.seek("JA1XYZ", kCallIndex), 0);
  EXPECT_EQ(db.call(), "JA1XYZ");
  EXPECT_EQ(db.recordNumber(), 2);
}

TEST_F(HostileFileTest, OversizedRoadsideTablesAreLeftUnreadWithOneLine) {
  const std::string path = dir.file("michinoeki.txt");
  for (const std::uint64_t size : {std::uint64_t{200} << 20, std::uint64_t{2} << 30}) {
    SCOPED_TRACE(size);
    sparseFile(path, size);
    resetPeakMemory();
    const long before = peakMemoryKiB();
    const auto start = Clock::now();
    MichiTable table;
    ::testing::internal::CaptureStderr();
    table.load(folder());
    EXPECT_EQ(zeltaro::testing::withStampsMarked(::testing::internal::GetCapturedStderr()),
              "zeltaro: <stamp> " + path + " holds " + std::to_string(size) +
                  " bytes, more than a roadside-station table (16777216 at most): not read\n");
    EXPECT_LT(Clock::now() - start, kAnswerBound);
    EXPECT_LT(peakMemoryKiB() - before, kMemoryBoundKiB);
    EXPECT_EQ(table.path(), path);
    EXPECT_FALSE(table.loaded());
  }
  // At the cap a table is still read.
  sparseFile(path, kMaxMichiTableBytes, "No. ABC-01,A,331001\r\n");
  MichiTable table;
  table.load(folder());
  EXPECT_TRUE(table.loaded());
  EXPECT_EQ(table.lookUp("ABC-01").code, "331001");
}

// A FIFO swapped with the file over and over by another thread (rename with exchange), so that
// some of the opens meet it between the folder's type check and the open. An open that waited
// for a writer would hang here for good; every one must answer.
TEST_F(HostileFileTest, AFifoSwappedInForTheFileNeverHoldsTheOpen) {
  struct Target {
    const char* name;
    std::string content;
    bool (*read)(const std::string& folder);  // true when the file's content was read
  } targets[] = {
      {"hamlog.hdb", zeltaro::testing::hdbFile({zeltaro::testing::plainQso("JA1ABC", "7.0", "CW")}),
       [](const std::string& folder) {
         HdbDatabase db;
         return db.open(folder + "HAMLOG") == 0;
       }},
      {"michinoeki.txt", "No. ABC-01,A,331001\r\n",
       [](const std::string& folder) {
         MichiTable t;
         t.load(folder);
         return t.loaded();
       }},
  };
  for (const Target& t : targets) {
    SCOPED_TRACE(t.name);
    const std::string file = dir.file(t.name);
    const std::string fifo = dir.file("swap");
    zeltaro::testing::writeBytes(file, t.content);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    std::atomic<bool> stop{false};
    std::thread swapper([&] {
      while (!stop) ::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, fifo.c_str(), RENAME_EXCHANGE);
    });
    // Whichever of the two stood there, the file is read or refused; never waited on.
    const auto start = Clock::now();
    for (int i = 0; i < 2000; ++i) t.read(folder());
    stop = true;
    swapper.join();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(60));
    ::unlink(file.c_str());
    ::unlink(fifo.c_str());
  }
}

}  // namespace
}  // namespace zeltaro::hamlog
