// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A throw-away Wine prefix for the benchmarks that run the bridge, made with wineboot in a
// temporary folder, and the Win32 test doubles of HAMLOG's window started in it. Everything is
// stopped and removed when the object goes. Run under a display (xvfb-run -a).

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace zeltaro::bench {

class WineSetup {
 public:
  WineSetup(std::string wine, std::string winDir)
      : wine_(std::move(wine)), win_(std::move(winDir)) {
    std::string pattern = "/tmp/zeltaro-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) return;
    root_ = pattern;
    prefix_ = root_ + "/prefix";
    setenv("WINEPREFIX", prefix_.c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINELOADER", wine_.c_str(), 1);
    ok_ = std::system((wine_ + " wineboot -i >/dev/null 2>&1").c_str()) == 0;
  }
  ~WineSetup() {
    for (const pid_t pid : started_) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (root_.empty()) return;
    std::system(
        (std::filesystem::path(wine_).parent_path().string() + "/wineserver64 -k >/dev/null 2>&1")
            .c_str());
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  WineSetup(const WineSetup&) = delete;
  WineSetup& operator=(const WineSetup&) = delete;

  bool ok() const { return ok_; }
  const std::string& root() const { return root_; }
  const std::string& prefix() const { return prefix_; }

  // The fake HAMLOG window run from folder (a path ending in "/"), whose windows then belong to
  // it; returns once it says it is up. It appends what it receives to folder + "record.txt".
  bool startFakeHamlog(const std::string& folder) {
    std::filesystem::create_directories(folder);
    const std::string exe = folder + "fake_windows.exe";
    std::filesystem::copy_file(win_ + "/fake_windows.exe", exe,
                               std::filesystem::copy_options::overwrite_existing);
    int out[2];
    if (pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string wine = wine_, arg = "hamlog", exeArg = exe;
    char* argv[] = {wine.data(), exeArg.data(), arg.data(), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, wine_.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
      close(out[0]);
      return false;
    }
    started_.push_back(pid);
    char c;
    bool up = false;
    while (read(out[0], &c, 1) == 1)
      if (c == '\n') {
        up = true;
        break;
      }
    close(out[0]);
    return up;
  }

 private:
  std::string wine_, win_, root_, prefix_;
  bool ok_ = false;
  std::vector<pid_t> started_;
};

}  // namespace zeltaro::bench
