// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/window_role.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace zeltaro::app::ui {

namespace {

QAccessibleInterface* widgetWindow(const QString& className, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget || !widget->isWindow() || widget->windowType() != Qt::Window) return nullptr;
  // Asked once per class up the chain, the object's own class first: answer there, and only
  // for a class made directly of QWidget; dialogs, main windows, labels and the rest keep the
  // interfaces Qt gives them.
  const QMetaObject* meta = widget->metaObject();
  if (className != QLatin1String(meta->className()) ||
      meta->superClass() != &QWidget::staticMetaObject)
    return nullptr;
  // The name is the window's caption, as for any window without an accessible name of its own.
  return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void announceWidgetWindowsAsWindows() {
  static const bool installed = [] {
    QAccessible::installFactory(widgetWindow);
    return true;
  }();
  (void)installed;
}

}  // namespace zeltaro::app::ui
