// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A label that reports left clicks and double clicks with the keyboard modifiers held.

#include <QLabel>
#include <QMouseEvent>

namespace zeltaro::app::ui {

class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();
  void doubleClicked(Qt::KeyboardModifiers modifiers);

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) emit clicked();
    QLabel::mousePressEvent(e);
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) emit doubleClicked(e->modifiers());
    QLabel::mouseDoubleClickEvent(e);
  }
};

}  // namespace zeltaro::app::ui
