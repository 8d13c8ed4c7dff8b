// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operations on other programs' windows that the transfer to HAMLOG and the companion's
// focus step need: HAMLOG's main windows with their program folders, the field message, the
// rig key, the foreground, a window's normal rectangle and the mouse pointer. On Linux the
// Windows bridge stands behind it (HAMLOG and the companion run under Wine). Window handles
// are the 32-bit values of the Windows side; 0 is no window. Every operation fails quietly:
// an empty list, a 0 answer, false.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::hamlog {

using WindowHandle = std::uint32_t;

struct HamlogWindow {
  WindowHandle handle = 0;
  // The folder of the program file that owns the window, in the same form as the HAMLOG
  // folder settings (a Linux path ending in "/", CP932).
  std::string folder;
};

struct WindowRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const WindowRect&) const = default;
};

struct KeyModifiers {
  bool ctrl = false, shift = false, alt = false;
};

class WindowLink {
 public:
  virtual ~WindowLink() = default;
  // The top-level windows of class "TThwin", in enumeration order.
  virtual std::vector<HamlogWindow> hamlogWindows() = 0;
  // Sends one field message synchronously (text cut to 255 bytes) and returns the window's
  // answer: HAMLOG answers with its input window's handle.
  virtual WindowHandle sendField(WindowHandle window, std::uint32_t dataWord,
                                 std::string_view text) = 0;
  // Presses virtualKey in window's first "TEdit" child with the modifiers held; false when
  // there is no such child or the press could not be made.
  virtual bool pressKey(WindowHandle window, std::uint32_t virtualKey, KeyModifiers held) = 0;
  virtual bool foreground(WindowHandle window) = 0;
  virtual std::optional<WindowRect> normalRect(WindowHandle window) = 0;
  virtual bool movePointer(std::int32_t x, std::int32_t y) = 0;
  // The companion's main window: the first top-level window whose title (at most 250 bytes)
  // begins with "Tarvopc " and holds one of its five screen names; 0 when there is none.
  virtual WindowHandle findCompanion() = 0;
};

// The window of each list whose folder equals the list's HAMLOG folder, byte for byte with case;
// a later window replaces an earlier one, a list without one gets 0. A folder setting that
// names an existing folder is compared in its canonical form, as the windows' folders are.
std::array<WindowHandle, 3> matchHamlogWindows(const std::vector<HamlogWindow>& windows,
                                               const std::array<std::string, 3>& folders);

}  // namespace zeltaro::hamlog
