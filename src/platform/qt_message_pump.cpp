// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_message_pump.h"

#include <QCoreApplication>

namespace zeltaro::platform {

QtMessagePump::QtMessagePump(int minIntervalMs, unsigned callsPerLook)
    : minIntervalMs_(minIntervalMs), callsPerLook_(callsPerLook == 0 ? 1 : callsPerLook) {
  since_.start();
}

void QtMessagePump::pump() {
  if (++calls_ % callsPerLook_ != 0 || since_.elapsed() < minIntervalMs_) return;
  ++turns_;
  QCoreApplication::processEvents();
  since_.restart();
}

}  // namespace zeltaro::platform
