// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a screen reader (and a test driving a window through AT-SPI) needs of every control of a
// window: a name to find it by, and its hint read out as its description.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStringList>
#include <QTabBar>
#include <QWidget>

namespace zeltaro::testing {

// The controls under window without an accessible name, or with a hint (tooltip) but no
// accessible description; empty when every control is fine. Labels count when they are named
// controls (a folder shown in a label); the parts a combo box or a tab bar makes for itself do
// not.
inline QStringList inaccessibleControls(const QWidget& window) {
  QStringList faults;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                         qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractScrollArea*>(w) ||
                         qobject_cast<QProgressBar*>(w) || qobject_cast<QGroupBox*>(w) ||
                         (qobject_cast<QLabel*>(w) && !w->objectName().isEmpty());
    bool part = false;
    for (QWidget* p = w->parentWidget(); p && p != &window; p = p->parentWidget())
      part = part || qobject_cast<QComboBox*>(p) || qobject_cast<QTabBar*>(p);
    if (!control || part) continue;
    const QString what = w->objectName() + " (" + w->metaObject()->className() + ")";
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    // On Linux Qt names a drop-down list by its choice, so the name given counts as well.
    if (a == nullptr || a->text(QAccessible::Name).trimmed().isEmpty() ||
        w->accessibleName().trimmed().isEmpty())
      faults << what + " has no name";
    else if (!w->toolTip().isEmpty() && a->text(QAccessible::Description).isEmpty())
      faults << what + " has a hint but no description";
  }
  return faults;
}

}  // namespace zeltaro::testing
