// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every Wine test program shares: one throw-away prefix for the whole program (made by
// wineboot before the first test, its server stopped and the folder removed after the last), and
// Win32 test doubles run under Wine until the object that started them goes away.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace zeltaro::testing::wine {

inline const std::string kWine = ZELTARO_TEST_WINE;
inline const std::string kWin = ZELTARO_TEST_WIN_DIR;

class WineEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = "/tmp/zeltaro-wine-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern.data()));
    prefix = pattern;
    setenv("WINEPREFIX", prefix.c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINELOADER", kWine.c_str(), 1);
    ASSERT_EQ(std::system((kWine + " wineboot -i >/dev/null 2>&1").c_str()), 0);
  }
  void TearDown() override {
    const std::string server = std::filesystem::path(kWine).parent_path() / "wineserver64";
    std::system((server + " -k >/dev/null 2>&1").c_str());
    std::error_code ignored;
    std::filesystem::remove_all(prefix, ignored);
  }
  std::string prefix;
};

// The program's one prefix, registered with GoogleTest on first use.
inline WineEnvironment& environment() {
  static WineEnvironment* const e = [] {
    auto* env = new WineEnvironment;
    ::testing::AddGlobalTestEnvironment(env);
    return env;
  }();
  return *e;
}

// A Windows test double, running until the object goes away; it says "up" once its windows
// exist.
class WinProgram {
 public:
  WinProgram(const std::string& exe, std::vector<std::string> args) {
    int out[2];
    EXPECT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> all{kWine, exe};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, kWine.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char c;
    std::string line;
    // Standard output of a Windows program is in text mode: "up\r\n".
    while ((line.empty() || line.back() != '\n') && read(out[0], &c, 1) == 1) line += c;
    close(out[0]);
    EXPECT_EQ(line, "up\r\n");
  }
  ~WinProgram() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  WinProgram(const WinProgram&) = delete;
  WinProgram& operator=(const WinProgram&) = delete;

 private:
  pid_t pid_ = -1;
};

// The fake HAMLOG, its program file copied into folder (whose windows it then belongs to).
class FakeHamlog : public WinProgram {
 public:
  explicit FakeHamlog(const std::string& folder) : WinProgram(copied(folder), {"hamlog"}) {}

 private:
  static std::string copied(const std::string& folder) {
    std::filesystem::create_directories(folder);
    const std::string exe = folder + "/fake_windows.exe";
    std::filesystem::copy_file(kWin + "/fake_windows.exe", exe,
                               std::filesystem::copy_options::overwrite_existing);
    return exe;
  }
};

}  // namespace zeltaro::testing::wine
