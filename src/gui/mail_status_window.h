// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mail status window (the design's TForm3). Unlike the other windows it never becomes
// LastActiveWindow: the focus is not handed back to it after a transfer.

#include <QWidget>

#include "alerts/mail_status.h"

class QPlainTextEdit;

namespace zeltaro::app::ui {

class MailStatusWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MailStatusWindow(QWidget* parent = nullptr);

  // Shows the window with the log of the last mail; closing it marks it hidden again.
  void showStatus(alerts::MailStatusModel& status);

 protected:
  void hideEvent(QHideEvent* e) override;

 private:
  QPlainTextEdit* Memo1_;
  alerts::MailStatusModel* status_ = nullptr;
  std::vector<std::string> shown_;
};

}  // namespace zeltaro::app::ui
