// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mail_status_window.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "binder/qt_text.h"
#include "gui/window_role.h"

namespace zeltaro::app::ui {

using binder::cp;
using binder::cpMemo;
using binder::qs;
using binder::qsMemo;

MailStatusWindow::MailStatusWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), Memo1_(new QPlainTextEdit(this)) {
  announceWidgetWindowsAsWindows();
  setWindowTitle(QString::fromUtf8("Zeltaro  メール送信ステータス"));
  Memo1_->setObjectName(QStringLiteral("Memo1"));
  Memo1_->setAccessibleName(QString::fromUtf8("メール送信ステータス"));
  Memo1_->setReadOnly(true);
  Memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Memo1_);
  resize(520, 360);
}

void MailStatusWindow::showStatus(alerts::MailStatusModel& status) {
  status_ = &status;
  if (status.Memo1 != shown_) {
    shown_ = status.Memo1;
    QStringList lines;
    for (const std::string& l : shown_) lines.push_back(qs(l));
    Memo1_->setPlainText(lines.join('\n'));
  }
  if (!isVisible()) show();
}

void MailStatusWindow::hideEvent(QHideEvent* e) {
  if (status_) status_->Visible = false;
  QWidget::hideEvent(e);
}

}  // namespace zeltaro::app::ui
