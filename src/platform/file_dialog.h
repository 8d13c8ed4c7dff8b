#pragma once
// The open-file dialog. Names and filters are CP932 bytes; the filter is written in the
// Windows form "Wave files (*.wav)|*.wav|All files (*.*)|*.*||".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Answers with a preset choice and records what it was shown.
class ScriptedFileDialog final : public FileDialog {
 public:
  struct Shown {
    std::string proposedName, filter;
  };
  std::optional<std::string> openFile(std::string_view proposedName,
                                      std::string_view filter) override {
    shown.push_back({std::string(proposedName), std::string(filter)});
    return answer;
  }
  std::optional<std::string> chooseFolder(std::string_view caption) override {
    folderCaptions.emplace_back(caption);
    return folderAnswer;
  }
  std::optional<std::string> answer;  // nothing = the user cancels
  std::vector<Shown> shown;
  std::optional<std::string> folderAnswer;
  std::vector<std::string> folderCaptions;
};

}  // namespace zeltaro::platform
