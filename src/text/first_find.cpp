// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/first_find.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/sjis.h"

namespace zeltaro::text {
namespace {

// Up to four bytes at p (n of them there), the first in the lowest byte.
std::uint32_t headAt(const unsigned char* p, std::size_t n) {
  std::uint32_t h = 0;
  if (n >= 4) {
    unsigned char four[4];
    std::memcpy(four, p, 4);
    return static_cast<std::uint32_t>(four[0]) | static_cast<std::uint32_t>(four[1]) << 8 |
           static_cast<std::uint32_t>(four[2]) << 16 | static_cast<std::uint32_t>(four[3]) << 24;
  }
  for (std::size_t i = 0; i < std::min<std::size_t>(n, 4); ++i)
    h |= static_cast<std::uint32_t>(p[i]) << (8 * i);
  return h;
}

// memcmp(a, b, n) == 0 for the few bytes of a piece, without a call.
bool sameBytes(const unsigned char* a, const char* b, std::size_t n) {
  for (; n >= 8; a += 8, b += 8, n -= 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    if (x != y) return false;
  }
  for (; n > 0; ++a, ++b, --n)
    if (*a != static_cast<unsigned char>(*b)) return false;
  return true;
}

// Bucketed index lists from (key, piece) pairs: start[key] ... start[key + 1].
template <std::size_t Keys>
void fillBuckets(std::vector<std::pair<std::size_t, std::uint32_t>> pairs,
                 std::array<std::uint32_t, Keys + 1>& start, std::vector<std::uint32_t>& pieces) {
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  start.fill(0);
  pieces.clear();
  std::size_t at = 0;
  for (std::size_t key = 0; key < Keys; ++key) {
    start[key] = static_cast<std::uint32_t>(pieces.size());
    for (; at < pairs.size() && pairs[at].first == key; ++at) pieces.push_back(pairs[at].second);
  }
  start[Keys] = static_cast<std::uint32_t>(pieces.size());
}

}  // namespace

int FirstFind::add(std::string_view piece) {
  const auto same = std::find(pieces_.begin(), pieces_.end(), piece);
  if (same != pieces_.end()) return static_cast<int>(same - pieces_.begin());
  pieces_.emplace_back(piece);
  return static_cast<int>(pieces_.size() - 1);
}

void FirstFind::build() {
  head_.clear();
  mask_.clear();
  opens_.fill(false);
  std::vector<std::pair<std::size_t, std::uint32_t>> longOnes, shortOnes;
  for (std::size_t k = 0; k < pieces_.size(); ++k) {
    const std::string& p = pieces_[k];
    const auto* bytes = reinterpret_cast<const unsigned char*>(p.data());
    head_.push_back(headAt(bytes, p.size()));
    mask_.push_back(p.size() >= 4 ? 0xFFFFFFFFu : (1u << (8 * p.size())) - 1);
    opens_[bytes[0]] = true;
    if (p.size() >= 4) {
      longOnes.emplace_back(bucketOf(head_.back()), static_cast<std::uint32_t>(k));
    } else {
      shortOnes.emplace_back(bytes[0], static_cast<std::uint32_t>(k));
    }
  }
  fewOpeners_.clear();
  for (std::size_t b = 0; b < 256; ++b)
    if (opens_[b]) fewOpeners_.push_back(static_cast<unsigned char>(b));
  if (fewOpeners_.size() > 4) fewOpeners_.clear();
  fillBuckets<kBuckets>(std::move(longOnes), longStart_, longPieces_);
  fillBuckets<256>(std::move(shortOnes), shortStart_, shortPieces_);
}

std::size_t FirstFind::tryAt(const unsigned char* bytes, std::size_t n, std::size_t p,
                             std::size_t* places) const {
  std::size_t found = 0;
  const std::uint32_t head = headAt(bytes + p, n - p);
  const auto tryPiece = [&](std::uint32_t k) {
    if (places[k] != 0 || (head & mask_[k]) != head_[k]) return;
    const std::string& piece = pieces_[k];
    if (piece.size() > n - p) return;
    if (piece.size() > 4 && !sameBytes(bytes + p + 4, piece.data() + 4, piece.size() - 4)) return;
    places[k] = p + 1;
    ++found;
  };
  if (n - p >= 4) {
    const std::size_t b = bucketOf(head);
    for (std::uint32_t i = longStart_[b]; i < longStart_[b + 1]; ++i) tryPiece(longPieces_[i]);
  }
  for (std::uint32_t i = shortStart_[bytes[p]]; i < shortStart_[bytes[p] + 1u]; ++i)
    tryPiece(shortPieces_[i]);
  return found;
}

void FirstFind::firstPlaces(std::string_view t, std::size_t* places) const {
  std::fill(places, places + pieces_.size(), std::size_t{0});
  std::size_t unseen = pieces_.size();
  const auto* bytes = reinterpret_cast<const unsigned char*>(t.data());
  const std::size_t n = t.size();
  std::size_t known = 0;  // a character start
  // Looks at byte p, one that begins some piece.
  const auto visit = [&](std::size_t p) {
    if (!isCharStart(t, known, p)) {
      known = p + 1;  // p is the trail byte of a character that started at p - 1
      return;
    }
    known = p;
    unseen -= tryAt(bytes, n, p, places);
  };
  std::size_t p = 0;
#if defined(__SSE2__)
  if (!fewOpeners_.empty()) {
    __m128i openers[4];
    for (std::size_t i = 0; i < 4; ++i)
      openers[i] =
          _mm_set1_epi8(static_cast<char>(fewOpeners_[std::min(i, fewOpeners_.size() - 1)]));
    for (; p + 16 <= n && unseen > 0; p += 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + p));
      const __m128i hits = _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(block, openers[0]), _mm_cmpeq_epi8(block, openers[1])),
          _mm_or_si128(_mm_cmpeq_epi8(block, openers[2]), _mm_cmpeq_epi8(block, openers[3])));
      for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0 && unseen > 0;
           mask &= mask - 1) {
        visit(p + static_cast<std::size_t>(__builtin_ctz(mask)));
      }
    }
  }
#endif
  for (; p < n && unseen > 0; ++p)
    if (opens_[bytes[p]]) visit(p);
}

}  // namespace zeltaro::text
