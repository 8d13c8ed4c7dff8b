// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/multi_find.h"

#include <deque>

namespace zeltaro::text {

void MultiFind::clear() {
  next_.assign(1, {});
  wordAt_.assign(1, -1);
  outputLink_.assign(1, 0);
  length_.clear();
  classOf_.fill(0);
  classes_ = 1;
  table_.assign(1, 0);
  stayAtRoot_.fill(true);
}

int MultiFind::add(std::string_view word) {
  std::size_t s = 0;
  for (unsigned char c : word) {
    if (next_[s][c] == 0) {
      next_[s][c] = static_cast<std::int32_t>(next_.size());
      next_.push_back({});
      wordAt_.push_back(-1);
    }
    s = static_cast<std::size_t>(next_[s][c]);
  }
  std::int32_t& id = wordAt_[s];
  if (id < 0) {
    id = static_cast<std::int32_t>(length_.size());
    length_.push_back(word.size());
  }
  return id;
}

void MultiFind::build() {
  classOf_.fill(0);
  classes_ = 1;
  for (const auto& row : next_) {
    for (std::size_t c = 0; c < 256; ++c) {
      if (row[c] != 0 && classOf_[c] == 0) classOf_[c] = static_cast<std::uint16_t>(classes_++);
    }
  }

  // Failure links, folded into a complete transition table (breadth first).
  std::vector<std::int32_t> fail(next_.size(), 0);
  outputLink_.assign(next_.size(), 0);
  std::deque<std::int32_t> queue;
  for (std::size_t c = 0; c < 256; ++c)
    if (const std::int32_t t = next_[0][c]) queue.push_back(t);
  while (!queue.empty()) {
    const auto s = static_cast<std::size_t>(queue.front());
    queue.pop_front();
    for (std::size_t c = 0; c < 256; ++c) {
      const std::int32_t t = next_[s][c];
      const std::int32_t viaFail = next_[static_cast<std::size_t>(fail[s])][c];
      if (t == 0) {
        next_[s][c] = s == 0 ? 0 : viaFail;
        continue;
      }
      const auto ts = static_cast<std::size_t>(t);
      fail[ts] = viaFail;
      const auto f = static_cast<std::size_t>(viaFail);
      outputLink_[ts] = wordAt_[f] >= 0 ? viaFail : outputLink_[f];
      queue.push_back(t);
    }
  }

  const auto emits = [this](std::size_t st) { return wordAt_[st] >= 0 || outputLink_[st] != 0; };
  table_.assign(next_.size() * classes_, 0);
  for (std::size_t st = 0; st < next_.size(); ++st) {
    for (std::size_t c = 0; c < 256; ++c) {
      if (classOf_[c] == 0) continue;
      const auto to = static_cast<std::size_t>(next_[st][c]);
      table_[st * classes_ + classOf_[c]] =
          static_cast<std::uint32_t>(to * classes_) << 1 | (emits(to) ? 1u : 0u);
    }
  }
  for (std::size_t c = 0; c < 256; ++c) stayAtRoot_[c] = table_[classOf_[c]] == 0;
  next_.assign(1, {});  // the trie is not needed for searching
}

}  // namespace zeltaro::text
