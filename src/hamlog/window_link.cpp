// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/window_link.h"

#include <filesystem>

#include "hamlog/folder_files.h"

namespace zeltaro::hamlog {

namespace {

// The canonical form of a folder text (CP932) ending in "/", or the text itself when it names
// nothing. The file system is asked in its own spelling, so a Japanese folder name resolves too.
std::string canonicalFolder(const std::string& folder) {
  if (folder.empty()) return folder;
  std::error_code error;
  auto path = std::filesystem::canonical(folderForFs(folder), error);
  if (error) return folder;
  std::string text = folderFromFs(path.string());
  if (text.back() != '/') text += '/';
  return text;
}

}  // namespace

std::array<WindowHandle, 3> matchHamlogWindows(const std::vector<HamlogWindow>& windows,
                                               const std::array<std::string, 3>& folders) {
  std::array<WindowHandle, 3> table{};
  std::array<std::string, 3> wanted;
  for (size_t i = 0; i < 3; ++i) wanted[i] = canonicalFolder(folders[i]);
  for (const auto& window : windows) {
    std::string folder = canonicalFolder(window.folder);
    for (size_t i = 0; i < 3; ++i)
      if (!wanted[i].empty() && folder == wanted[i]) table[i] = window.handle;
  }
  return table;
}

}  // namespace zeltaro::hamlog
