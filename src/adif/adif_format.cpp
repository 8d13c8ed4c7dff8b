// SPDX-License-Identifier: GPL-3.0-or-later
#include "adif/adif_format.h"

namespace zeltaro::adif {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
// Beyond this a tag name is no tag: the '<' was a character of some value or of junk.
constexpr std::size_t kMaxNameLength = 64;

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

std::size_t findNoCase(std::string_view s, std::string_view needle, std::size_t from) {
  if (needle.empty() || needle.size() > s.size()) return std::string_view::npos;
  for (std::size_t i = from; i + needle.size() <= s.size(); ++i) {
    if (upper(s[i]) != upper(needle[0])) continue;
    if (equalNoCase(s.substr(i, needle.size()), needle)) return i;
  }
  return std::string_view::npos;
}

bool isNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string upperName(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = upper(c);
  return out;
}

// Puts a field's value where the check looks for it.
void take(RawRecord& r, std::string_view name, std::string_view value, std::string_view codeField) {
  const std::string n = upperName(name);
  if (n == codeField) r.code = value;
  if (n == "CALL")
    r.call = value;
  else if (n == "FREQ")
    r.freq = value;
  else if (n == "BAND")
    r.band = value;
  else if (n == "MODE")
    r.mode = value;
  else if (n == "SUBMODE")
    r.submode = value;
  else if (n == "COMMENT")
    r.comment = value;
  else if (n == "NOTES")
    r.notes = value;
}

bool validUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t more = 0;
    if (c < 0x80)
      more = 0;
    else if (c >= 0xC2 && c <= 0xDF)
      more = 1;
    else if (c >= 0xE0 && c <= 0xEF)
      more = 2;
    else if (c >= 0xF0 && c <= 0xF4)
      more = 3;
    else
      return false;
    // A character cut at the end of what has been read so far is no verdict.
    if (i + more >= s.size()) return true;
    for (std::size_t k = 1; k <= more; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += more + 1;
  }
  return true;
}

// Japanese loggers that write their ADIF files in Shift-JIS.
bool namesShiftJisLogger(std::string_view header) {
  for (std::string_view name : {"HAMLOG", "CTESTWIN", "ZLOG"})
    if (findNoCase(header, name, 0) != std::string_view::npos) return true;
  return false;
}

bool namesShiftJis(std::string_view text) {
  for (std::string_view name :
       {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "CP932", "WINDOWS-31J", "MS_KANJI"})
    if (findNoCase(text, name, 0) != std::string_view::npos) return true;
  return false;
}

// ---- ADI ----

Parsed parseAdi(std::string_view b, std::size_t from, std::string_view codeField) {
  Parsed out;
  out.consumed = from;
  RawRecord record;
  std::size_t pos = from;
  while (pos < b.size()) {
    const std::size_t lt = b.find('<', pos);
    if (lt == std::string_view::npos) break;
    // The name, up to ':' (a value follows) or '>' (a bare tag: <EOR>, <EOH>).
    std::size_t i = lt + 1;
    while (i < b.size() && i - lt - 1 <= kMaxNameLength && isNameChar(b[i])) ++i;
    if (i >= b.size()) break;  // still being written
    const std::string_view name = b.substr(lt + 1, i - lt - 1);
    if (name.empty() || name.size() > kMaxNameLength || (b[i] != ':' && b[i] != '>')) {
      pos = lt + 1;  // not a tag
      continue;
    }
    if (b[i] == '>') {
      if (equalNoCase(name, "EOR")) {
        out.records.push_back(std::move(record));
        record = {};
        out.consumed = i + 1;
      } else if (equalNoCase(name, "EOH")) {
        record = {};  // a header where none was expected: what came before was no record
        out.consumed = i + 1;
      }
      pos = i + 1;
      continue;
    }
    // The length: decimal digits only, so never negative; a huge one is junk.
    std::size_t j = i + 1, length = 0;
    bool tooLong = false;
    while (j < b.size() && b[j] >= '0' && b[j] <= '9') {
      length = length * 10 + static_cast<std::size_t>(b[j] - '0');
      if (length > kMaxFieldLength) tooLong = true;
      if (j - i > 12) break;
      ++j;
    }
    if (j >= b.size()) break;
    if (j == i + 1 || tooLong || (b[j] != ':' && b[j] != '>')) {
      pos = lt + 1;
      continue;
    }
    // An optional data type, which the check does not need.
    if (b[j] == ':') {
      std::size_t k = j + 1;
      while (k < b.size() && k - j <= 16 && isNameChar(b[k])) ++k;
      if (k >= b.size()) break;
      if (b[k] != '>') {
        pos = lt + 1;
        continue;
      }
      j = k;
    }
    const std::size_t data = j + 1;
    if (length > b.size() - data) break;  // the value is still being written
    take(record, name, b.substr(data, length), codeField);
    pos = data + length;
  }
  return out;
}

// ---- ADX ----

// The text of an element with the XML escapes resolved and CDATA sections unwrapped.
std::string xmlText(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    if (s.substr(i, 9) == "<![CDATA[") {
      const std::size_t end = s.find("]]>", i + 9);
      const std::size_t stop = end == std::string_view::npos ? s.size() : end;
      out += s.substr(i + 9, stop - i - 9);
      i = end == std::string_view::npos ? s.size() : end + 3;
      continue;
    }
    if (s[i] != '&') {
      out += s[i++];
      continue;
    }
    const std::size_t semi = s.find(';', i);
    if (semi == std::string_view::npos || semi - i > 10) {
      out += s[i++];
      continue;
    }
    const std::string_view entity = s.substr(i + 1, semi - i - 1);
    if (entity == "lt")
      out += '<';
    else if (entity == "gt")
      out += '>';
    else if (entity == "amp")
      out += '&';
    else if (entity == "quot")
      out += '"';
    else if (entity == "apos")
      out += '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
      unsigned long cp = 0;
      const bool hex = entity[1] == 'x' || entity[1] == 'X';
      bool ok = entity.size() > (hex ? 2u : 1u);
      for (std::size_t k = hex ? 2 : 1; ok && k < entity.size(); ++k) {
        const char c = entity[k];
        int d = c >= '0' && c <= '9'                            ? c - '0'
                : hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                                : -1;
        if (d < 0 || cp > 0x10FFFF) ok = false;
        cp = cp * (hex ? 16 : 10) + static_cast<unsigned long>(d < 0 ? 0 : d);
      }
      if (!ok || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        out += s.substr(i, semi - i + 1);
      } else if (cp < 0x80) {
        out += static_cast<char>(cp);
      } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
      } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
      } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
      }
    } else {
      out += s.substr(i, semi - i + 1);
    }
    i = semi + 1;
  }
  return out;
}

// The fields of one <RECORD> element's content.
RawRecord adxRecord(std::string_view body, std::string_view codeField) {
  RawRecord r;
  std::size_t pos = 0;
  while (pos < body.size()) {
    const std::size_t lt = body.find('<', pos);
    if (lt == std::string_view::npos) break;
    std::size_t i = lt + 1;
    while (i < body.size() && isNameChar(body[i])) ++i;
    const std::string_view name = body.substr(lt + 1, i - lt - 1);
    const std::size_t gt = body.find('>', i);
    if (name.empty() || gt == std::string_view::npos) {
      pos = lt + 1;
      continue;
    }
    if (body[gt - 1] == '/') {  // an empty element
      pos = gt + 1;
      continue;
    }
    const std::string close = "</" + std::string(name);
    const std::size_t end = findNoCase(body, close, gt + 1);
    if (end == std::string_view::npos) {
      pos = gt + 1;
      continue;
    }
    // APP and USERDEF fields name themselves in attributes: not ours.
    if (!equalNoCase(name, "APP") && !equalNoCase(name, "USERDEF"))
      take(r, name, xmlText(body.substr(gt + 1, end - gt - 1)), codeField);
    const std::size_t closeEnd = body.find('>', end);
    pos = closeEnd == std::string_view::npos ? body.size() : closeEnd + 1;
  }
  return r;
}

Parsed parseAdx(std::string_view b, std::size_t from, std::string_view codeField) {
  Parsed out;
  out.consumed = from;
  std::size_t pos = from;
  for (;;) {
    std::size_t open = findNoCase(b, "<RECORD", pos);
    // "<RECORDS>" is the list around the records, not one of them.
    while (open != std::string_view::npos && open + 7 < b.size() && isNameChar(b[open + 7]))
      open = findNoCase(b, "<RECORD", open + 7);
    if (open == std::string_view::npos) break;
    const std::size_t gt = b.find('>', open);
    if (gt == std::string_view::npos) break;
    const std::size_t close = findNoCase(b, "</RECORD>", gt + 1);
    if (close == std::string_view::npos) break;  // still being written
    if (b[gt - 1] != '/')
      out.records.push_back(adxRecord(b.substr(gt + 1, close - gt - 1), codeField));
    out.consumed = close + 9;
    pos = close + 9;
  }
  return out;
}

}  // namespace

std::optional<FileShape> shapeOf(std::string_view head) {
  FileShape shape;
  bool bom = false;
  if (head.substr(0, kBom.size()) == kBom) {
    bom = true;
    shape.bodyStart = kBom.size();
  }
  std::size_t first = shape.bodyStart;
  while (first < head.size() && isBlank(head[first])) ++first;
  const std::string_view rest = head.substr(first);
  if (rest.empty()) return std::nullopt;  // nothing to judge yet
  if (equalNoCase(rest.substr(0, 5), "<?xml") || equalNoCase(rest.substr(0, 4), "<ADX")) {
    shape.form = Form::Adx;
    const std::size_t declEnd = rest.find("?>");
    const std::string_view decl =
        equalNoCase(rest.substr(0, 5), "<?xml") && declEnd != std::string_view::npos
            ? rest.substr(0, declEnd)
            : std::string_view();
    shape.encoding = !bom && namesShiftJis(decl) ? Encoding::ShiftJis : Encoding::Utf8;
    return shape;
  }
  // ADI: a file that does not begin with a tag has a header, up to <EOH>.
  std::string_view header;
  if (head[shape.bodyStart] != '<') {
    const std::size_t eoh = findNoCase(head, "<EOH>", shape.bodyStart);
    if (eoh == std::string_view::npos) return std::nullopt;
    header = head.substr(shape.bodyStart, eoh - shape.bodyStart);
    shape.bodyStart = eoh + 5;
  }
  if (bom) {
    shape.encoding = Encoding::Utf8;
  } else if (namesShiftJis(header) || namesShiftJisLogger(header)) {
    shape.encoding = Encoding::ShiftJis;
  } else {
    shape.encoding = validUtf8(head.substr(shape.bodyStart)) ? Encoding::Utf8 : Encoding::ShiftJis;
  }
  return shape;
}

Parsed parse(std::string_view bytes, std::size_t from, Form form, std::string_view codeField) {
  if (from > bytes.size()) return Parsed{{}, from};
  return form == Form::Adx ? parseAdx(bytes, from, codeField) : parseAdi(bytes, from, codeField);
}

}  // namespace zeltaro::adif
