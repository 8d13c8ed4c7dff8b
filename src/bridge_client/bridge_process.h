// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// zeltaro-bridge.exe as the Linux side runs it: started with wine in the operator's prefix at
// the first request, kept running, and spoken to over its standard input and output. Every
// request has a bounded wait; a bridge that does not answer in time is killed, one that died is
// reaped, and the next request starts a new one. A failure is reported with one line (on
// standard error unless a reporter is given) when the bridge stops working, not at every
// request after that, so a missing Wine does not fill the terminal. Wine is never started
// without an existing prefix: it would make one in the operator's home.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "bridge/protocol.h"

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

  // Sends one request payload and returns the reply's fields (after its status byte), or
  // nothing when the bridge could not be started, failed, did not answer in time or refused
  // the request.
  std::optional<std::string> request(std::string_view payload);

  // Ends the bridge (asks it to exit, kills it when it does not).
  void stop();

  // The running bridge's process, -1 when none runs.
  pid_t pid() const { return pid_; }
  // How many times a bridge was started.
  int starts() const { return starts_; }

 private:
  bool start();
  void kill();
  void fail(std::string_view why);
  bool writeAll(std::string_view bytes, std::chrono::steady_clock::time_point deadline);
  // Reads what is there within the deadline into buffer_; false at the deadline or end of file.
  bool readSome(std::chrono::steady_clock::time_point deadline);

  BridgeOptions options_;
  pid_t pid_ = -1;
  int toBridge_ = -1;
  int fromBridge_ = -1;
  bridge::FrameReader frames_;
  std::string buffer_;
  bool reported_ = false;
  int starts_ = 0;
};

}  // namespace zeltaro::bridgeclient
