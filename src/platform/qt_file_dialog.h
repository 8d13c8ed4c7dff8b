// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file-open dialog of the desktop.

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_dialog.h"

class QWidget;

namespace zeltaro::platform {

// The Windows filter form (CP932) as Qt writes it, in UTF-8: "Wave files (*.wav);;All files (*)".
// Each pair's description loses a trailing "(...)" and gets the patterns in Qt's form instead
// ("*.*" means every file there, "*" here; ";" between patterns becomes " ").
std::string qtFilterFromWindows(std::string_view filterCp932);

class QtFileDialog final : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* parent = nullptr) : parent_(parent) {}
  std::optional<std::string> openFile(std::string_view proposedName,
                                      std::string_view filter) override;
  std::optional<std::string> chooseFolder(std::string_view caption) override;

 private:
  QWidget* parent_;
};

}  // namespace zeltaro::platform
