// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A log pane widget bound to a views::Pane: read-only, no word wrap, a selection that stays
// visible without the focus. The model's lines, selection (bytes of CP932 text with CR LF
// breaks), first visible line and column, place, font and visibility are shown; the user's
// selection and scrolling go back into the pane. Ctrl+A and Ctrl+C go to the model.

#include <QPlainTextEdit>
#include <functional>
#include <string>
#include <vector>

#include "views/pane.h"

namespace zeltaro::app::ui {

class LogPane : public QPlainTextEdit {
  Q_OBJECT

 public:
  LogPane(views::Pane& pane, QWidget* parent);

  // Shows the pane's state; parts the model did not change since the last call are left as
  // the user has them.
  void syncFromModel();
  // Background colour of the pane (invalid: the palette's default).
  void setBackground(const QColor& colour);

  // Byte offset in the pane's CP932 text <-> character position in the widget.
  int positionOfByte(int byteOffset) const;
  int byteOfPosition(int position) const;

  // Ctrl+A / Ctrl+C: the key's letter.
  std::function<void(char)> onKey;
  // A double-click, after the widget has put the caret (and the selection) where it landed.
  std::function<void()> onDoubleClick;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  void showAllLines();
  // Shows the model's lines when they are the ones shown with lines added in front (the rest
  // cut off at the end) by laying out only what changed; false when they are not.
  bool showLinesAddedAtTheTop();
  void takeSelection();
  void takeScroll();

  views::Pane& pane_;
  std::vector<std::string> shownLines_;
  std::vector<QString> qLines_;
  int shownSelStart_ = -1, shownSelLength_ = -1;
  int shownLine_ = -1, shownColumn_ = -1;
  views::PaneFont shownFont_{0, 0};
  bool pushing_ = false;
};

// The fixed-pitch font of the log panes: a pixel height as the platform's font height gives it.
QFont logFont(const views::PaneFont& font);

}  // namespace zeltaro::app::ui
