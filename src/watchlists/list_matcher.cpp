// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlists/list_matcher.h"

#include "text/sjis.h"

namespace zeltaro::watchlists {

void ListMatcher::compile(std::string_view listText) {
  compiledFrom_ = std::string(listText);
  compiled_ = true;
  entries_.clear();
  words_.clear();

  // The entries and their words, cut exactly as the word-by-word rule cuts them.
  for (const std::string& raw : text::splitLines(listText)) {
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
  }

  words_.build();

  opens_.assign(words_.wordCount(), {});
  for (std::size_t e = 0; e < entries_.size(); ++e) {
    const std::vector<int>& words = entries_[e];
    if (!words.empty() && words.front() >= 0) {
      opens_[static_cast<std::size_t>(words.front())].push_back(e);
    }
  }
  foundIn_.assign(words_.wordCount(), 0);
  search_ = 0;
}

bool ListMatcher::matches(std::string_view listText, std::string_view searchText) {
  if (searchText.empty()) return false;
  const std::string folded = text::foldAZ(searchText);
  return matchesFolded(listText, text::trim(folded));
}

bool ListMatcher::matchesFolded(std::string_view listText, std::string_view t) {
  if (!compiled_ || listText != compiledFrom_) compile(listText);
  return search(t);
}

bool ListMatcher::matchesFoldedSameText(std::string_view listText, std::string_view t) {
  if (!compiled_) compile(listText);
  return search(t);
}

bool ListMatcher::search(std::string_view t) {
  if (t.empty() || entries_.empty()) return false;

  if (++search_ == 0) {  // the stamp wrapped: forget every old search
    std::fill(foundIn_.begin(), foundIn_.end(), 0);
    search_ = 1;
  }
  found_.clear();
  words_.scan(t, [this](int word, std::size_t) {
    const auto w = static_cast<std::size_t>(word);
    if (foundIn_[w] != search_) {
      foundIn_[w] = search_;
      found_.push_back(w);
    }
  });

  // An entry can only match when its first word was found.
  for (std::size_t w : found_) {
    for (std::size_t e : opens_[w]) {
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

}  // namespace zeltaro::watchlists
