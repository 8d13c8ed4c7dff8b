#include "spots/composition.h"

#include "text/sjis.h"

namespace zeltaro::spots {

const char* const kDefaultBody =
    "$#01 $#02 \\r\\n $#03 $#04! \\r\\n $#05! $#06! \\r\\n $#07! $#08! $#09 $#10! \\r\\n "
    "$#11\x81\x97$#12#$#13 \\r\\n \\r\\n";  // 81 97 is the full-width "＠"

Composition compose(std::string_view body, const ExtractionSlots& slots,
                    platform::MessagePump& pump) {
  using text::replaceAll;
  Composition c;
  std::string d(body), s(body);

  // Searchable fields. D is rebuilt from S each time, so in the end every searchable field of
  // D carries its value and a space except the highest-numbered one, which carries the value.
  for (int k = 1; k <= kSlotCount; ++k) {
    pump.pump();
    const std::string field = slotTag(k) + "!";
    if (text::find(d, field) == 0) continue;
    d = replaceAll(s, field, slots[k]);
    s = replaceAll(s, field, slots[k] + " ");
    c.searchable = true;
  }
  for (int k = 1; k <= kSlotCount; ++k) {
    pump.pump();
    d = replaceAll(d, slotTag(k), slots[k]);
  }
  if (!c.searchable) return c;

  // Each pass once over the text: three spaces in a row become two.
  d = replaceAll(d, "  \\r\\n", "\\r\\n");
  d = replaceAll(d, " \\r\\n", "\\r\\n");
  d = replaceAll(d, "  ", " ");
  d = replaceAll(d, "\\r\\n ", "\\r\\n");
  c.display = std::move(d);

  s = replaceAll(s, "\\r\\n", " ");
  s = replaceAll(s, "\\n\\r", " ");
  s = replaceAll(s, "\\r", " ");
  s = replaceAll(s, "\\n", " ");
  c.search = std::string(text::trim(s));
  return c;
}

}  // namespace zeltaro::spots
