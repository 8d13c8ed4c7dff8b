// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The extraction template: one template line per value, a tag "$#01" ... "$#20" standing for
// the value between the markup before and after it.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_pump.h"
#include "settings/role_slots.h"
#include "text/first_find.h"

namespace zeltaro::spots {

using settings::kSlotCount;

// ExtractionSlot 1 ... 20 (index 0 is unused, so slot k is slots[k]).
using ExtractionSlots = std::array<std::string, kSlotCount + 1>;

// "$#01" ... "$#20".
std::string slotTag(int k);

// Which slot holds which property of a spot (kept with the settings that store them).
using settings::RoleSlots;

// A stored role slot outside 1 ... 20 is replaced by its default.
int roleSlotOrDefault(long long stored, int defaultSlot);

// The built-in 13 lines of Memo_pcre.
const std::vector<std::string>& defaultExtractionTemplate();

// The template lines cut once at their tags, for every record of a page: per non-empty line and
// per slot k (1 ... 20), the markup before and after the first "$#k" of the line, if any.
struct CompiledTemplate {
  struct Field {
    int slot;
    std::string prefix, suffix;
    // Their numbers in pieces, -1 for an empty one.
    int prefixPiece = -1, suffixPiece = -1;
  };
  struct Line {
    std::vector<Field> fields;  // in slot order
  };
  std::vector<Line> lines;
  // Every piece of markup the fields look for, found in one pass over a record.
  text::FirstFind pieces;
};
CompiledTemplate compileTemplate(const std::vector<std::string>& templateLines);

// Fills the twenty slots of one record from the template lines, then applies the "?" rule.
// The pump runs before each tag search (20 per non-empty line).
ExtractionSlots fillSlots(std::string_view record, const CompiledTemplate& compiled,
                          const RoleSlots& roles, platform::MessagePump& pump);
ExtractionSlots fillSlots(std::string_view record, const std::vector<std::string>& templateLines,
                          const RoleSlots& roles, platform::MessagePump& pump);

}  // namespace zeltaro::spots
