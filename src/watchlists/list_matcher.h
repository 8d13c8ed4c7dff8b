#pragma once
// A watch list compiled for matching: every word of every entry goes into one automaton, so a
// spot's search text is scanned once however many entries the list has. The rule is the one of
// listMatches: an entry matches when each of its words (A-Z folded, trimmed) occurs in the
// folded, trimmed search text at a character start (never on the trail byte of a double-byte
// character); a word is never empty, and an entry with a word that trims to nothing never
// matches. The automaton is rebuilt only when the list's text changes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::watchlists {

class ListMatcher {
 public:
  // True when some entry of listText finds all its words in searchText.
  bool matches(std::string_view listText, std::string_view searchText);

 private:
  void compile(std::string_view listText);
  int addWord(const std::string& word);

  std::string compiledFrom_;
  bool compiled_ = false;
  // Entries as word numbers; an entry holding -1 can never match.
  std::vector<std::vector<int>> entries_;
  std::vector<std::size_t> wordLength_;
  // The automaton: next state per byte, the word ending in a state (or -1), and the nearest
  // state on the failure chain that ends a word (or 0).
  std::vector<std::array<std::int32_t, 256>> next_;
  std::vector<std::int32_t> wordAt_, outputLink_;
  // Per search: which words were found (stamped with the search's number).
  std::vector<std::uint32_t> foundIn_;
  std::uint32_t search_ = 0;
  std::vector<bool> charStart_;
};

}  // namespace zeltaro::watchlists
