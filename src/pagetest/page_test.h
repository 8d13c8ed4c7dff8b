// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a page gives: one page cut with the separators, every record filled from the template
// and composed with the Body, as a page check would, but nothing is logged, lit, mailed or
// changed. The answer says what came out record by record and, in words, where the cut failed.
// Pure code over bytes: the windows, the command line and the web console show its answer.
// Page, separators, template, Body, lists and record texts are CP932 bytes; the problems are
// UTF-8 Japanese.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spots/extraction.h"

namespace zeltaro::pagetest {

// The four values the first-QSO question reads from a record (CP932).
struct FirstQsoKeys {
  std::string call, freq, code, mode;
};
// Whether the spot would be a first QSO for list 1 ... 3; must itself change nothing.
using FirstQsoQuestion = std::function<bool(int list, const FirstQsoKeys& keys)>;

struct PageTestInput {
  std::string page;  // the page's bytes as fetched or read
  std::string sepStart, sepEnd;
  std::vector<std::string> templateLines;
  std::string body;
  spots::RoleSlots roles;
  std::array<std::string, 3> lists;    // the three watch list texts
  std::array<bool, 3> listSearched{};  // whether list l searches this page
  FirstQsoQuestion firstQso;           // empty: no first-QSO answers
  std::size_t maxRecordsShown = 500;   // records kept in the answer (all are counted)
};

struct TestedRecord {
  std::size_t number = 0;         // 1-based, in page order
  spots::ExtractionSlots values;  // values[1] ... values[20], slot k at k
  std::string line;               // the notification line as the log would show it
  std::array<bool, 3> listed{};   // the list's words are found in the search text
  // The first-QSO answer per list; nullopt when the list does not search this page, the Body
  // has no searchable field or there is no first-QSO question.
  std::array<std::optional<bool>, 3> firstQso;
  // The lists that would flag the record (the first-QSO answer first, then the words), as a
  // page check decides.
  std::array<bool, 3> flagged{};
};

struct PageTestResult {
  std::size_t recordCount = 0;        // records cut from the page
  std::vector<TestedRecord> records;  // the first maxRecordsShown of them
  std::vector<int> slotsUsed;         // the slots the template fills, in order
  std::vector<std::string> problems;  // UTF-8, one sentence each
  double cutMs = 0;                   // cutting, filling and composing the whole page
};

PageTestResult testPage(const PageTestInput& input);

// The answer as JSON (UTF-8, the record texts converted from CP932):
// {"records": [{"slots": {"01": "...", ..., "20": "..."}, "line": "...", "lists": [1, 3]}],
//  "problems": ["..."]}; extra members (after "problems") are added as given, already JSON.
std::string toJson(const PageTestResult& result,
                   const std::vector<std::pair<std::string, std::string>>& extra = {});
// A JSON string literal of a UTF-8 text.
std::string jsonString(std::string_view utf8);

// The answer as plain UTF-8 text: one block per record (number, the used slots, the line, the
// lists), then the problems, then the count.
std::string toText(const PageTestResult& result);

}  // namespace zeltaro::pagetest
