// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// HAMLOG's QSO input window of each watch list, filled from outside: the windows of the lists'
// HAMLOG folders, one field message at a time, and the finish of an entry (the rig tuned
// directly or HAMLOG's rig key pressed, then the focus and the pointer).

#include <array>
#include <string>
#include <string_view>

#include "hamlog/window_link.h"
#include "settings/station_settings.h"
#include "transfer/transfer_links.h"

namespace zeltaro::transfer {

// Field numbers of HAMLOG's input window.
enum Field : int {
  kFieldCall = 0,
  kFieldDate = 2,
  kFieldTime = 3,
  kFieldFreq = 6,
  kFieldMode = 7,
  kFieldCode = 8,
  kFieldQth = 12,
  kFieldRemarks1 = 13,
  kFieldRemarks2 = 14,
  kFieldNewEntry = 16,
  kFieldBeforeDate = 26,
  kFieldCallFirst = 998,
};

// The data word of a field message: 998 is 0xB0000, any other field n + 0x20000; while a patrol
// list window is visible without the 0x20000 bit.
std::uint32_t fieldDataWord(int field, bool patrolWindowVisible);

// The mode as a list's ModeConv pairs ("PSK=SSB,RTTY=SSB") turn it: mode + "=" found anywhere
// in the pairs gives the text after the "=" up to a space, a comma or the end.
std::string convertMode(std::string_view mode, std::string_view modeConv);

struct HamlogInputServices {
  hamlog::WindowLink* windows = nullptr;  // null: no window operations on this machine
  OwnWindows* own = nullptr;              // required
  RigSide* rig = nullptr;                 // required
};

class HamlogInput {
 public:
  // station is read live.
  HamlogInput(const settings::StationSettings& station, HamlogInputServices services)
      : station_(station), s_(services) {}

  void FindHamlogWindows();
  void SendHamlogField(int field, std::string_view text, int list);
  void FinishHamlogEntry(int list);

  // The focus step that the transfer repeats: HAMLOG's window (and with the mouse flag the
  // pointer at its centre) when no patrol list window is visible.
  void focusHamlogWindow(hamlog::WindowHandle window);
  bool patrolWindowVisible() const { return s_.own->patrolWindowVisible(); }
  hamlog::WindowLink* windows() const { return s_.windows; }

  std::array<hamlog::WindowHandle, 3> HamlogWindowTable{};
  hamlog::WindowHandle LastCopyDataResult = 0;
  hamlog::WindowHandle HamlogFocusWindow = 0;
  std::string RigFreqText, RigModeText;
  bool BandBlocked = false;

 private:
  void pressRigKey(hamlog::WindowHandle window);
  void pointerToCentre(hamlog::WindowHandle window);

  const settings::StationSettings& station_;
  HamlogInputServices s_;
};

}  // namespace zeltaro::transfer
