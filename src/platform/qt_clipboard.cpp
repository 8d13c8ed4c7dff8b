// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "text/codec.h"

namespace zeltaro::platform {

void QtClipboard::copy(std::string_view text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text::utf8FromCp932(text)));
}

}  // namespace zeltaro::platform
