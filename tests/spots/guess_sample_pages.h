// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sample pages of tests/spots/guess_pages (written by make_pages.py) and how well a
// guessed template does on them: each page is cut and filled by the program's own functions
// and every spot's call and frequency are looked up in what came out.

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/message_pump.h"
#include "spots/extraction.h"
#include "spots/page_text.h"
#include "spots/template_guess.h"
#include "text/sjis.h"

namespace zeltaro::spots::samples {

struct SamplePage {
  std::string shape, file;
  GuessExample example;
  std::string bytes;
  std::vector<std::pair<std::string, std::string>> spots;  // call, frequency as shown
};

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> out;
  std::size_t from = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', from);
    out.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
    if (tab == std::string::npos) return out;
    from = tab + 1;
  }
}

// The pages listed in dir/pages.tsv, with their bytes and expected spots.
inline std::vector<SamplePage> loadSamplePages(const std::string& dir) {
  std::vector<SamplePage> pages;
  std::ifstream list(dir + "/pages.tsv");
  std::string line;
  while (std::getline(list, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto cols = splitTabs(line);
    if (cols.size() < 4) continue;
    SamplePage p{cols[0], cols[1], {cols[2], cols[3]}, readBytes(dir + "/" + cols[1]), {}};
    std::ifstream expected(dir + "/" + cols[1] + ".expected");
    while (std::getline(expected, line)) {
      const auto e = splitTabs(line);
      if (e.size() == 2) p.spots.emplace_back(e[0], e[1]);
    }
    pages.push_back(std::move(p));
  }
  return pages;
}

struct Score {
  std::size_t spots = 0, right = 0;  // spots on the page; of them, call and frequency right
  double share() const { return spots ? static_cast<double>(right) / spots : 0; }
};

// Cuts the page with the guess's separators, fills every record with its template, and counts
// the spots whose call comes out with the frequency the page shows. Blanks around a value do
// not count against it, and an empty frequency may come out as the "?" mark.
inline Score scoreGuess(const std::string& page, const TemplateGuess& g,
                        const std::vector<std::pair<std::string, std::string>>& spots) {
  const CutPage cut = cutRecords(decodeEntities(page), g.sepStart, g.sepEnd);
  const CompiledTemplate compiled = compileTemplate(g.templateLines);
  platform::NullMessagePump pump;
  std::map<std::string, std::string> found;  // call -> frequency, the first record of a call
  for (const std::string& r : cut.Memo2) {
    const ExtractionSlots s = fillSlots(r, compiled, RoleSlots{}, pump);
    found.emplace(std::string(text::trim(s[4])), std::string(text::trim(s[5])));
  }
  Score score;
  for (const auto& [call, freq] : spots) {
    ++score.spots;
    const auto f = found.find(call);
    if (f == found.end()) continue;
    if (f->second == freq || (freq.empty() && f->second == "?")) ++score.right;
  }
  return score;
}

}  // namespace zeltaro::spots::samples
