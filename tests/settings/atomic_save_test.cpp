// SPDX-License-Identifier: GPL-3.0-or-later
// A save that is interrupted (the process killed, the disk full) leaves the settings file with
// either its old or its new content, and leaves no temporary files piling up.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <random>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace zeltaro::settings {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

std::string fileWithLog(char c) {
  return "[Inet]\r\nTimeSel=0\r\nLog=\"" + std::string(2'000'000, c) +
         "\"\r\n\r\n[Mail]\r\nSubj=\"  ZELTARO V2\"\r\n";
}

pid_t startSaver(const std::vector<std::string>& args) {
  std::vector<std::string> all{ZELTARO_PROFILE_SAVER};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

// Exit code of a finished saver, -1 when it did not exit normally.
int waitFor(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Which of the two contents the file holds: 'a', 'b', or '?' for anything else.
char whichContent(const std::string& bytes) {
  if (bytes == fileWithLog('a')) return 'a';
  if (bytes == fileWithLog('b')) return 'b';
  return '?';
}

TEST(AtomicSave, KilledWhileSavingLeavesOldOrNewFile) {
  TempDir dir;
  const std::string path = dir.file("ZELTARO.ini");
  writeBytes(path, fileWithLog('a'));

  // One whole save first: it works, and its duration spreads the kills over a few saves.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(waitFor(startSaver({"once", path})), 0);
  const auto oneSave = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(whichContent(readBytes(path)), 'b');
  const auto spread = std::chrono::duration_cast<std::chrono::microseconds>(oneSave * 3).count();

  std::mt19937 random(20240607);
  std::uniform_int_distribution<long> delay(0, spread);
  int changed = 0;
  int tempLeft = 0;
  char before = 'b';
  for (int round = 0; round < 50; ++round) {
    const pid_t pid = startSaver({"loop", path});
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    kill(pid, SIGKILL);
    waitFor(pid);

    const char now = whichContent(readBytes(path));
    ASSERT_NE(now, '?') << "round " << round << ": the file is neither the old nor the new one";
    if (now != before) ++changed;
    before = now;
    const std::set<std::string> names = dir.names();
    if (names.count("ZELTARO.ini.tmp")) ++tempLeft;
    if (names.size() != 1) {
      EXPECT_EQ(names, (std::set<std::string>{"ZELTARO.ini", "ZELTARO.ini.tmp"}));
    }
  }
  std::cout << "one save took " << spread / 3 << " us; the file changed in " << changed
            << " rounds; a kill left the temporary file " << tempLeft << " times\n";
  EXPECT_GT(changed, 0) << "no kill came after a finished save";

  // The next save replaces whatever temporary file a kill left.
  ASSERT_EQ(waitFor(startSaver({"once", path})), 0);
  EXPECT_EQ(dir.names(), std::set<std::string>{"ZELTARO.ini"});
}

TEST(AtomicSave, FullDiskLeavesOldFile) {
  TempDir dir;
  const std::string path = dir.file("ZELTARO.ini");
  writeBytes(path, fileWithLog('a'));
  EXPECT_EQ(waitFor(startSaver({"limit", path, "1000000"})), 1);
  EXPECT_EQ(whichContent(readBytes(path)), 'a');
  EXPECT_EQ(dir.names(), std::set<std::string>{"ZELTARO.ini"});
}

}  // namespace
}  // namespace zeltaro::settings
