// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the readers of a QSO log share behind the database interface: the cursor that seek and
// skip move over one of the log's two indexes, and the stamp that tells whether a log file is
// still the one read.

#include <sys/stat.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "hamlog/hdb_format.h"

namespace zeltaro::hamlog {

class IndexCursor {
 public:
  // Chooses byCall (kCallIndex) or byCode (kCodeIndex) and stands on the first entry whose key
  // is not below key's; 0 when there is one, as the library's seek answers.
  int seek(const std::vector<IndexEntry>& byCall, const std::vector<IndexEntry>& byCode,
           std::string_view key, int index);
  // Moves count entries on in the index last sought; 0 when it stands on an entry.
  int skip(int count, int index);
  void reset() {
    index_ = nullptr;
    indexNumber_ = 0;
  }
  // The record (an entry's IndexEntry::record) under the cursor, or nullptr.
  const std::uint32_t* record() const {
    if (!index_ || position_ >= index_->size()) return nullptr;
    return &(*index_)[position_].record;
  }

 private:
  const std::vector<IndexEntry>* index_ = nullptr;
  int indexNumber_ = 0;
  std::size_t position_ = 0;
};

// A file as stat sees it: the same device, inode, size and modification time mean the same
// contents for a reader that only ever reads.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  std::int64_t mtimeNs = 0;
  bool operator==(const FileStamp&) const = default;

  static FileStamp of(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size,
            std::int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec};
  }
};

}  // namespace zeltaro::hamlog
