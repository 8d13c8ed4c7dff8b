// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's event log: every failure the operator should be able to find later (a fetch
// that failed, a refused mail, a bridge, rig or HAMLOG-file failure). Each event is one line
// with the local date and time; it goes to standard error at once (journald keeps it under the
// service unit), and the last 200 stay in memory for the windows that show them.

#include <cstddef>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace zeltaro::platform {

class EventLog {
 public:
  static constexpr std::size_t kKept = 200;
  using Listener = std::function<void(const std::string& line)>;

  // `sink` receives "zeltaro: <line>\n" for every event; nullptr writes nowhere.
  explicit EventLog(const Clock& clock, std::FILE* sink = stderr);

  // Records one event (UTF-8, one line: line breaks become spaces) and returns its line
  // "YYYY-MM-DD hh:mm:ss text".
  std::string record(std::string_view text);

  // The kept lines, oldest first.
  std::vector<std::string> lines() const;
  void clear();

  // Called with each new line, in the recording thread, after it is kept. Returns a handle for
  // unlisten().
  int listen(Listener listener);
  void unlisten(int handle);

 private:
  const Clock& clock_;
  std::FILE* sink_;
  mutable std::mutex mutex_;
  std::deque<std::string> lines_;
  std::vector<std::pair<int, Listener>> listeners_;
  int nextHandle_ = 1;
};

// The program's one event log (system clock, standard error).
EventLog& eventLog();

// Shorthand for eventLog().record(text).
inline std::string reportEvent(std::string_view text) { return eventLog().record(text); }

}  // namespace zeltaro::platform
