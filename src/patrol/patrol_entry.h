// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rules over one patrol list row (an aligned log line whose character 4 is the skip mark "_" or
// "*"): its columns, whether the walk may visit it, the age limit, which window a list's lines
// go to and the flag prefix a window's transfer uses. Texts are CP932.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "settings/station_settings.h"

namespace zeltaro::patrol {

// The row trimmed and split at runs of blanks, at most 51 columns (the last one keeps the rest).
std::vector<std::string> splitColumns(std::string_view row);

// A column key (COL_FREQ ...) as a column number 1-20; none for anything else.
std::optional<int> columnNumber(std::string_view key);

// FeedTime minus `minutes`, formatted "yy/mm/ddhh:nn". The subtraction runs on the calendar, so
// any number of minutes gives a limit (a negative number counts as 0). Before the first feed
// (no date) there is no limit: empty.
std::string ageLimit(const platform::LocalDateTime& feedTime, int minutes);

// Whether the row may be checked for the walk of list or window n (1-3): it has a frequency
// column inside that list's rig bands and, with the age test on, is not older than the limit.
bool IsPatrolEligible(std::string_view row, int n, const settings::StationSettings& s,
                      const platform::LocalDateTime& feedTime);

// Whether the row's flag is for a list whose filter box is on ("1", "2", "3" in that order).
bool flagEnabled(std::string_view row, const std::array<bool, 3>& filters);

// Whether the row carries the flag of list j: character j is the digit j.
bool hasListFlag(std::string_view row, int j);

// Two rows denote the same spot when their texts from character 5 on are equal.
bool sameSpot(std::string_view a, std::string_view b);

// The window (1-3) that receives the lines of list j: the first window whose list has the same
// HAMLOG folder. The transfer of that window picks the same folder, so a folder is served by
// exactly one window.
int windowOfList(int j, const std::array<std::string, 3>& folders);

// The flags a window's transfer puts in front of a row: "1__", "_2_" or "__3" for the first list
// whose folder equals the window's folder; empty when none does.
std::string transferPrefix(std::string_view folder, const std::array<std::string, 3>& folders);

}  // namespace zeltaro::patrol
