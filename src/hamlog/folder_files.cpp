// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/folder_files.h"

#include <filesystem>
#include <system_error>

#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::hamlog {

std::string folderForFs(std::string_view folderCp932) {
  const std::string utf8 = text::utf8FromCp932(folderCp932);
  return text::cp932FromUtf8(utf8) == folderCp932 ? utf8 : std::string(folderCp932);
}

std::string folderFromFs(std::string_view fsPath) {
  const std::string cp = text::cp932FromUtf8(fsPath);
  return text::utf8FromCp932(cp) == fsPath ? cp : std::string(fsPath);
}

std::string findFileNoCase(const std::string& folderFs, std::string_view nameCp932) {
  namespace fs = std::filesystem;
  const std::string utf8 = text::utf8FromCp932(nameCp932);
  const std::string foldedUtf8 = text::foldAZ(utf8);
  const std::string foldedCp932 = text::foldAZ(nameCp932);
  const fs::path folder = folderFs.empty() ? fs::path(".") : fs::path(folderFs);

  std::error_code ec;
  std::string best;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const bool exact = name == utf8 || name == nameCp932;
    if (!exact) {
      const std::string folded = text::foldAZ(name);
      if (folded != foldedUtf8 && folded != foldedCp932) continue;
    }
    std::error_code typeError;
    if (!fs::is_regular_file(it->path(), typeError)) continue;
    const std::string path = (folder / name).string();
    if (exact) return path;
    if (best.empty() || path < best) best = path;
  }
  return best;
}

}  // namespace zeltaro::hamlog
