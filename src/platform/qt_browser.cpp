// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_browser.h"

#include <QDesktopServices>
#include <QUrl>

#include "text/codec.h"

namespace zeltaro::platform {

void QtBrowser::open(std::string_view address) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(text::utf8FromCp932(address))));
}

}  // namespace zeltaro::platform
