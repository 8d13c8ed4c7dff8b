#pragma once
// From a record's slots to its notification text (the display text) and to the text the watch
// lists are searched in (the search text), following the Body template.

#include <string>
#include <string_view>

#include "platform/message_pump.h"
#include "spots/extraction.h"

namespace zeltaro::spots {

// The built-in Body template of Edit1.
extern const char* const kDefaultBody;

struct Composition {
  std::string display;  // may hold the four-character "\r\n" markers
  std::string search;
  bool searchable = false;  // the Body has at least one "$#nn!" field
};

Composition compose(std::string_view body, const ExtractionSlots& slots,
                    platform::MessagePump& pump);

}  // namespace zeltaro::spots
