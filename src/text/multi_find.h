// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Many words found in one pass over a text (an Aho–Corasick automaton), with the Shift-JIS rule
// of find(): an occurrence counts only when it begins at a character start, never on the trail
// byte of a double-byte character. Built once, used for many texts.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "text/sjis.h"

namespace zeltaro::text {

class MultiFind {
 public:
  MultiFind() { clear(); }

  void clear();
  // Adds a word (not empty) and returns its number; the same word again gives the same number.
  int add(std::string_view word);
  // Makes the words added so far searchable; call once after the last add().
  void build();

  std::size_t wordCount() const { return length_.size(); }
  std::size_t length(int word) const { return length_[static_cast<std::size_t>(word)]; }

  // Calls hit(word, start) for every occurrence in t that begins at a character start (start
  // 0-based), in the order of the occurrences' ends.
  template <typename Hit>
  void scan(std::string_view t, Hit&& hit) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(t.data());
    const std::size_t n = t.size();
    std::uint32_t at = 0;  // the state's row in table_
    for (std::size_t i = 0; i < n; ++i) {
      if (at == 0) {  // at the root most bytes lead nowhere: pass over them quickly
        while (i < n && stayAtRoot_[bytes[i]]) ++i;
        if (i == n) break;
      }
      const std::uint32_t v = table_[at + classOf_[bytes[i]]];
      at = v >> 1;
      if ((v & 1) == 0) continue;
      // The state ends one or more words.
      const std::size_t s = at / classes_;
      for (std::int32_t o = wordAt_[s] >= 0 ? static_cast<std::int32_t>(s) : outputLink_[s]; o != 0;
           o = outputLink_[static_cast<std::size_t>(o)]) {
        const int w = wordAt_[static_cast<std::size_t>(o)];
        const std::size_t start = i + 1 - length_[static_cast<std::size_t>(w)];
        if (isCharStart(t, 0, start)) hit(w, start);
      }
    }
  }

 private:
  // While building, a full row of 256 per state; then folded into table_, whose rows have one
  // column per byte class (bytes that occur in no word share class 0 and lead back to the
  // root), small enough to stay in the cache. An entry holds the next state's row offset
  // shifted left by one, and in its low bit whether that state ends a word.
  std::vector<std::array<std::int32_t, 256>> next_;
  std::array<std::uint16_t, 256> classOf_{};
  std::size_t classes_ = 1;
  std::vector<std::uint32_t> table_;
  std::array<bool, 256> stayAtRoot_{};  // bytes that leave the root where it is, silently
  // The word ending in a state (or -1), and the nearest state on the failure chain that ends a
  // word (or 0).
  std::vector<std::int32_t> wordAt_, outputLink_;
  std::vector<std::size_t> length_;
};

}  // namespace zeltaro::text
