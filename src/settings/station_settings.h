// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings of the HAMLOG side that no main-window control holds: the three first-QSO
// condition sets, the shared transfer and patrol-list options, companion forwarding, direct rig
// control and the three transfer patrol list windows. Each struct is one section of the settings
// file (the extraction role slots HTTP_DATE ... HTTP_RMKS of [First] stay with the extraction,
// settings::RoleSlots). Fields are named after their keys; the initialisers are the built-in
// defaults a first start without a settings file runs with. Texts are CP932 bytes.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace zeltaro::settings {

// [First_1] ... [First_3]: the condition set of watch list n and its transfer options.
struct FirstQsoConditionSet {
  bool Use = false;  // stations not yet worked count as hits of list n
  bool Any = false;  // look up the code only, not the call sign
  bool Num = false;  // restrict the search to the record range Num_L ... Num_H
  std::string Num_L = "1";
  std::string Num_H = "9999999999";
  bool Band = false;             // a record counts only on the spot's band
  bool Mode = false;             // ... only in the spot's mode
  bool Code = false;             // ... only with the spot's code
  bool Subj = false;             // append Text to the mail subject when the set hits
  std::string Text;              // subject suffix, stored quoted so its leading blank survives
  bool Trans = true;             // spots of list n may be transferred to HAMLOG
  bool Rig = true;               // a transfer also sets the rig
  std::int32_t RigFreq = 32767;  // band bits 0 (135 kHz) ... 14 (all other frequencies)
  std::string ModeConv = "PSK=SSB,RTTY=SSB,SSTV=SSB";
  bool M_SSB = true, M_CW = true, M_FM = true, M_AM = true, M_PSK = true, M_RTTY = true,
       M_OTHERS = true;       // modes that take part in the check
  std::string HAMLOG;         // HAMLOGn: the HAMLOG folder of list n, ending with a separator
  std::int32_t Interval = 2;  // patrol window n's step: item index, seconds = value + 1
};

// Set n (1, 2, 3) as a first start has it: the defaults above with the suffix " 1'st(A)",
// " 1'st(B)" or " 1'st(C)".
FirstQsoConditionSet defaultConditionSet(int n);

// [First]: what the three lists share (besides the role slots).
struct SharedFirstSettings {
  std::int32_t RS_SEL = 2;    // Michi-no-eki match target: 0 Remarks1, 1 Remarks2, 2 both
  std::int32_t RMKS_SEL = 0;  // comment goes to: 0 nowhere, 1 Remarks1, otherwise Remarks2
  bool KEY_CTRL = true, KEY_SHIFT = false, KEY_ALT = false;
  std::string KEY_DATA = "HOME";  // name of HAMLOG's rig-frequency key
  int keyIndex = 0;               // its entry in keyNameTable()
  std::int32_t TZ = 9;            // kept for the file only; nothing depends on it
  std::string COL_DATE = "2", COL_TIME = "3", COL_CALL = "4", COL_FREQ = "5", COL_MODE = "6",
              COL_CODE = "7", COL_QTH = "8", COL_RMKS = "10";
  bool FOCUS_SEL = true;  // after a transfer HAMLOG or the companion gets the focus
  // The mouse pointer follows the focus. It has a key of its own: stored under FOCUS_SEL
  // too, one of the two flags would be lost at every save. Files without the key give it the
  // value of FOCUS_SEL.
  bool MOUSE_SEL = true;
  std::int32_t NEW_STNS = 10;  // newest log lines the "new" feed hands to the patrol lists
  std::int32_t MICHI_WR = 0;   // station text goes to: 1 Remarks1, 2 Remarks2, else nowhere
  bool MICHI_FUKA = false;     // "道の駅 " in front of a transferred station text
  bool TIMEOVER_CHK = true;    // older spots stay out of the patrol walk
  std::int32_t TIMEOVER_MIN = 180;
};

// [Tarvopc]: forwarding of transfers to the companion program over UDP.
struct TarvopcSettings {
  std::string IP = "127.0.0.1";
  std::string PORT = "10001";
  bool CALL = false, CODE = false, QTH = false;
  bool CLEAR = false;  // "CW以外クリア"
};

// The rig families Maker indexes (as the dialog lists them), and the line speeds Bps indexes.
// The sixth family shares the rig through Hamlib's daemon.
inline constexpr std::array<const char*, 6> kRigMakerNames = {"ICOM",   "YAESU1",   "YAESU2",
                                                              "YAESU3", "KENWOOD1", "rigctld"};
inline constexpr std::array<std::int32_t, 4> kRigSpeeds = {4800, 9600, 19200, 38400};

// [RigDirect]: direct rig control over a serial port.
struct RigDirectSettings {
  bool Use = false;
  std::int32_t Maker = 0;    // an index of kRigMakerNames
  std::int32_t Com = 0;      // 0 is COM1 ... 29 is COM30
  std::int32_t Bps = 1;      // an index of kRigSpeeds
  std::int32_t RigID = 110;  // CI-V address of the rig (0x6E)
  std::int32_t PcID = 80;    // CI-V address of the controller (0x50)
  bool RigTarvopc = false;   // control the rig through the companion program instead
  // The serial device the link opens (for example /dev/ttyUSB0). Empty: /dev/ttyS<Com>, the
  // device that COM<Com + 1> names under Wine. Com keeps its meaning for the file.
  std::string Device;
  // Maker 5: a rigctld that shares the rig with other programs.
  std::string RigctldHost = "127.0.0.1";
  std::int32_t RigctldPort = 4532;
};

// Numbers a hand-edited file may hold outside what the settings dialog offers: the file keeps
// them as written (a save writes them back unchanged), and the program uses them clamped to the
// dialog's range. A Maker outside the list names no rig family: nothing is sent, as for any
// family the rig formats do not handle.
// A negative Com is the exception: it names no port at all ("COM0"), so it must fail to open
// like a missing port rather than reach the first one, where another device may sit.
inline std::int32_t usedCom(const RigDirectSettings& r) { return std::min(r.Com, 29); }
inline std::int32_t usedRigctldPort(const RigDirectSettings& r) {
  return std::clamp(r.RigctldPort, 1, 65535);
}
// The patrol window's interval list has 300 items.
inline std::int32_t usedInterval(std::int32_t interval) { return std::clamp(interval, 0, 299); }
// The age test subtracts from a time of day: 0 ... 1439 minutes.
inline constexpr std::int32_t kMaxTimeoverMin = 24 * 60 - 1;
inline std::int32_t usedTimeoverMin(std::int32_t minutes) {
  return std::clamp(minutes, 0, kMaxTimeoverMin);
}

// [Pilot_1] ... [Pilot_3]: options of transfer patrol list window n.
struct PilotSettings {
  bool StayTopOn = false;
  bool AutoSet = false;
  bool Sel1 = true, Sel2 = true, Sel3 = true;  // walk entries of watch list 1, 2, 3
};

// Transn_Left ... Transn_Width of [Window]: patrol list window n's position and size.
struct WindowGeometry {
  std::int32_t Left = 0, Top = 0, Height = 0, Width = 0;
};

// [Bridge]: the Windows side (HAMLOG's windows, the companion's window) under Wine.
struct BridgeSettings {
  std::string WinePrefix;  // empty: $WINEPREFIX, or ~/.wine
  // Per list: its first-QSO checks call HAMLOG's own hamlog50.dll in the bridge instead of
  // reading HAMLOG's QSO files directly.
  std::array<bool, 3> HamlogDll{};
};

// [Adif]: per list, an ADIF log (any logger's) that its first-QSO checks read instead of
// HAMLOG's. Empty: the list asks HAMLOG as before.
struct AdifSettings {
  std::array<std::string, 3> File;  // CP932, as the file holds it; a file-system path
  std::array<std::string, 3> CodeField{"CNTY", "CNTY", "CNTY"};  // the field with the code
};

struct StationSettings {
  std::array<FirstQsoConditionSet, 3> first{defaultConditionSet(1), defaultConditionSet(2),
                                            defaultConditionSet(3)};
  SharedFirstSettings shared;
  TarvopcSettings tarvopc;
  RigDirectSettings rigDirect;
  std::array<PilotSettings, 3> pilot;
  std::array<WindowGeometry, 3> trans;
  BridgeSettings bridge;
  AdifSettings adif;

  // Index 0 ... 2 for list or window n = 1 ... 3.
  FirstQsoConditionSet& set(int n) { return first[static_cast<std::size_t>(n - 1)]; }
  const FirstQsoConditionSet& set(int n) const { return first[static_cast<std::size_t>(n - 1)]; }
};

// The settings file of the executable at exePath: its path with the extension replaced by
// ".ini", or ".ini" appended when the file name has none ("/opt/zeltaro/zeltaro" gives
// "/opt/zeltaro/zeltaro.ini").
std::string settingsPathFor(const std::string& exePath);

}  // namespace zeltaro::settings
