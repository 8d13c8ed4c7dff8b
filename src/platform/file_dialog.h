// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The open-file dialog. Names and filters are CP932 bytes; the filter is written in the
// Windows form "Wave files (*.wav)|*.wav|All files (*.*)|*.*||".

#include <optional>
#include <string>
#include <string_view>

namespace zeltaro::platform {

class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // Shows the dialog with proposedName preselected; the chosen file's full path, or nothing
  // when the user cancels.
  virtual std::optional<std::string> openFile(std::string_view proposedName,
                                              std::string_view filter) = 0;
  // The folder-browse dialog with its caption and no root: the chosen folder, or nothing when
  // the user cancels.
  virtual std::optional<std::string> chooseFolder(std::string_view caption) = 0;
};

}  // namespace zeltaro::platform
