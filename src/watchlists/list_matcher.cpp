// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlists/list_matcher.h"

#include <algorithm>

#include "text/sjis.h"

namespace zeltaro::watchlists {

void CompiledLists::compile(const std::vector<std::string_view>& texts) {
  entries_.clear();
  words_.clear();
  opens_.assign(texts.size(), {});
  std::vector<std::size_t> listOf;

  // The entries and their words, cut exactly as the word-by-word rule cuts them.
  for (std::size_t list = 0; list < texts.size(); ++list) {
    for (const std::string& raw : text::splitLines(texts[list])) {
      std::string rest = std::string(text::trim(raw));
      if (rest.empty()) continue;
      rest += ' ';
      std::vector<int> words;
      while (!rest.empty()) {
        const std::size_t sp = rest.find(' ');  // a space byte is never a trail byte
        const std::string word = std::string(text::trim(text::foldAZ(rest.substr(0, sp))));
        words.push_back(word.empty() ? -1 : words_.add(word));
        std::size_t next = sp;
        while (next < rest.size() && rest[next] == ' ') ++next;
        rest.erase(0, next);
      }
      entries_.push_back(std::move(words));
      listOf.push_back(list);
    }
  }

  words_.build();

  for (auto& opens : opens_) opens.assign(words_.wordCount(), {});
  for (std::size_t e = 0; e < entries_.size(); ++e) {
    const std::vector<int>& words = entries_[e];
    if (!words.empty() && words.front() >= 0) {
      opens_[listOf[e]][static_cast<std::size_t>(words.front())].push_back(e);
    }
  }
  foundIn_.assign(words_.wordCount(), 0);
  search_ = 0;
  scanned_ = false;
}

void CompiledLists::scan(std::string_view t) {
  found_.clear();
  scanned_ = !t.empty() && !entries_.empty();
  if (!scanned_) return;
  if (++search_ == 0) {  // the stamp wrapped: forget every old search
    std::fill(foundIn_.begin(), foundIn_.end(), 0);
    search_ = 1;
  }
  words_.scan(t, [this](int word, std::size_t) {
    const auto w = static_cast<std::size_t>(word);
    if (foundIn_[w] != search_) {
      foundIn_[w] = search_;
      found_.push_back(w);
    }
  });
}

bool CompiledLists::listMatches(std::size_t list) const {
  if (!scanned_) return false;
  // An entry can only match when its first word was found.
  for (std::size_t w : found_) {
    for (std::size_t e : opens_[list][w]) {
      bool all = true;
      for (int x : entries_[e]) {
        if (x < 0 || foundIn_[static_cast<std::size_t>(x)] != search_) {
          all = false;
          break;
        }
      }
      if (all) return true;
    }
  }
  return false;
}

void ListMatcher::compile(std::string_view listText) {
  compiledFrom_ = std::string(listText);
  compiled_ = true;
  lists_.compile({listText});
}

bool ListMatcher::matches(std::string_view listText, std::string_view searchText) {
  if (searchText.empty()) return false;
  const std::string folded = text::foldAZ(searchText);
  return matchesFolded(listText, text::trim(folded));
}

bool ListMatcher::matchesFolded(std::string_view listText, std::string_view t) {
  if (!compiled_ || listText != compiledFrom_) compile(listText);
  lists_.scan(t);
  return lists_.listMatches(0);
}

bool ListMatcher::matchesFoldedSameText(std::string_view listText, std::string_view t) {
  if (!compiled_) compile(listText);
  lists_.scan(t);
  return lists_.listMatches(0);
}

std::array<bool, 3> ThreeListMatcher::matchesFolded(const std::array<std::string, 3>& texts,
                                                    const std::array<bool, 3>& asked,
                                                    std::string_view folded, bool sameTexts) {
  std::array<bool, 3> found{false, false, false};
  if (!asked[0] && !asked[1] && !asked[2]) return found;
  if (!compiled_ || (!sameTexts && texts != compiledFrom_)) {
    compiledFrom_ = texts;
    compiled_ = true;
    lists_.compile({texts[0], texts[1], texts[2]});
  }
  lists_.scan(folded);
  for (std::size_t l = 0; l < 3; ++l) found[l] = asked[l] && lists_.listMatches(l);
  return found;
}

}  // namespace zeltaro::watchlists
