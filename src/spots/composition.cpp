// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/composition.h"

#include "text/sjis.h"

namespace zeltaro::spots {

const char* const kDefaultBody =
    "$#01 $#02 \\r\\n $#03 $#04! \\r\\n $#05! $#06! \\r\\n $#07! $#08! $#09 $#10! \\r\\n "
    "$#11\x81\x97$#12#$#13 \\r\\n \\r\\n";  // 81 97 is the full-width "＠"

namespace {

// "$#01" ... "$#20" and the searchable "$#01!" ... "$#20!", made once.
struct Tags {
  std::string plain[kSlotCount + 1], searchable[kSlotCount + 1];
  Tags() {
    for (int k = 1; k <= kSlotCount; ++k) {
      plain[k] = slotTag(k);
      searchable[k] = plain[k] + "!";
    }
  }
};
const Tags& tags() {
  static const Tags t;
  return t;
}

}  // namespace

namespace {

// The line-break markers of a search text as blanks, in this order of passes.
void markersAsBlanks(std::string& s) {
  using text::makeNeedle;
  using text::replaceAllInPlace;
  static const text::Needle crlf = makeNeedle("\\r\\n"), lfcr = makeNeedle("\\n\\r"),
                            cr = makeNeedle("\\r"), lf = makeNeedle("\\n");
  // Each marker begins with a backslash: a text without one is left as it is.
  if (s.find('\\') != std::string::npos) {
    replaceAllInPlace(s, crlf, " ");
    replaceAllInPlace(s, lfcr, " ");
    replaceAllInPlace(s, cr, " ");
    replaceAllInPlace(s, lf, " ");
  }
}

// The search text trimmed, kept without a copy.
void setTrimmedSearch(Composition& c, std::string&& s) {
  const std::string_view t = text::trim(s);
  const auto from = static_cast<std::size_t>(t.data() - s.data());
  s.erase(from + t.size());
  s.erase(0, from);
  c.search = std::move(s);
}

// The search text's line-break markers, as blanks.
void finishSearch(Composition& c, std::string& s) {
  markersAsBlanks(s);
  setTrimmedSearch(c, std::move(s));
}

// The line-break markers and doubled spaces of the display text, and the search text's markers.
void finish(Composition& c, std::string&& d, std::string& s) {
  using text::makeNeedle;
  using text::replaceAllInPlace;
  static const text::Needle twoSpacesMarker = makeNeedle("  \\r\\n"),
                            spaceMarker = makeNeedle(" \\r\\n"), twoSpaces = makeNeedle("  "),
                            markerSpace = makeNeedle("\\r\\n ");
  // Each pass once over the text: three spaces in a row become two.
  replaceAllInPlace(d, twoSpacesMarker, "\\r\\n");
  replaceAllInPlace(d, spaceMarker, "\\r\\n");
  replaceAllInPlace(d, twoSpaces, " ");
  replaceAllInPlace(d, markerSpace, "\\r\\n");
  c.display = std::move(d);
  finishSearch(c, s);
}

// Whether the values can be put into the Body's pieces one by one (CompiledBody).
bool fitsPieceByPiece(const CompiledBody& body, const ExtractionSlots& slots) {
  if (!body.pieceByPiece) return false;
  for (std::size_t i = 0; i + 1 < body.pieces.size(); ++i) {
    const CompiledBody::Piece& p = body.pieces[i];
    const std::string& v = slots[static_cast<std::size_t>(p.slot)];
    if (v.find('$') != std::string::npos || !text::isCharStart(v, 0, v.size()) ||
        (p.afterPlainTag && (v.empty() || v[0] == '!'))) {
      return false;
    }
  }
  return true;
}

// The tag at byte i of body ("$#01" ... "$#20"), 0 when there is none.
int tagAt(std::string_view body, std::size_t i) {
  if (body.size() - i < 4 || body[i] != '$' || body[i + 1] != '#') return 0;
  const char a = body[i + 2], b = body[i + 3];
  if (a < '0' || a > '9' || b < '0' || b > '9') return 0;
  const int k = (a - '0') * 10 + (b - '0');
  return k >= 1 && k <= kSlotCount ? k : 0;
}

}  // namespace

CompiledBody compileBody(std::string_view body) {
  CompiledBody c;
  c.body = std::string(body);
  c.pieceByPiece = true;
  c.searchPieceByPiece = true;
  std::size_t literalStart = 0;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '$') continue;
    const int k = tagAt(body, i);
    if (k == 0 || !text::isCharStart(body, 0, i)) {
      c.pieceByPiece = false;
      break;
    }
    CompiledBody::Piece& p = c.pieces.emplace_back();
    p.literal = std::string(body.substr(literalStart, i - literalStart));
    if (p.literal.ends_with('\\')) c.searchPieceByPiece = false;
    p.slot = k;
    p.searchable = i + 4 < body.size() && body[i + 4] == '!';
    p.afterPlainTag =
        p.literal.empty() && c.pieces.size() >= 2 && !c.pieces[c.pieces.size() - 2].searchable;
    if (p.searchable && k > c.lastSearchable) c.lastSearchable = k;
    literalStart = i + (p.searchable ? 5 : 4);
    i = literalStart - 1;
  }
  c.pieces.push_back({std::string(body.substr(std::min(literalStart, body.size()))), {}, 0, false});
  for (CompiledBody::Piece& p : c.pieces) {
    p.searchLiteral = p.literal;
    markersAsBlanks(p.searchLiteral);
  }
  return c;
}

Composition compose(const CompiledBody& body, const ExtractionSlots& slots,
                    platform::MessagePump& pump) {
  if (!fitsPieceByPiece(body, slots)) return compose(body.body, slots, pump);
  pump.pumpTimes(2 * kSlotCount);
  Composition c;
  if (body.lastSearchable == 0) return c;
  c.searchable = true;
  std::string d, s;
  for (const CompiledBody::Piece& p : body.pieces) {
    d += p.literal;
    s += p.literal;
    if (p.slot == 0) break;
    const std::string& v = slots[static_cast<std::size_t>(p.slot)];
    d += v;
    if (p.searchable) {
      // Every searchable value but the highest-numbered one keeps a space in the display.
      if (p.slot != body.lastSearchable) d += ' ';
      s += v;
      s += ' ';
    } else {
      s += tags().plain[p.slot];  // plain tags stay in the search text as written
    }
  }
  finish(c, std::move(d), s);
  return c;
}

Composition composeSearch(const CompiledBody& body, const ExtractionSlots& slots,
                          platform::MessagePump& pump) {
  if (!fitsPieceByPiece(body, slots)) return compose(body.body, slots, pump);
  pump.pumpTimes(2 * kSlotCount);
  Composition c;
  if (body.lastSearchable == 0) return c;
  c.searchable = true;
  // Literal by literal when no value holds a backslash: a value is followed by a blank, a plain
  // tag holds none, so no marker can reach across from one piece into the next.
  bool byLiteral = body.searchPieceByPiece;
  for (std::size_t i = 0; byLiteral && i + 1 < body.pieces.size(); ++i) {
    const CompiledBody::Piece& p = body.pieces[i];
    if (p.searchable && slots[static_cast<std::size_t>(p.slot)].find('\\') != std::string::npos)
      byLiteral = false;
  }
  std::string s;
  for (const CompiledBody::Piece& p : body.pieces) {
    s += byLiteral ? p.searchLiteral : p.literal;
    if (p.slot == 0) break;
    if (p.searchable) {
      s += slots[static_cast<std::size_t>(p.slot)];
      s += ' ';
    } else {
      s += tags().plain[p.slot];
    }
  }
  if (byLiteral) {
    setTrimmedSearch(c, std::move(s));
  } else {
    finishSearch(c, s);
  }
  return c;
}

Composition compose(std::string_view body, const ExtractionSlots& slots,
                    platform::MessagePump& pump) {
  using text::replaceAllInPlace;
  const Tags& tag = tags();
  Composition c;
  std::string d(body), s(body), valueAndSpace;

  // Searchable fields. D is rebuilt from S each time, so in the end every searchable field of
  // D carries its value and a space except the highest-numbered one, which carries the value.
  for (int k = 1; k <= kSlotCount; ++k) {
    pump.pump();
    const std::string& field = tag.searchable[k];
    if (text::find(d, field) == 0) continue;
    d = s;
    replaceAllInPlace(d, field, slots[k]);
    valueAndSpace.assign(slots[k]).push_back(' ');
    replaceAllInPlace(s, field, valueAndSpace);
    c.searchable = true;
  }
  for (int k = 1; k <= kSlotCount; ++k) {
    pump.pump();
    replaceAllInPlace(d, tag.plain[k], slots[k]);
  }
  if (!c.searchable) return c;

  finish(c, std::move(d), s);
  return c;
}

}  // namespace zeltaro::spots
