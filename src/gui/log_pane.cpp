// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/log_pane.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>
#include <cstdlib>
#include <iterator>

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
  // The lines a check adds are put in place by edits: no history of them is kept.
  setUndoRedoEnabled(false);
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

void LogPane::showAllLines() {
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
}

bool LogPane::showLinesAddedAtTheTop() {
  // A check puts its new lines in front of the log and the log keeps its length: the lines
  // shown are then the new ones followed by the start of those shown before. Only the new lines
  // are laid out, and the ones pushed off the end are taken away.
  const std::vector<std::string>& now = pane_.lines;
  if (shownLines_.empty() || now.empty() ||
      document()->blockCount() != static_cast<int>(shownLines_.size()) + 1)
    return false;
  std::size_t added = 0;
  for (;; ++added) {
    if (added == now.size()) return false;
    if (now[added] == shownLines_.front() && now.size() - added <= shownLines_.size() &&
        std::equal(now.begin() + static_cast<std::ptrdiff_t>(added), now.end(),
                   shownLines_.begin()))
      break;
  }
  const std::size_t kept = now.size() - added;
  std::vector<QString> top;
  QString text;
  for (std::size_t i = 0; i < added; ++i) {
    if (now[i].find_first_of("\r\n") != std::string::npos) return false;
    top.push_back(qs(now[i]));
    text += top.back();
    text += '\n';
  }
  // Two edits, not one edit block: the layout is redone over the range one change spans, and
  // one change from the top to the end would span the whole log.
  QTextCursor c(document());
  if (kept < shownLines_.size()) {
    c.setPosition(document()->findBlockByNumber(static_cast<int>(kept)).position());
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    c.removeSelectedText();
  }
  c.setPosition(0);
  c.insertText(text);
  qLines_.resize(kept);
  qLines_.insert(qLines_.begin(), std::make_move_iterator(top.begin()),
                 std::make_move_iterator(top.end()));
  shownLines_ = now;
  return true;
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
  // A hidden pane catches up when it is shown: a check's lines are laid out only in the panes
  // the operator sees (with the log aligned, one of the five).
  if (!pane_.visible) {
    pushing_ = false;
    return;
  }

  bool textChanged = false;
  if (pane_.lines != shownLines_) {
    if (!showLinesAddedAtTheTop()) showAllLines();
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
