// SPDX-License-Identifier: GPL-3.0-or-later
#include "binder/binder.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
#include <memory>

#include "binder/qt_text.h"

namespace zeltaro::binder {

void Binder::describe(QWidget* w, const ControlText& t) {
  if (!t.name.isEmpty()) {
    w->setObjectName(t.name);
    controls_[t.name] = w;
  }
  if (!t.hint.isEmpty()) {
    w->setToolTip(t.hint);
    w->setAccessibleDescription(t.hint);
  }
  w->setAccessibleName(!t.caption.isEmpty() ? t.caption : t.hint);
}

QWidget* Binder::control(const QString& name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

void Binder::run(const std::function<void()>& handler) {
  if (syncing_) return;
  handler();
  sync();
}

void Binder::sync() {
  if (syncing_) return;
  syncing_ = true;
  for (const auto& push : pushers_) push();
  syncing_ = false;
}

QLabel* Binder::label(QWidget* parent, const QRect& r, const QString& caption,
                      const QString& hint) {
  auto* l = new QLabel(caption, parent);
  l->setGeometry(r);
  describe(l, {{}, caption, hint});
  return l;
}

QCheckBox* Binder::check(QWidget* parent, const QRect& r, const ControlText& t, bool& field,
                         std::function<void()> handler) {
  auto* c = new QCheckBox(t.caption, parent);
  c->setGeometry(r);
  describe(c, t);
  connect(c, &QCheckBox::clicked, this, [this, &field, handler](bool on) {
    run([&] {
      field = on;
      if (handler) handler();
    });
  });
  onSync([c, &field] {
    if (c->isChecked() != field) c->setChecked(field);
  });
  return c;
}

QLineEdit* Binder::edit(QWidget* parent, const QRect& r, const ControlText& t, std::string& field,
                        std::function<void()> handler) {
  auto* e = new QLineEdit(parent);
  e->setGeometry(r);
  describe(e, t);
  connect(e, &QLineEdit::textEdited, this, [this, &field, handler](const QString& text) {
    run([&] {
      field = cp(text);
      if (handler) handler();
    });
  });
  // Only a text the model changed is put back, so typing keeps its caret.
  onSync([e, &field] {
    if (cp(e->text()) != field) e->setText(qs(field));
  });
  return e;
}

QPushButton* Binder::button(QWidget* parent, const QRect& r, const ControlText& t,
                            std::function<void()> handler) {
  auto* b = new QPushButton(t.caption, parent);
  b->setGeometry(r);
  describe(b, t);
  connect(b, &QPushButton::clicked, this, [this, handler] { run(handler); });
  return b;
}

QRadioButton* Binder::radio(QWidget* parent, const QRect& r, const ControlText& t,
                            const bool& field, std::function<void()> handler) {
  auto* b = new QRadioButton(t.caption, parent);
  b->setGeometry(r);
  describe(b, t);
  connect(b, &QRadioButton::clicked, this, [this, handler] { run(handler); });
  onSync([b, &field] {
    if (b->isChecked() != field) b->setChecked(field);
  });
  return b;
}

QComboBox* Binder::combo(QWidget* parent, const QRect& r, const ControlText& t,
                         const QStringList& items, int& index, std::function<void()> handler) {
  auto* c = new QComboBox(parent);
  c->setGeometry(r);
  c->addItems(items);
  describe(c, t);
  connect(c, &QComboBox::activated, this, [this, &index, handler](int i) {
    run([&] {
      index = i;
      if (handler) handler();
    });
  });
  onSync([c, &index] {
    if (c->currentIndex() != index) c->setCurrentIndex(index);
  });
  return c;
}

QPlainTextEdit* Binder::memo(QWidget* parent, const ControlText& t, std::string& field,
                             std::function<void()> onChange, std::function<void()> onExit) {
  auto* m = new QPlainTextEdit(parent);
  m->setLineWrapMode(QPlainTextEdit::NoWrap);
  describe(m, t);
  connect(m, &QPlainTextEdit::textChanged, this, [this, m, &field, onChange] {
    run([&] {
      field = cpMemo(m->toPlainText());
      if (onChange) onChange();
    });
  });
  if (onExit) {
    m->installEventFilter(this);
    onExit_[m] = std::move(onExit);
  }
  // A text the model changed (tabs turned into spaces) comes back with caret, selection and
  // scroll position where they were. The box's text is read only when the box or the field
  // changed since the text was last known to be the field's: a list of a few hundred lines
  // is not converted at every command of the console.
  struct Known {
    bool valid = false;  // the box held text when last read and has not changed since
    std::string text;
  };
  auto known = std::make_shared<Known>();
  connect(m, &QPlainTextEdit::textChanged, this, [known] { known->valid = false; });
  onSync([m, &field, known] {
    if (known->valid && known->text == field) return;
    if (cpMemo(m->toPlainText()) == field) {
      known->valid = true;
      known->text = field;
      return;
    }
    const QTextCursor old = m->textCursor();
    const int anchor = old.anchor(), position = old.position();
    const int scroll = m->verticalScrollBar()->value();
    m->setPlainText(qsMemo(field));
    QTextCursor c(m->document());
    const int last = m->document()->characterCount() - 1;
    c.setPosition(std::min(anchor, last));
    c.setPosition(std::min(position, last), QTextCursor::KeepAnchor);
    m->setTextCursor(c);
    m->verticalScrollBar()->setValue(scroll);
    known->valid = false;  // read again at the next sync: the box may not give back the same
  });
  return m;
}

bool Binder::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::FocusOut) {
    const auto it = onExit_.find(watched);
    if (it != onExit_.end()) run(it->second);
  }
  return QObject::eventFilter(watched, e);
}

QWidget* Binder::bindField(QWidget* parent, const QRect& r, const ControlText& t,
                           settings::Conv conv, const settings::FieldPtr& field,
                           std::function<void()> handler, const QStringList& items) {
  using settings::Conv;
  switch (conv) {
    case Conv::Bool:
      return check(parent, r, t, *std::get<bool*>(field), std::move(handler));
    case Conv::ComboIndex:
      return combo(parent, r, t, items, *std::get<std::int32_t*>(field), std::move(handler));
    case Conv::Text:
    case Conv::Quoted:
    case Conv::Password: {
      QLineEdit* e = edit(parent, r, t, *std::get<std::string*>(field), std::move(handler));
      if (conv == Conv::Password) e->setEchoMode(QLineEdit::Password);
      return e;
    }
    case Conv::ListText: {
      QWidget* m = memo(parent, t, *std::get<std::string*>(field), std::move(handler));
      m->setGeometry(r);
      return m;
    }
    case Conv::Int:
    case Conv::Clamped: {
      // A number in an edit box: what is typed and reads as a number is taken.
      std::int32_t& number = *std::get<std::int32_t*>(field);
      auto* e = new QLineEdit(parent);
      e->setGeometry(r);
      describe(e, t);
      connect(e, &QLineEdit::textEdited, this, [this, &number, handler](const QString& text) {
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        if (!ok) return;
        run([&] {
          number = v;
          if (handler) handler();
        });
      });
      onSync([e, &number] {
        bool ok = false;
        if (e->text().trimmed().toInt(&ok) != number || !ok) e->setText(QString::number(number));
      });
      return e;
    }
    case Conv::Template:
    case Conv::Custom:
      break;
  }
  return nullptr;
}

}  // namespace zeltaro::binder
