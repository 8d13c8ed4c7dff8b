// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/hamlog_input.h"

#include "hamlog/rig_bands.h"
#include "settings/key_table.h"
#include "text/sjis.h"

namespace zeltaro::transfer {

std::uint32_t fieldDataWord(int field, bool patrolWindowVisible) {
  std::uint32_t word =
      field == kFieldCallFirst ? 0xB0000u : static_cast<std::uint32_t>(field) + 0x20000u;
  if (patrolWindowVisible) word &= ~0x20000u;
  return word;
}

std::string convertMode(std::string_view mode, std::string_view modeConv) {
  const std::string needle = std::string(mode) + "=";
  const std::size_t found = text::find(modeConv, needle);
  if (found == 0) return std::string(mode);
  const std::size_t from = found - 1 + needle.size();
  const std::size_t to = modeConv.find_first_of(" ,", from);
  return std::string(modeConv.substr(from, to == std::string_view::npos ? to : to - from));
}

void HamlogInput::FindHamlogWindows() {
  HamlogWindowTable = {};
  if (!s_.windows) return;
  std::array<std::string, 3> folders;
  for (int n = 1; n <= 3; ++n) folders[std::size_t(n - 1)] = station_.set(n).HAMLOG;
  HamlogWindowTable = hamlog::matchHamlogWindows(s_.windows->hamlogWindows(), folders);
}

void HamlogInput::SendHamlogField(int field, std::string_view text, int list) {
  const bool listOk = list >= 1 && list <= 3;
  std::string sent(text);
  if (field == kFieldFreq) {
    RigFreqText = sent;
    BandBlocked = !listOk || hamlog::isOutsideRigBands(sent, station_.set(list).RigFreq);
  }
  if (field == kFieldMode) {
    RigModeText = sent;
    if (listOk) sent = convertMode(sent, station_.set(list).ModeConv);
  }
  if (!listOk || !s_.windows) return;
  const hamlog::WindowHandle window = HamlogWindowTable[std::size_t(list - 1)];
  if (window == 0) return;
  if (sent.size() > 255) sent.resize(255);
  LastCopyDataResult =
      s_.windows->sendField(window, fieldDataWord(field, patrolWindowVisible()), sent);
}

void HamlogInput::FinishHamlogEntry(int list) {
  const settings::SharedFirstSettings& shared = station_.shared;
  const bool direct = station_.rigDirect.Use;
  if (direct) s_.rig->tune(RigFreqText, RigModeText);
  if (LastCopyDataResult != 0 && s_.windows) {
    const hamlog::WindowHandle w = LastCopyDataResult;
    s_.windows->foreground(w);
    HamlogFocusWindow = w;
    const bool rigOn = list >= 1 && list <= 3 && station_.set(list).Rig;
    if (!direct && rigOn && !BandBlocked) pressRigKey(w);
    if (shared.FOCUS_SEL && !patrolWindowVisible() && shared.MOUSE_SEL) pointerToCentre(w);
  }
  LastCopyDataResult = 0;
  const bool patrol = patrolWindowVisible();
  if (!shared.FOCUS_SEL && !patrol) s_.own->raiseLastActive();
  if (patrol) s_.own->raiseLastActive();
}

void HamlogInput::focusHamlogWindow(hamlog::WindowHandle window) {
  if (patrolWindowVisible() || !s_.windows) return;
  s_.windows->foreground(window);
  if (station_.shared.MOUSE_SEL) pointerToCentre(window);
}

void HamlogInput::pressRigKey(hamlog::WindowHandle window) {
  const settings::SharedFirstSettings& shared = station_.shared;
  const auto& keys = settings::keyNameTable();
  const std::size_t index =
      shared.keyIndex >= 0 && std::size_t(shared.keyIndex) < keys.size() ? shared.keyIndex : 0;
  s_.windows->pressKey(window, keys[index].code,
                       {.ctrl = shared.KEY_CTRL, .shift = shared.KEY_SHIFT, .alt = shared.KEY_ALT});
}

void HamlogInput::pointerToCentre(hamlog::WindowHandle window) {
  const auto r = s_.windows->normalRect(window);
  if (!r) return;
  // Integer division truncates toward zero, as the centre is defined.
  s_.windows->movePointer((r->left + r->right) / 2, (r->top + r->bottom) / 2);
}

}  // namespace zeltaro::transfer
