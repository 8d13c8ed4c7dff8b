// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_dialog/hamlog_folder.h"

#include "hamlog/folder_files.h"
#include "text/codec.h"

namespace zeltaro::settingsdialog {

std::string missingHamlogFiles(const std::string& folderFs) {
  struct File {
    const char* name;  // as looked for
    const char* line;  // as the message names it
  };
  static constexpr File kFiles[] = {{"hamlog.hdb", "\n       Hamlog.hdb"},
                                    {"hamlog.mst", "\n       Hamlog.mst"},
                                    {"hamlog50.dll", "\n       Hamlog50.dll"}};
  std::string lines;
  for (const File& f : kFiles)
    if (folderFs.empty() || hamlog::findFileNoCase(folderFs, f.name).empty()) lines += f.line;
  if (lines.empty()) return {};
  return text::sj("以下のファイルが不足しています     \n") + lines;
}

}  // namespace zeltaro::settingsdialog
