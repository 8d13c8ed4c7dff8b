// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the bridge does for each request, as an interface: the Win32 program implements it with
// the Windows calls (win32_*.cpp), the tests with a recorder.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol.h"

namespace zeltaro::bridge {

struct FoundWindow {
  std::uint32_t handle = 0;
  std::string folder;  // the program file's folder as a Unix path ending in "/"
};

struct Rect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

class Operations {
 public:
  virtual ~Operations() = default;
  virtual std::vector<FoundWindow> hamlogWindows() = 0;
  virtual std::uint32_t sendField(std::uint32_t window, std::uint32_t dataWord,
                                  std::string_view text) = 0;
  virtual bool pressKey(std::uint32_t window, std::uint32_t virtualKey, bool ctrl, bool shift,
                        bool alt) = 0;
  virtual bool foreground(std::uint32_t window) = 0;
  virtual bool normalRect(std::uint32_t window, Rect& rect) = 0;
  virtual bool setPointer(std::int32_t x, std::int32_t y) = 0;
  virtual void getPointer(std::int32_t& x, std::int32_t& y) = 0;
  virtual std::uint32_t findCompanion() = 0;
  virtual std::uint32_t foregroundWindow() = 0;

  virtual bool libLoad(std::string_view file) = 0;
  virtual void libRelease() = 0;
  virtual std::uint32_t libVersion() = 0;
  virtual void libSetShare(std::int32_t share) = 0;
  virtual std::int32_t libOpen(std::string_view basePath) = 0;
  virtual void libClose() = 0;
  virtual std::int32_t libSeek(std::string_view key, std::int32_t index) = 0;
  virtual std::int32_t libSkip(std::int32_t count, std::int32_t index) = 0;
  virtual std::int32_t libBandClass(std::string_view freq) = 0;
  // The record under the cursor, after a seek or skip that returned 0.
  virtual Record libRecord() = 0;
};

// Runs one request against ops and returns the reply payload. exit becomes true for kExit.
// A request that cannot be read gets a kError reply and runs nothing.
std::string dispatch(std::string_view request, Operations& ops, bool& exit);

}  // namespace zeltaro::bridge
