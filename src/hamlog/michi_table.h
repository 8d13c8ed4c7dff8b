// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// HAMLOG's table of roadside stations (Michi-no-eki), read from a list's HAMLOG folder: the
// file "道の駅.mcsv", or "michinoeki.txt" when that one is missing. The file is kept whole and
// searched, not parsed: a station code is found in the text, and the record around it gives
// the station text and the numeric code that HAMLOG's code field takes.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zeltaro::hamlog {

// HAMLOG's table of all stations is about 100 KB; a file beyond this is not one and is left
// unread (one line on stderr).
inline constexpr std::size_t kMaxMichiTableBytes = 16 * 1024 * 1024;

struct MichiEntry {
  std::string station;  // first two fields, or the code itself when it is not found
  std::string code;     // the numeric code (third field), empty when not found
};

class MichiTable {
 public:
  // Chooses the reference file in folderCp932 (a folder text ending with a separator) and
  // reads it when it is not the file read last time. No folder or no file: no data.
  void load(std::string_view folderCp932);
  void release();
  MichiEntry lookUp(std::string_view code) const;

  // The file chosen at the last load (empty: none), and whether its content could be read.
  const std::string& path() const { return path_; }
  bool loaded() const { return content_.has_value(); }

 private:
  std::string path_;
  std::optional<std::string> content_;
};

// The entry of code in a table's content (nullopt: no table), as MichiTable::lookUp gives it.
MichiEntry lookUpMichi(std::optional<std::string_view> content, std::string_view code);

// One table per watch list 1 ... 3.
class MichiTables {
 public:
  void loadAll(const std::array<std::string_view, 3>& foldersCp932);
  void releaseAll();
  // The entry of code in list's table; a list other than 1 ... 3 has none.
  MichiEntry lookUp(std::string_view code, int list) const;
  const MichiTable& table(int list) const { return tables_[static_cast<std::size_t>(list - 1)]; }

 private:
  std::array<MichiTable, 3> tables_;
};

// A roadside station's code: it holds "都-", "道-", "府-", "県-", "神奈川-", "和歌山-" or
// "鹿児島-".
bool isMichiNoEkiCode(std::string_view code);

}  // namespace zeltaro::hamlog
