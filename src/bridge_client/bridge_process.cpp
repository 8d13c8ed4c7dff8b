// SPDX-License-Identifier: GPL-3.0-or-later
#include "bridge_client/bridge_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <vector>

#include "platform/event_log.h"
#include "platform/message_pump.h"
#include "text/codec.h"
#include "text/errno_text.h"

extern char** environ;

namespace zeltaro::bridgeclient {

using Clock = std::chrono::steady_clock;

namespace {

// With a pump, the longest time the window waits for its turn during a request.
constexpr int kPumpedSliceMs = 10;

int remainingMs(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// The environment for wine: ours, with the prefix and Wine's debug output off unless the
// operator asked for it.
std::vector<std::string> bridgeEnvironment(const std::string& prefix) {
  std::vector<std::string> env;
  bool debugSet = false;
  for (char** e = environ; *e; ++e) {
    std::string_view entry(*e);
    if (!prefix.empty() && entry.starts_with("WINEPREFIX=")) continue;
    if (entry.starts_with("WINEDEBUG=")) debugSet = true;
    env.emplace_back(entry);
  }
  if (!prefix.empty()) env.push_back("WINEPREFIX=" + prefix);
  if (!debugSet) env.emplace_back("WINEDEBUG=-all");
  return env;
}

// Wine makes a prefix of its own (about a gigabyte, silently) where there is none. A prefix has
// the drive links Wine makes first thing, or its registry (which the server writes only when
// it ends, so a prefix just made may lack it); an empty folder is no prefix yet.
bool isWinePrefix(const std::string& prefix) {
  namespace fs = std::filesystem;
  std::error_code error;
  return fs::is_directory(fs::path(prefix) / "dosdevices", error) ||
         fs::is_regular_file(fs::path(prefix) / "system.reg", error);
}

}  // namespace

std::string defaultWinePrefix() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.wine";
}

std::string winePrefixFor(std::string_view settingCp932) {
  return settingCp932.empty() ? defaultWinePrefix() : text::utf8FromCp932(settingCp932);
}

BridgeProcess::BridgeProcess(BridgeOptions options) : options_(std::move(options)) {}

BridgeProcess::~BridgeProcess() { stop(); }

void BridgeProcess::fail(std::string_view why) {
  kill();
  if (reported_) return;
  reported_ = true;
  const std::string line = "the Windows bridge is not available (" + std::string(why) +
                           "); HAMLOG's window and library steps are skipped";
  if (options_.report)
    options_.report("zeltaro: " + line);
  else
    platform::reportEvent(line);
}

bool BridgeProcess::start(platform::MessagePump* pump) {
  // Checked at every start, so that a prefix the operator makes later is used from then on.
  const std::string prefix = options_.prefix.empty() ? defaultWinePrefix() : options_.prefix;
  if (!isWinePrefix(prefix)) {
    fail("no Wine prefix at " + prefix + "; Zeltaro does not make one");
    return false;
  }
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) return false;
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]);
    close(in[1]);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  auto env = bridgeEnvironment(options_.prefix);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string wine = options_.wine, exe = options_.exe;
  char* argv[] = {wine.data(), exe.data(), nullptr};
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, wine.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  if (rc != 0) {
    close(in[1]);
    close(out[0]);
    fail(options_.wine + ": " + text::errnoText(rc));
    return false;
  }
  ++starts_;
  pid_ = pid;
  toBridge_ = in[1];
  fromBridge_ = out[0];
  frames_ = {};
  buffer_.clear();
  phase_ = Phase::kStarting;
  deadline_ = Clock::now() + options_.startTimeout;
  return finishStart(pump);
}

bool BridgeProcess::finishStart(platform::MessagePump* pump) {
  for (;;) {
    auto eol = buffer_.find('\n');
    if (eol != std::string::npos) {
      if (buffer_.substr(0, eol + 1) != bridge::kReadyLine) {
        fail("unexpected start-up output");
        return false;
      }
      frames_.feed(std::string_view(buffer_).substr(eol + 1));
      buffer_.clear();
      phase_ = Phase::kIdle;
      return true;
    }
    switch (readSome(deadline_, pump)) {
      case Outcome::kDone:
        break;
      case Outcome::kSettled:
        // A request made meanwhile waited for the start; it may have started another bridge.
        return pid_ >= 0;
      case Outcome::kFailed:
        fail(remainingMs(deadline_) == 0 ? "no ready line in time" : "it ended at start-up");
        return false;
    }
  }
}

BridgeProcess::Outcome BridgeProcess::waitFor(int fd, short events, Clock::time_point deadline,
                                              platform::MessagePump* pump) {
  const Phase phase = phase_;
  const unsigned long long exchanges = exchanges_;
  const int starts = starts_;
  for (;;) {
    const int left = remainingMs(deadline);
    pollfd p{fd, events, 0};
    const int n = poll(&p, 1, pump ? std::min(left, kPumpedSliceMs) : left);
    if (n < 0 && errno == EINTR) continue;
    if (n > 0) return Outcome::kDone;
    // At the deadline, what came while the window had its turn is looked at once more.
    if (n < 0 || !pump || left == 0) return Outcome::kFailed;
    pump->pump();
    if (phase_ != phase || exchanges_ != exchanges || starts_ != starts) return Outcome::kSettled;
  }
}

BridgeProcess::Outcome BridgeProcess::readSome(Clock::time_point deadline,
                                               platform::MessagePump* pump) {
  for (;;) {
    const Outcome ready = waitFor(fromBridge_, POLLIN, deadline, pump);
    if (ready != Outcome::kDone) return ready;
    char chunk[65536];
    ssize_t got = read(fromBridge_, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return Outcome::kFailed;
    buffer_.append(chunk, static_cast<size_t>(got));
    return Outcome::kDone;
  }
}

BridgeProcess::Outcome BridgeProcess::writeAll(std::string& bytes, Clock::time_point deadline,
                                               platform::MessagePump* pump) {
  // A bridge that died leaves a pipe without reader: keep SIGPIPE from ending this program.
  sigset_t pipeSet, old;
  sigemptyset(&pipeSet);
  sigaddset(&pipeSet, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSet, &old);
  Outcome outcome = Outcome::kDone;
  while (!bytes.empty()) {
    outcome = waitFor(toBridge_, POLLOUT, deadline, pump);
    if (outcome != Outcome::kDone) break;
    ssize_t put = write(toBridge_, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      outcome = Outcome::kFailed;
      break;
    }
    bytes.erase(0, static_cast<size_t>(put));
  }
  if (outcome == Outcome::kFailed) {
    timespec zero{0, 0};
    while (sigtimedwait(&pipeSet, nullptr, &zero) > 0) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  return outcome;
}

std::optional<std::string> BridgeProcess::request(std::string_view payload, Waiting waiting) {
  // Called from the window's turn while another request waits: that one is finished first.
  const bool nested = phase_ != Phase::kIdle;
  if (nested) settle();
  platform::MessagePump* pump = nested || waiting == Waiting::kHoldWindow ? nullptr : options_.pump;
  if (pid_ < 0 && !start(pump)) return std::nullopt;
  return exchange(payload, pump);
}

std::optional<std::string> BridgeProcess::exchange(std::string_view payload,
                                                   platform::MessagePump* pump) {
  phase_ = Phase::kExchanging;
  deadline_ = Clock::now() + options_.requestTimeout;
  outbox_ = bridge::frame(payload);
  return finishExchange(pump, ++exchanges_);
}

std::optional<std::string> BridgeProcess::finishExchange(platform::MessagePump* pump,
                                                         unsigned long long id) {
  const auto settled = [&]() -> std::optional<std::string> {
    if (settledFor_ != id) return std::nullopt;
    settledFor_ = 0;
    return std::move(settledReply_);
  };
  // What is left of the frame goes out first: a request made meanwhile writes it before its own.
  if (!outbox_.empty()) {
    switch (writeAll(outbox_, deadline_, pump)) {
      case Outcome::kDone:
        break;
      case Outcome::kSettled:
        return settled();
      case Outcome::kFailed:
        fail("it stopped taking requests");
        return std::nullopt;
    }
  }
  for (;;) {
    if (auto reply = frames_.next()) {
      phase_ = Phase::kIdle;
      if (reply->empty() || static_cast<unsigned char>((*reply)[0]) !=
                                static_cast<unsigned char>(bridge::Status::kOk))
        return std::nullopt;  // refused, but the bridge itself is fine
      reported_ = false;
      return reply->substr(1);
    }
    if (frames_.failed()) {
      fail("it sent a malformed reply");
      return std::nullopt;
    }
    switch (readSome(deadline_, pump)) {
      case Outcome::kDone:
        frames_.feed(buffer_);
        buffer_.clear();
        break;
      case Outcome::kSettled:
        return settled();
      case Outcome::kFailed:
        fail(remainingMs(deadline_) == 0 ? "no answer in time" : "it ended");
        return std::nullopt;
    }
  }
}

void BridgeProcess::settle() {
  if (phase_ == Phase::kStarting) {
    finishStart(nullptr);
  } else if (phase_ == Phase::kExchanging) {
    const unsigned long long id = exchanges_;
    settledReply_ = finishExchange(nullptr, id);
    settledFor_ = id;
  }
}

void BridgeProcess::kill() {
  if (toBridge_ >= 0) close(toBridge_);
  if (fromBridge_ >= 0) close(fromBridge_);
  toBridge_ = fromBridge_ = -1;
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  pid_ = -1;
  phase_ = Phase::kIdle;
  outbox_.clear();
}

void BridgeProcess::stop() {
  if (pid_ < 0) return;
  bridge::Writer exit;
  exit.u8(static_cast<std::uint8_t>(bridge::Op::kExit));
  auto deadline = Clock::now() + std::chrono::milliseconds(1000);
  std::string exitFrame = bridge::frame(exit.payload());
  if (writeAll(exitFrame, deadline, nullptr) == Outcome::kDone) {
    close(toBridge_);
    toBridge_ = -1;
    // The bridge closes its output when it ends.
    while (readSome(deadline, nullptr) == Outcome::kDone) buffer_.clear();
    for (int i = 0; i < 50; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      usleep(10000);
    }
  }
  kill();
}

}  // namespace zeltaro::bridgeclient
