// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// From a record's slots to its notification text (the display text) and to the text the watch
// lists are searched in (the search text), following the Body template.

#include <string>
#include <string_view>
#include <vector>

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

// The Body cut once at its tags, for every record of a page. The tags are replaced one slot
// after the other, so a value holding "$" could become part of a tag, and a value ending in a
// lone lead byte could hide the tag after it, and a value beginning with "!" right after a plain
// tag turns it into a searchable one. A Body whose every "$" starts a tag, filled with values
// that can do none of this, comes out the same when it is put together piece by piece, which
// compose() then does. Everything else takes the replacements one by one.
struct CompiledBody {
  struct Piece {
    std::string literal;        // the text before the tag
    std::string searchLiteral;  // the literal as the search text has it (markers as blanks)
    int slot = 0;               // 1 ... 20; 0 after the last tag
    bool searchable = false;
    // The tag follows a plain tag directly: a value here that is empty or begins with "!"
    // would make the plain tag before it look searchable to the replacements.
    bool afterPlainTag = false;
  };
  std::string body;
  bool pieceByPiece = false;
  // The search text's markers can be turned into blanks literal by literal: no literal before a
  // tag ends with a backslash, which a value's first letter could make a marker of.
  bool searchPieceByPiece = false;
  std::vector<Piece> pieces;
  int lastSearchable = 0;  // the highest-numbered searchable slot, 0 when there is none
};
CompiledBody compileBody(std::string_view body);
Composition compose(const CompiledBody& body, const ExtractionSlots& slots,
                    platform::MessagePump& pump);
// As compose(), for the search text and whether there is one; the display text may be left
// empty. A page's records are all searched, and only the few that a list matches are shown.
Composition composeSearch(const CompiledBody& body, const ExtractionSlots& slots,
                          platform::MessagePump& pump);

}  // namespace zeltaro::spots
