// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// zeltaro-bridge.exe as the Linux side runs it: started with wine in the operator's prefix at
// the first request, kept running, and spoken to over its standard input and output. Every
// request has a bounded wait; a bridge that does not answer in time is killed, one that died is
// reaped, and the next request starts a new one. A failure is reported with one line (on
// standard error unless a reporter is given) when the bridge stops working, not at every
// request after that, so a missing Wine does not fill the terminal. Wine is never started
// without an existing prefix: it would make one in the operator's home.
//
// Given a message pump, a request's waits (the start, the write, the reply) are cut into slices
// of 10 ms with the window's turn between them. The pipe still carries one exchange at a time:
// a request made from the window's turn while another one waits first finishes that one's wait
// (its start or its exchange) without letting the window run, keeps the reply for it, and then
// makes its own exchange, also without letting the window run.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "bridge/protocol.h"

namespace zeltaro::platform {
class MessagePump;
}

namespace zeltaro::bridgeclient {

struct BridgeOptions {
  std::string wine = "wine";  // looked up in PATH
  std::string exe;            // the path of zeltaro-bridge.exe
  std::string prefix;         // WINEPREFIX for the bridge; empty: defaultWinePrefix()
  // A cold prefix takes Wine a while to set up; a warm start takes about a second.
  std::chrono::milliseconds startTimeout{60000};
  // Longer than any single operation needs (a key press takes 150 ms).
  std::chrono::milliseconds requestTimeout{5000};
  std::function<void(std::string_view)> report;  // null: standard error
  // Run between the slices of a request's waits; null: the waits block.
  platform::MessagePump* pump = nullptr;
};

// The prefix setting's default: $WINEPREFIX, or ~/.wine.
std::string defaultWinePrefix();
// The prefix the operator's setting names (CP932, as the settings file holds it), or the
// default when the setting is empty.
std::string winePrefixFor(std::string_view settingCp932);

class BridgeProcess {
 public:
  explicit BridgeProcess(BridgeOptions options);
  ~BridgeProcess();
  BridgeProcess(const BridgeProcess&) = delete;
  BridgeProcess& operator=(const BridgeProcess&) = delete;

  // Whether a request's waits let the window run (when a pump is given).
  enum class Waiting { kLetWindowRun, kHoldWindow };

  // Sends one request payload and returns the reply's fields (after its status byte), or
  // nothing when the bridge could not be started, failed, did not answer in time or refused
  // the request.
  std::optional<std::string> request(std::string_view payload,
                                     Waiting waiting = Waiting::kLetWindowRun);

  // A request waits for the bridge's start or reply (and the window may be having its turn).
  bool busy() const { return phase_ != Phase::kIdle; }

  // Ends the bridge (asks it to exit, kills it when it does not). Its waits never let the
  // window run.
  void stop();

  // The running bridge's process, -1 when none runs.
  pid_t pid() const { return pid_; }
  // How many times a bridge was started.
  int starts() const { return starts_; }

 private:
  using TimePoint = std::chrono::steady_clock::time_point;
  enum class Phase { kIdle, kStarting, kExchanging };
  enum class Outcome { kDone, kFailed, kSettled };

  // Starts the bridge and waits for its ready line; pump: null or the window's turn.
  bool start(platform::MessagePump* pump);
  bool finishStart(platform::MessagePump* pump);
  std::optional<std::string> exchange(std::string_view payload, platform::MessagePump* pump);
  std::optional<std::string> finishExchange(platform::MessagePump* pump, unsigned long long id);
  // Finishes the start or exchange a request made earlier is waiting for, for it.
  void settle();
  void kill();
  void fail(std::string_view why);
  // Waits until fd is ready for events: kDone, kFailed at the deadline, kSettled when the pump
  // let a request through that finished the step waited for. Without a pump, one wait.
  Outcome waitFor(int fd, short events, TimePoint deadline, platform::MessagePump* pump);
  // Writes bytes, taking off what went out.
  Outcome writeAll(std::string& bytes, TimePoint deadline, platform::MessagePump* pump);
  // Reads what is there within the deadline into buffer_; kFailed at the deadline or end of
  // file.
  Outcome readSome(TimePoint deadline, platform::MessagePump* pump);

  BridgeOptions options_;
  pid_t pid_ = -1;
  int toBridge_ = -1;
  int fromBridge_ = -1;
  bridge::FrameReader frames_;
  std::string buffer_;
  bool reported_ = false;
  int starts_ = 0;
  Phase phase_ = Phase::kIdle;
  TimePoint deadline_{};              // of the start or exchange under way
  std::string outbox_;                // the request frame's bytes not written yet
  unsigned long long exchanges_ = 0;  // exchanges begun
  // The reply another request's settle() got for exchange settledFor_.
  unsigned long long settledFor_ = 0;
  std::optional<std::string> settledReply_;
};

}  // namespace zeltaro::bridgeclient
