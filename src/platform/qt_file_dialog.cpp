// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_file_dialog.h"

#include <QFileDialog>
#include <QString>
#include <vector>

#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::platform {

namespace {

// Split on an ASCII separator. Only for UTF-8 text, where no byte of a multi-byte character can
// be mistaken for '|' or ';' (in CP932 it could: 0x7C is also a trail byte).
std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = s.find(sep, start);
    if (end == std::string_view::npos) {
      parts.push_back(s.substr(start));
      return parts;
    }
    parts.push_back(s.substr(start, end - start));
    start = end + 1;
  }
}

std::string qtPatterns(std::string_view windowsPatterns) {
  std::string out;
  for (std::string_view p : split(windowsPatterns, ';')) {
    p = text::trimSpaces(p);
    if (p.empty()) continue;
    if (!out.empty()) out += ' ';
    out += (p == "*.*") ? std::string_view("*") : p;
  }
  return out.empty() ? "*" : out;
}

std::string_view labelOf(std::string_view description) {
  std::string_view label = text::trimSpaces(description);
  if (!label.empty() && label.back() == ')') {
    const std::size_t open = label.rfind('(');
    if (open != std::string_view::npos) label = text::trimSpaces(label.substr(0, open));
  }
  return label;
}

}  // namespace

std::string qtFilterFromWindows(std::string_view filterCp932) {
  const std::string utf8 = text::utf8FromCp932(filterCp932);
  std::vector<std::string_view> parts = split(utf8, '|');
  // The Windows form ends with "||"; empty fields carry no pair.
  while (!parts.empty() && parts.back().empty()) parts.pop_back();

  std::string out;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    const std::string patterns = qtPatterns(i + 1 < parts.size() ? parts[i + 1] : "");
    std::string_view label = labelOf(parts[i]);
    if (!out.empty()) out += ";;";
    out += label.empty() ? patterns : std::string(label);
    out += " (" + patterns + ")";
  }
  return out;
}

std::optional<std::string> QtFileDialog::openFile(std::string_view proposedName,
                                                  std::string_view filter) {
  const QString chosen = QFileDialog::getOpenFileName(
      parent_, QString(), QString::fromStdString(text::utf8FromCp932(proposedName)),
      QString::fromStdString(qtFilterFromWindows(filter)));
  if (chosen.isEmpty()) return std::nullopt;
  return text::cp932FromUtf8(chosen.toStdString());
}

std::optional<std::string> QtFileDialog::chooseFolder(std::string_view caption) {
  const QString chosen = QFileDialog::getExistingDirectory(
      parent_, QString::fromStdString(text::utf8FromCp932(caption)), QString());
  if (chosen.isEmpty()) return std::nullopt;
  return text::cp932FromUtf8(chosen.toStdString());
}

}  // namespace zeltaro::platform
