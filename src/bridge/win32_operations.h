// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bridge's operations over the Windows calls.

#include <windows.h>

#include "operations.h"

namespace zeltaro::bridge {

class Win32Operations final : public Operations {
 public:
  ~Win32Operations() override;
  std::vector<FoundWindow> hamlogWindows() override;
  std::uint32_t sendField(std::uint32_t window, std::uint32_t dataWord,
                          std::string_view text) override;
  bool pressKey(std::uint32_t window, std::uint32_t virtualKey, bool ctrl, bool shift,
                bool alt) override;
  bool foreground(std::uint32_t window) override;
  bool normalRect(std::uint32_t window, Rect& rect) override;
  bool setPointer(std::int32_t x, std::int32_t y) override;
  void getPointer(std::int32_t& x, std::int32_t& y) override;
  std::uint32_t findCompanion() override;
  std::uint32_t foregroundWindow() override;

  bool libLoad(std::string_view file) override;
  void libRelease() override;
  std::uint32_t libVersion() override;
  void libSetShare(std::int32_t share) override;
  std::int32_t libOpen(std::string_view basePath) override;
  void libClose() override;
  std::int32_t libSeek(std::string_view key, std::int32_t index) override;
  std::int32_t libSkip(std::int32_t count, std::int32_t index) override;
  std::int32_t libBandClass(std::string_view freq) override;
  Record libRecord() override;

 private:
  std::uint32_t call(int entry, const std::uintptr_t* args, int count);

  HMODULE library_ = nullptr;
  FARPROC entries_[58] = {};
};

}  // namespace zeltaro::bridge
