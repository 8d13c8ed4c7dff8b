// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/extraction.h"

#include <cstdio>

#include "text/sjis.h"

namespace zeltaro::spots {

std::string slotTag(int k) {
  if (k < 0 || k > 99) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "$#%02d", k);
    return buf;
  }
  return {'$', '#', static_cast<char>('0' + k / 10), static_cast<char>('0' + k % 10)};
}

int roleSlotOrDefault(long long stored, int defaultSlot) {
  return stored >= 1 && stored <= kSlotCount ? static_cast<int>(stored) : defaultSlot;
}

const std::vector<std::string>& defaultExtractionTemplate() {
  static const std::vector<std::string> lines = {
      "<LineStart><!--$#01--></LineStart>",
      "<Date>20$#02</Date>",
      "<Time>$#03</Time>",
      "<CallSignTo>$#04</CallSignTo>",
      "<Freq>$#05</Freq>",
      "<Mode>$#06</Mode>",
      "<Qth>$#07</Qth>",
      "<QthName>$#08</QthName>",
      "<Distance>$#09</Distance>",
      "<Comments>$#10</Comments>",
      "<CallSignFrom>$#11</CallSignFrom>",
      "<font title='$#12'><QthFrom>",
      "<QthFrom>$#13</QthFrom>",
  };
  return lines;
}

CompiledTemplate compileTemplate(const std::vector<std::string>& templateLines) {
  CompiledTemplate c;
  const auto piece = [&c](const std::string& markup) {
    return markup.empty() ? -1 : c.pieces.add(markup);
  };
  for (const std::string& line : templateLines) {
    if (line.empty()) continue;
    CompiledTemplate::Line& l = c.lines.emplace_back();
    for (int k = 1; k <= kSlotCount; ++k) {
      const std::string tag = slotTag(k);
      const std::size_t t = text::find(line, tag);
      if (t == 0) continue;
      CompiledTemplate::Field& f = l.fields.emplace_back(
          CompiledTemplate::Field{k, line.substr(0, t - 1), line.substr(t - 1 + tag.size())});
      f.prefixPiece = piece(f.prefix);
      f.suffixPiece = piece(f.suffix);
    }
  }
  c.pieces.build();
  return c;
}

ExtractionSlots fillSlots(std::string_view record, const std::vector<std::string>& templateLines,
                          const RoleSlots& roles, platform::MessagePump& pump) {
  return fillSlots(record, compileTemplate(templateLines), roles, pump);
}

ExtractionSlots fillSlots(std::string_view record, const CompiledTemplate& compiled,
                          const RoleSlots& roles, platform::MessagePump& pump) {
  ExtractionSlots slots{};
  // Where each piece first occurs in the record (1-based, 0: nowhere), all found in one pass.
  const std::size_t pieceCount = compiled.pieces.count();
  std::array<std::size_t, 64> small;
  std::vector<std::size_t> large;
  std::size_t* first = small.data();
  if (pieceCount > small.size()) {
    large.resize(pieceCount);
    first = large.data();
  }
  compiled.pieces.firstPlaces(record, first);
  const auto placeOf = [first](int piece) {
    return piece < 0 ? std::size_t{0} : first[static_cast<std::size_t>(piece)];
  };
  for (const CompiledTemplate::Line& line : compiled.lines) {
    // One pump call per tag of the line as written, found or not.
    pump.pumpTimes(kSlotCount);
    for (const CompiledTemplate::Field& f : line.fields) {
      const std::size_t m = placeOf(f.prefixPiece);
      const std::size_t q = placeOf(f.suffixPiece);
      if (m < 1 || m >= q) continue;
      const std::size_t valueStart = m + f.prefix.size();  // 1-based
      std::string& slot = slots[static_cast<std::size_t>(f.slot)];
      if (!slot.empty()) slot += ' ';
      if (q > valueStart) slot.append(record.substr(valueStart - 1, q - valueStart));
    }
  }

  bool dated = false;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (k == roles.HTTP_DATE) {
      if (!slots[k].empty()) dated = true;
    } else if (dated && slots[k].empty() &&
               (k == roles.HTTP_TIME || k == roles.HTTP_CALL || k == roles.HTTP_FREQ ||
                k == roles.HTTP_MODE || k == roles.HTTP_CODE || k == roles.HTTP_QTH)) {
      slots[k] = "?";
    }
  }
  return slots;
}

}  // namespace zeltaro::spots
