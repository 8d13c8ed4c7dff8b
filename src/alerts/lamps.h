// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four new-arrival lamps and the captions of the five log filter buttons they colour.
// Red means "unseen new lines"; the operator turns a lamp green again by clicking it.

namespace zeltaro::alerts {

struct Rgb {
  int r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kLampGreen{0, 128, 0};
inline constexpr Rgb kLampRed{255, 0, 0};

enum class Cursor { Default, HandPoint };

struct LampLabel {
  Rgb fontColor = kLampGreen;
  Cursor cursor = Cursor::Default;
};

struct FilterCaption {
  Rgb fontColor = kLampGreen;
};

class Lamps {
 public:
  LampLabel masterLamp;  // Label13: any new line
  LampLabel list1Lamp;   // Label10: watch list 1
  LampLabel list2Lamp;   // Label11: watch list 2
  LampLabel list3Lamp;   // Label12: watch list 3

  // The filter buttons' captions.
  FilterCaption allCaption;      // RadioButton1 "All", with the master lamp
  FilterCaption list1Caption;    // RadioButton2 "1", with list 1's lamp
  FilterCaption list2Caption;    // RadioButton3 "2", with list 2's lamp
  FilterCaption list3Caption;    // RadioButton4 "3", with list 3's lamp
  FilterCaption stackedCaption;  // RadioButton5 "123", with the master lamp

  // One new line that matched the given lists.
  void light(bool list1, bool list2, bool list3);

  void resetList1Lamp();  // Label10Click
  void resetList2Lamp();  // Label11Click
  void resetList3Lamp();  // Label12Click
  // Resets all four lamps. The master lamp itself keeps the hand-point cursor, as it always has.
  void resetAllLamps();  // Label13Click

  // The log's "CLR": every lamp and caption green; cursors stay as they are.
  void clearColours();
};

}  // namespace zeltaro::alerts
