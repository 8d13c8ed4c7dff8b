// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CP932 <-> QString at the window boundary: the model holds CP932 bytes, the widgets Unicode.

#include <QString>
#include <string>

#include "text/codec.h"

namespace zeltaro::binder {

inline QString qs(const std::string& cp932) {
  return QString::fromStdString(text::utf8FromCp932(cp932));
}

inline std::string cp(const QString& s) { return text::cp932FromUtf8(s.toStdString()); }

// A memo's text: the model keeps CR LF line breaks, the widget LF.
inline QString qsMemo(const std::string& cp932) { return qs(cp932).replace("\r\n", "\n"); }
inline std::string cpMemo(const QString& s) { return cp(QString(s).replace("\n", "\r\n")); }

}  // namespace zeltaro::binder
