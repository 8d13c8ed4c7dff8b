// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stand-ins for the platform's dialogs and outputs: each records what the program asked of it,
// byte for byte, and answers as the test scripted it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/browser.h"
#include "platform/clipboard.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/sound.h"

namespace zeltaro::platform {

// Records what would have been shown.
class RecordingMessageBox final : public MessageBox {
 public:
  struct Shown {
    Kind kind;
    std::string caption, text;
  };
  void show(Kind kind, std::string_view caption, std::string_view text) override {
    shown.push_back({kind, std::string(caption), std::string(text)});
  }
  std::vector<Shown> shown;
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

// Records the names it was asked to play.
class RecordingSoundPlayer final : public SoundPlayer {
 public:
  void play(std::string_view fileCp932) override { played.emplace_back(fileCp932); }
  std::vector<std::string> played;
};

class RecordingBrowser final : public Browser {
 public:
  void open(std::string_view address) override { opened.emplace_back(address); }
  std::vector<std::string> opened;
};

class RecordingClipboard final : public Clipboard {
 public:
  void copy(std::string_view text) override { copied.emplace_back(text); }
  std::vector<std::string> copied;
};

}  // namespace zeltaro::platform
