#include "platform/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "text/codec.h"

namespace zeltaro::platform {

void QtMessageBox::show(Kind kind, std::string_view caption, std::string_view text) {
  const std::string cap = text::utf8FromCp932(caption);
  const std::string msg = text::utf8FromCp932(text);
  std::fprintf(stderr, "%s: %s\n", cap.c_str(), msg.c_str());
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  const QMessageBox::Icon icon = kind == Kind::Error     ? QMessageBox::Critical
                                 : kind == Kind::Warning ? QMessageBox::Warning
                                                         : QMessageBox::Information;
  auto* box = new QMessageBox(icon, QString::fromStdString(cap), QString::fromStdString(msg),
                              QMessageBox::Ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

}  // namespace zeltaro::platform
