// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/index_cursor.h"

#include "hamlog/hamlog_database.h"

namespace zeltaro::hamlog {

int IndexCursor::seek(const std::vector<IndexEntry>& byCall, const std::vector<IndexEntry>& byCode,
                      std::string_view key, int index) {
  index_ = nullptr;
  if (index == kCallIndex)
    index_ = &byCall;
  else if (index == kCodeIndex)
    index_ = &byCode;
  else
    return 1;
  indexNumber_ = index;
  position_ = lowerBound(*index_, indexKey(key));
  return position_ < index_->size() ? 0 : 1;
}

int IndexCursor::skip(int count, int index) {
  if (!index_ || index != indexNumber_ || position_ >= index_->size()) return 1;
  const long long to = static_cast<long long>(position_) + count;
  if (to < 0 || to >= static_cast<long long>(index_->size())) {
    position_ = index_->size();
    return 1;
  }
  position_ = static_cast<std::size_t>(to);
  return 0;
}

}  // namespace zeltaro::hamlog
