#include "watchlists/list_matcher.h"

#include <deque>

#include "text/sjis.h"

namespace zeltaro::watchlists {

int ListMatcher::addWord(const std::string& word) {
  std::int32_t s = 0;
  for (unsigned char c : word) {
    if (next_[static_cast<std::size_t>(s)][c] == 0) {
      next_[static_cast<std::size_t>(s)][c] = static_cast<std::int32_t>(next_.size());
      next_.push_back({});
      wordAt_.push_back(-1);
    }
    s = next_[static_cast<std::size_t>(s)][c];
  }
  std::int32_t& id = wordAt_[static_cast<std::size_t>(s)];
  if (id < 0) {
    id = static_cast<std::int32_t>(wordLength_.size());
    wordLength_.push_back(word.size());
  }
  return id;
}

void ListMatcher::compile(std::string_view listText) {
  compiledFrom_ = std::string(listText);
  compiled_ = true;
  entries_.clear();
  wordLength_.clear();
  next_.assign(1, {});
  wordAt_.assign(1, -1);

  // The entries and their words, cut exactly as the word-by-word rule cuts them.
  for (const std::string& raw : text::splitLines(listText)) {
    std::string rest = std::string(text::trim(raw));
    if (rest.empty()) continue;
    rest += ' ';
    std::vector<int> words;
    while (!rest.empty()) {
      const std::size_t sp = rest.find(' ');  // a space byte is never a trail byte
      const std::string word = std::string(text::trim(text::foldAZ(rest.substr(0, sp))));
      words.push_back(word.empty() ? -1 : addWord(word));
      std::size_t next = sp;
      while (next < rest.size() && rest[next] == ' ') ++next;
      rest.erase(0, next);
    }
    entries_.push_back(std::move(words));
  }

  // Failure links, folded into a complete transition table (breadth first).
  std::vector<std::int32_t> fail(next_.size(), 0);
  outputLink_.assign(next_.size(), 0);
  std::deque<std::int32_t> queue;
  for (int c = 0; c < 256; ++c)
    if (const std::int32_t t = next_[0][static_cast<std::size_t>(c)]) queue.push_back(t);
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
  foundIn_.assign(wordLength_.size(), 0);
  search_ = 0;
}

bool ListMatcher::matches(std::string_view listText, std::string_view searchText) {
  if (!compiled_ || listText != compiledFrom_) compile(listText);
  if (searchText.empty() || entries_.empty()) return false;
  const std::string folded = text::foldAZ(searchText);
  const std::string_view t = text::trim(folded);

  // Character starts of the text, as the Shift-JIS find walks it.
  charStart_.assign(t.size(), false);
  for (std::size_t i = 0; i < t.size(); i += text::charLength(t, i)) charStart_[i] = true;

  if (++search_ == 0) {  // the stamp wrapped: forget every old search
    std::fill(foundIn_.begin(), foundIn_.end(), 0);
    search_ = 1;
  }
  std::int32_t s = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    s = next_[static_cast<std::size_t>(s)][static_cast<unsigned char>(t[i])];
    for (std::int32_t o = wordAt_[static_cast<std::size_t>(s)] >= 0
                              ? s
                              : outputLink_[static_cast<std::size_t>(s)];
         o != 0; o = outputLink_[static_cast<std::size_t>(o)]) {
      const auto w = static_cast<std::size_t>(wordAt_[static_cast<std::size_t>(o)]);
      if (charStart_[i + 1 - wordLength_[w]]) foundIn_[w] = search_;
    }
  }

  for (const std::vector<int>& entry : entries_) {
    bool all = true;
    for (int w : entry)
      if (w < 0 || foundIn_[static_cast<std::size_t>(w)] != search_) {
        all = false;
        break;
      }
    if (all) return true;
  }
  return false;
}

}  // namespace zeltaro::watchlists
