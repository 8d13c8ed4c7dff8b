// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>

namespace zeltaro::platform {
namespace {

int visibleMessageBoxes() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<QMessageBox*>(w) && w->isVisible()) ++n;
  return n;
}

// A failure repeated at every patrol cycle shows one box, not one per cycle; a different
// message gets its own, and a closed box can come back.
TEST(QtMessageBox, RepeatedMessageKeepsOneBoxOpen) {
  QtMessageBox boxes;
  for (int i = 0; i < 100; ++i)
    boxes.show(MessageBox::Kind::Error, "Zeltaro", "mail server unreachable");
  EXPECT_EQ(boxes.openBoxes(), 1u);
  EXPECT_EQ(visibleMessageBoxes(), 1);

  boxes.show(MessageBox::Kind::Error, "Zeltaro", "another failure");
  EXPECT_EQ(boxes.openBoxes(), 2u);

  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<QMessageBox*>(w)) w->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(boxes.openBoxes(), 0u);
  boxes.show(MessageBox::Kind::Error, "Zeltaro", "mail server unreachable");
  EXPECT_EQ(boxes.openBoxes(), 1u);
}

}  // namespace
}  // namespace zeltaro::platform
