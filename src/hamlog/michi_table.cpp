// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/michi_table.h"

#include <cstdio>

#include "hamlog/folder_files.h"
#include "platform/event_log.h"
#include "platform/regular_file.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::hamlog {

namespace {

constexpr std::size_t kFieldMax = 255;

std::string chooseFile(std::string_view folderCp932) {
  const std::string folder = folderForFs(folderCp932);
  std::string path = findFileNoCase(folder, text::sj("道の駅.mcsv"));
  if (path.empty()) path = findFileNoCase(folder, "michinoeki.txt");
  return path;
}

}  // namespace

void MichiTable::load(std::string_view folderCp932) {
  const std::string chosen = folderCp932.empty() ? std::string() : chooseFile(folderCp932);
  if (chosen.empty()) {
    release();
    return;
  }
  if (chosen == path_) return;
  // A file that cannot be read leaves the list without data until the chosen path changes.
  path_ = chosen;
  content_.reset();
  const platform::RegularFile file(chosen);
  if (!file.isOpen()) return;
  if (file.size() > kMaxMichiTableBytes) {
    platform::reportEvent(chosen + " holds " + std::to_string(file.size()) +
                          " bytes, more than a roadside-station table (" +
                          std::to_string(kMaxMichiTableBytes) + " at most): not read");
    return;
  }
  std::string bytes;
  if (file.readAt(0, static_cast<std::size_t>(file.size()), bytes)) content_ = std::move(bytes);
}

void MichiTable::release() {
  path_.clear();
  content_.reset();
}

MichiEntry MichiTable::lookUp(std::string_view code) const {
  if (!content_) return lookUpMichi(std::nullopt, code);
  return lookUpMichi(std::string_view(*content_), code);
}

MichiEntry lookUpMichi(std::optional<std::string_view> content, std::string_view code) {
  std::string fields[3];
  const std::string_view trimmed = text::trimSpaces(code);
  if (!trimmed.empty() && content) {
    const std::string_view c = *content;
    const std::size_t found = text::find(c, trimmed);
    // The record begins four bytes before the code; a code with fewer bytes in front of it
    // counts as not found.
    if (found >= 5) {
      std::size_t p = found - 1 - 4;
      bool ended = false;
      for (std::string& f : fields) {
        while (!ended && f.size() < kFieldMax) {
          const char b = p < c.size() ? c[p] : '\0';
          if (b == '\0' || b == '\r' || b == '\n') {
            ended = true;
          } else if (b == ',') {
            ++p;
            break;
          } else {
            f += b;
            ++p;
          }
        }
        if (ended) break;
      }
    }
  }
  MichiEntry e;
  e.station = fields[0].empty() ? std::string(text::trim(code))
                                : std::string(text::trim(fields[0] + "," + fields[1]));
  e.code = std::string(text::trim(fields[2]));
  return e;
}

void MichiTables::loadAll(const std::array<std::string_view, 3>& foldersCp932) {
  for (std::size_t i = 0; i < tables_.size(); ++i) tables_[i].load(foldersCp932[i]);
}

void MichiTables::releaseAll() {
  for (MichiTable& t : tables_) t.release();
}

MichiEntry MichiTables::lookUp(std::string_view code, int list) const {
  if (list < 1 || list > 3) return MichiEntry{std::string(text::trim(code)), {}};
  return tables_[static_cast<std::size_t>(list - 1)].lookUp(code);
}

bool isMichiNoEkiCode(std::string_view code) {
  static const std::string kMarks[] = {text::sj("都-"),    text::sj("道-"),     text::sj("府-"),
                                       text::sj("県-"),    text::sj("神奈川-"), text::sj("和歌山-"),
                                       text::sj("鹿児島-")};
  for (const std::string& m : kMarks)
    if (text::find(code, m) != 0) return true;
  return false;
}

}  // namespace zeltaro::hamlog
