// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/lamps.h"

#include <initializer_list>

namespace zeltaro::alerts {

namespace {

void lightOne(LampLabel& lamp, FilterCaption& caption) {
  lamp.fontColor = kLampRed;
  lamp.cursor = Cursor::HandPoint;
  caption.fontColor = kLampRed;
}

void resetOne(LampLabel& lamp, FilterCaption& caption) {
  lamp.fontColor = kLampGreen;
  lamp.cursor = Cursor::Default;
  caption.fontColor = kLampGreen;
}

}  // namespace

void Lamps::light(bool list1, bool list2, bool list3) {
  Label13.fontColor = kLampRed;
  Label13.cursor = Cursor::HandPoint;
  RadioButton1.fontColor = kLampRed;
  RadioButton5.fontColor = kLampRed;
  if (list1) lightOne(Label10, RadioButton2);
  if (list2) lightOne(Label11, RadioButton3);
  if (list3) lightOne(Label12, RadioButton4);
}

void Lamps::resetList1Lamp() { resetOne(Label10, RadioButton2); }
void Lamps::resetList2Lamp() { resetOne(Label11, RadioButton3); }
void Lamps::resetList3Lamp() { resetOne(Label12, RadioButton4); }

void Lamps::resetAllLamps() {
  Label13.fontColor = kLampGreen;
  Label13.cursor = Cursor::HandPoint;
  RadioButton1.fontColor = kLampGreen;
  RadioButton5.fontColor = kLampGreen;
  resetList1Lamp();
  resetList2Lamp();
  resetList3Lamp();
}

void Lamps::clearColours() {
  for (LampLabel* lamp : {&Label13, &Label10, &Label11, &Label12}) lamp->fontColor = kLampGreen;
  for (FilterCaption* caption :
       {&RadioButton1, &RadioButton2, &RadioButton3, &RadioButton4, &RadioButton5}) {
    caption->fontColor = kLampGreen;
  }
}

}  // namespace zeltaro::alerts
