// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>

#include "platform/event_log.h"
#include "text/codec.h"

namespace zeltaro::platform {

void QtMessageBox::show(Kind kind, std::string_view caption, std::string_view text) {
  const std::string cap = text::utf8FromCp932(caption);
  const std::string msg = text::utf8FromCp932(text);
  // The program's own prefix first, like every other line on standard error; the box's
  // caption after it where it says more than the program's name.
  // An error is a failure the operator should find later: it goes to the event log (stamped,
  // kept in memory, on standard error once).
  const bool plain =
      QString::fromStdString(cap).compare(QLatin1String("zeltaro"), Qt::CaseInsensitive) == 0;
  const std::string line = plain ? msg : cap + ": " + msg;
  if (kind == Kind::Error)
    reportEvent(line);
  else
    std::fprintf(stderr, "zeltaro: %s\n", line.c_str());
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;

  std::erase_if(open_, [](const QPointer<QMessageBox>& b) { return b.isNull(); });
  const QString title = QString::fromStdString(cap), body = QString::fromStdString(msg);
  for (const QPointer<QMessageBox>& b : open_) {
    if (b->windowTitle() == title && b->text() == body) {
      b->raise();
      return;
    }
  }
  const QMessageBox::Icon icon = kind == Kind::Error     ? QMessageBox::Critical
                                 : kind == Kind::Warning ? QMessageBox::Warning
                                                         : QMessageBox::Information;
  auto* box = new QMessageBox(icon, title, body, QMessageBox::Ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
  open_.emplace_back(box);
}

std::size_t QtMessageBox::openBoxes() const {
  return static_cast<std::size_t>(
      std::count_if(open_.begin(), open_.end(), [](const auto& b) { return !b.isNull(); }));
}

}  // namespace zeltaro::platform
