// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/log_pane.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <cstdlib>

#include "binder/qt_text.h"

namespace zeltaro::app::ui {

using binder::cp;
using binder::cpMemo;
using binder::qs;
using binder::qsMemo;

QFont logFont(const views::PaneFont& font) {
  QFont f(QStringLiteral("IPAMincho"));
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  f.setPixelSize(std::max(1, std::abs(font.height)));
  return f;
}

LogPane::LogPane(views::Pane& pane, QWidget* parent) : QPlainTextEdit(parent), pane_(pane) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QPalette p = palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
  setPalette(p);
  connect(this, &QPlainTextEdit::selectionChanged, this, &LogPane::takeSelection);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &LogPane::takeSelection);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &LogPane::takeScroll);
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &LogPane::takeScroll);
}

int LogPane::positionOfByte(int byteOffset) const {
  const int last = std::max(0, document()->characterCount() - 1);
  int pos = 0;
  int rest = std::max(0, byteOffset);
  for (std::size_t i = 0; i < shownLines_.size(); ++i) {
    const int bytes = static_cast<int>(shownLines_[i].size());
    if (rest <= bytes)
      return pos + static_cast<int>(qs(shownLines_[i].substr(0, std::size_t(rest))).size());
    rest -= bytes;
    if (rest < 2) return pos + static_cast<int>(qLines_[i].size());  // inside the CR LF
    rest -= 2;
    pos += static_cast<int>(qLines_[i].size()) + 1;
  }
  return std::min(pos, last);
}

int LogPane::byteOfPosition(int position) const {
  int bytes = 0;
  int rest = position;
  for (std::size_t i = 0; i < qLines_.size(); ++i) {
    const int chars = static_cast<int>(qLines_[i].size());
    if (rest <= chars) return bytes + static_cast<int>(cp(qLines_[i].left(rest)).size());
    rest -= chars + 1;
    bytes += static_cast<int>(shownLines_[i].size()) + 2;
  }
  return bytes;
}

void LogPane::takeSelection() {
  if (pushing_) return;
  const QTextCursor c = textCursor();
  const int start = byteOfPosition(c.selectionStart());
  const int end = byteOfPosition(c.selectionEnd());
  pane_.selStart = shownSelStart_ = start;
  pane_.selLength = shownSelLength_ = end - start;
}

void LogPane::takeScroll() {
  if (pushing_) return;
  pane_.firstVisibleLine = shownLine_ = verticalScrollBar()->value();
  pane_.firstVisibleColumn = shownColumn_ = horizontalScrollBar()->value();
}

void LogPane::setBackground(const QColor& colour) {
  QPalette p = palette();
  p.setColor(QPalette::Base, colour.isValid() ? colour : QPalette().color(QPalette::Base));
  setPalette(p);
}

void LogPane::syncFromModel() {
  pushing_ = true;
  if (pane_.font != shownFont_) {
    setFont(logFont(pane_.font));
    shownFont_ = pane_.font;
  }
  const QRect r(pane_.bounds.left, pane_.bounds.top, pane_.bounds.width, pane_.bounds.height);
  if (geometry() != r) setGeometry(r);
  if (isVisibleTo(parentWidget()) != pane_.visible) setVisible(pane_.visible);

  bool textChanged = false;
  if (pane_.lines != shownLines_) {
    shownLines_ = pane_.lines;
    qLines_.clear();
    QStringList all;
    for (const std::string& l : shownLines_) {
      qLines_.push_back(qs(l));
      all.push_back(qLines_.back());
    }
    // Every line ends with a line break, as in the text box the model describes: a click below
    // the last line puts the caret on the empty line after it, which holds no spot.
    setPlainText(all.isEmpty() ? QString() : all.join('\n') + '\n');
    textChanged = true;
  }
  if (textChanged || pane_.selStart != shownSelStart_ || pane_.selLength != shownSelLength_) {
    QTextCursor c(document());
    c.setPosition(positionOfByte(pane_.selStart));
    c.setPosition(positionOfByte(pane_.selStart + pane_.selLength), QTextCursor::KeepAnchor);
    setTextCursor(c);
    shownSelStart_ = pane_.selStart;
    shownSelLength_ = pane_.selLength;
  }
  if (textChanged || pane_.firstVisibleLine != shownLine_ ||
      pane_.firstVisibleColumn != shownColumn_) {
    verticalScrollBar()->setValue(pane_.firstVisibleLine);
    horizontalScrollBar()->setValue(pane_.firstVisibleColumn);
    shownLine_ = pane_.firstVisibleLine;
    shownColumn_ = pane_.firstVisibleColumn;
  }
  pushing_ = false;
}

void LogPane::keyPressEvent(QKeyEvent* e) {
  if ((e->modifiers() & Qt::ControlModifier) && (e->key() == Qt::Key_A || e->key() == Qt::Key_C)) {
    if (onKey) onKey(e->key() == Qt::Key_A ? 'A' : 'C');
    return;
  }
  QPlainTextEdit::keyPressEvent(e);
}

void LogPane::mouseDoubleClickEvent(QMouseEvent* e) {
  QPlainTextEdit::mouseDoubleClickEvent(e);
  if (e->button() == Qt::LeftButton && onDoubleClick) onDoubleClick();
}

}  // namespace zeltaro::app::ui
