#include "spots/extraction.h"

#include <cstdio>

#include "text/sjis.h"

namespace zeltaro::spots {

std::string slotTag(int k) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "$#%02d", k);
  return buf;
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

ExtractionSlots fillSlots(std::string_view record, const std::vector<std::string>& templateLines,
                          const RoleSlots& roles, platform::MessagePump& pump) {
  ExtractionSlots slots{};
  for (const std::string& line : templateLines) {
    if (line.empty()) continue;
    for (int k = 1; k <= kSlotCount; ++k) {
      pump.pump();
      const std::string tag = slotTag(k);
      const std::size_t t = text::find(line, tag);
      if (t == 0) continue;
      const std::string_view prefix = std::string_view(line).substr(0, t - 1);
      const std::string_view suffix = std::string_view(line).substr(t - 1 + tag.size());
      const std::size_t m = text::find(record, prefix);
      const std::size_t q = text::find(record, suffix);
      if (m < 1 || m >= q) continue;
      const std::size_t valueStart = m + prefix.size();  // 1-based
      std::string value;
      if (q > valueStart) value = std::string(record.substr(valueStart - 1, q - valueStart));
      std::string& slot = slots[k];
      if (!slot.empty()) slot += ' ';
      slot += value;
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
