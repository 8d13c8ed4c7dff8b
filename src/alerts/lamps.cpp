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
  masterLamp.fontColor = kLampRed;
  masterLamp.cursor = Cursor::HandPoint;
  allCaption.fontColor = kLampRed;
  stackedCaption.fontColor = kLampRed;
  if (list1) lightOne(list1Lamp, list1Caption);
  if (list2) lightOne(list2Lamp, list2Caption);
  if (list3) lightOne(list3Lamp, list3Caption);
}

void Lamps::resetList1Lamp() { resetOne(list1Lamp, list1Caption); }
void Lamps::resetList2Lamp() { resetOne(list2Lamp, list2Caption); }
void Lamps::resetList3Lamp() { resetOne(list3Lamp, list3Caption); }

void Lamps::resetAllLamps() {
  masterLamp.fontColor = kLampGreen;
  masterLamp.cursor = Cursor::HandPoint;
  allCaption.fontColor = kLampGreen;
  stackedCaption.fontColor = kLampGreen;
  resetList1Lamp();
  resetList2Lamp();
  resetList3Lamp();
}

void Lamps::clearColours() {
  for (LampLabel* lamp : {&masterLamp, &list1Lamp, &list2Lamp, &list3Lamp})
    lamp->fontColor = kLampGreen;
  for (FilterCaption* caption :
       {&allCaption, &list1Caption, &list2Caption, &list3Caption, &stackedCaption}) {
    caption->fontColor = kLampGreen;
  }
}

}  // namespace zeltaro::alerts
