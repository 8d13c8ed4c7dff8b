// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where each of a few pieces of markup first occurs in a short text, all found in one walk over
// it, with the Shift-JIS rule of find(): an occurrence counts only when it begins at a character
// start. Made for the extraction template's pieces, which are looked for in every record of a
// page: the walk stops at the bytes that begin some piece, and there the text's next four
// bytes pick the few pieces that can begin with them. (MultiFind's automaton answers the same
// question, but on markup, where nearly every byte leads somewhere, it walks slower.)

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::text {

class FirstFind {
 public:
  // Adds a piece (not empty) and returns its number; the same piece again gives the same number.
  int add(std::string_view piece);
  // Makes the pieces added so far searchable; call after the last add().
  void build();

  std::size_t count() const { return pieces_.size(); }

  // places[k] (count() of them): the 1-based place of piece k's first occurrence in t that
  // begins at a character start, as find(t, piece) gives it; 0 when there is none.
  void firstPlaces(std::string_view t, std::size_t* places) const;

 private:
  static constexpr std::size_t kBuckets = 256;
  static std::size_t bucketOf(std::uint32_t head) { return (head * 0x9E3779B1u) >> 24; }

  std::vector<std::string> pieces_;
  // A piece's first four bytes (fewer for a shorter one, the rest zero) and their mask.
  std::vector<std::uint32_t> head_, mask_;
  // The pieces of four bytes or more by the bucket of their first four bytes, and the shorter
  // ones by their first byte: [start[b], start[b + 1]) of the index lists.
  std::array<std::uint32_t, kBuckets + 1> longStart_{};
  std::vector<std::uint32_t> longPieces_;
  std::array<std::uint32_t, 257> shortStart_{};
  std::vector<std::uint32_t> shortPieces_;
  std::array<bool, 256> opens_{};  // bytes that begin some piece
  // Those bytes when they are no more than four (the usual case: "<" and a few more), for a
  // walk that looks at sixteen bytes at a time; none when there are more.
  std::vector<unsigned char> fewOpeners_;

  // Tries the pieces that can begin at p (a character start); returns how many were found.
  std::size_t tryAt(const unsigned char* bytes, std::size_t n, std::size_t p,
                    std::size_t* places) const;
};

}  // namespace zeltaro::text
