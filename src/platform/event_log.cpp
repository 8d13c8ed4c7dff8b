// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/event_log.h"

#include <cstdio>
#include <utility>

namespace zeltaro::platform {

EventLog::EventLog(const Clock& clock, std::FILE* sink) : clock_(clock), sink_(sink) {}

std::string EventLog::record(std::string_view text) {
  const LocalDateTime t = clock_.now();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  std::string line = stamp;
  line.reserve(line.size() + text.size());
  for (const char c : text) line += (c == '\r' || c == '\n') ? ' ' : c;

  std::vector<Listener> toCall;
  {
    const std::lock_guard lock(mutex_);
    if (sink_) {
      std::fprintf(sink_, "zeltaro: %s\n", line.c_str());
      std::fflush(sink_);
    }
    lines_.push_back(line);
    while (lines_.size() > kKept) lines_.pop_front();
    for (const auto& [handle, listener] : listeners_) toCall.push_back(listener);
  }
  for (const auto& listener : toCall) listener(line);
  return line;
}

std::vector<std::string> EventLog::lines() const {
  const std::lock_guard lock(mutex_);
  return {lines_.begin(), lines_.end()};
}

void EventLog::clear() {
  const std::lock_guard lock(mutex_);
  lines_.clear();
}

int EventLog::listen(Listener listener) {
  const std::lock_guard lock(mutex_);
  const int handle = nextHandle_++;
  listeners_.emplace_back(handle, std::move(listener));
  return handle;
}

void EventLog::unlisten(int handle) {
  const std::lock_guard lock(mutex_);
  std::erase_if(listeners_, [handle](const auto& entry) { return entry.first == handle; });
}

EventLog& eventLog() {
  static const SystemClock clock;
  static EventLog log(clock);
  return log;
}

}  // namespace zeltaro::platform
