// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/template_guess.h"

#include <algorithm>
#include <map>
#include <optional>
#include <regex>
#include <set>

#include "platform/message_pump.h"
#include "spots/extraction.h"
#include "spots/page_text.h"
#include "text/sjis.h"

// How the guess goes:
//  1. The page text as the cutting sees it (entities decoded, CR and LF gone) is read into a
//     forgiving element tree (implied ends of td, tr, li, dt, dd, p).
//  2. The example call is looked up; the value that holds it (a leaf element or a piece of
//     text) is followed up its ancestors to the container whose children repeat that value
//     most often with a call sign in it: those children (or runs of them, as dt + dd ...) are
//     the records.
//  3. Values at the same place inside each record form a field; fields are named by the shape
//     of their values (call, frequency, time, ...) and by class names and table headings.
//  4. For a few candidate pairs of separators the page is cut with cutRecords(), and for each
//     field the shortest prefix and suffix (whole tags) are chosen whose first occurrences in
//     the records stand right at the value. The pair that gets the most calls and frequencies
//     right wins.

namespace zeltaro::spots {
namespace {

constexpr std::size_t kNpos = std::string_view::npos;
constexpr std::size_t kMaxSeparator = 250;  // what the separator boxes hold
constexpr std::size_t kMaxContext = 250;    // markup looked at around a value
constexpr std::size_t kMaxDepth = 100;      // elements open inside each other

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isAlpha(char c) { return isUpper(c) || (c >= 'a' && c <= 'z'); }
bool isCallChar(char c) { return isDigit(c) || isAlpha(c) || c == '/'; }
char lowerAscii(char c) { return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }
char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = lowerAscii(c);
  return r;
}
std::string upper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = upperAscii(c);
  return r;
}

// ---------------------------------------------------------------------------------------------
// Shapes of values.

// JA1ABC, 7J1AAA, W1AW, 3D2AG, JA1ABC/1, VK9/JA1ABC: a core of up to three letters and digits
// holding a letter, one digit and one to four letters, with optional parts after or before "/".
bool looksLikeCall(std::string_view v) {
  if (v.size() < 3 || v.size() > 16) return false;
  std::vector<std::string_view> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t slash = v.find('/', from);
    parts.push_back(v.substr(from, slash == kNpos ? kNpos : slash - from));
    if (slash == kNpos) break;
    from = slash + 1;
  }
  if (parts.size() > 3) return false;
  std::size_t coreIndex = 0;
  for (std::size_t i = 1; i < parts.size(); ++i)
    if (parts[i].size() > parts[coreIndex].size()) coreIndex = i;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].empty() || parts[i].size() > 8) return false;
    for (char c : parts[i])
      if (!isDigit(c) && !isUpper(c)) return false;
  }
  const std::string_view core = parts[coreIndex];
  if (core.size() < 3) return false;
  std::size_t lastDigit = kNpos;
  for (std::size_t i = 0; i < core.size(); ++i)
    if (isDigit(core[i])) lastDigit = i;
  if (lastDigit == kNpos || lastDigit == 0 || lastDigit > 3) return false;
  const std::size_t letters = core.size() - 1 - lastDigit;
  if (letters < 1 || letters > 4) return false;
  const std::string_view prefix = core.substr(0, lastDigit);
  return std::any_of(prefix.begin(), prefix.end(), isUpper);
}

// The number of a frequency in kHz, read without the locale: "7010.5", "7,010", "14.025 MHz",
// "7010,5"; nullopt when the text is no frequency inside an amateur band.
std::optional<double> frequencyKHz(std::string_view v) {
  v = text::trim(v);
  double scale = 1;
  const std::string l = lower(v);
  bool unitGiven = false;
  if (l.size() > 3 && (l.ends_with("khz") || l.ends_with("mhz"))) {
    scale = l.ends_with("mhz") ? 1000 : 1;
    unitGiven = true;
    v = text::trim(v.substr(0, v.size() - 3));
  }
  if (v.empty() || !isDigit(v.front()) || !isDigit(v.back())) return std::nullopt;
  std::string digits;  // with "." as the one decimal mark
  const std::size_t comma = v.rfind(','), dot = v.find('.');
  for (std::size_t i = 0; i < v.size(); ++i) {
    const char c = v[i];
    if (isDigit(c)) {
      digits += c;
    } else if (c == '.') {
      if (i != dot) return std::nullopt;
      digits += '.';
    } else if (c == ',') {
      // A comma before a dot, or followed by exactly three digits, groups thousands.
      const bool grouping = dot != kNpos ? i < dot : v.size() - i - 1 == 3;
      if (!grouping) {
        if (i != comma || dot != kNpos) return std::nullopt;
        digits += '.';
      }
    } else {
      return std::nullopt;
    }
  }
  double x = 0, place = 0;
  for (char c : digits) {
    if (c == '.') {
      place = 1;
      continue;
    }
    if (place > 0) {
      place /= 10;
      x += (c - '0') * place;
    } else {
      x = x * 10 + (c - '0');
    }
  }
  const bool decimal = digits.find('.') != std::string::npos;
  if (!unitGiven && x < 1000) {
    if (!decimal) return std::nullopt;  // 599, 73: not a frequency written in kHz
    scale = 1000;                       // 7.010: MHz
  }
  x *= scale;
  static const std::pair<double, double> bands[] = {
      {135.7, 137.8},     {472, 479},         {1800, 2000},       {3500, 4000},
      {5300, 5410},       {7000, 7300},       {10100, 10150},     {14000, 14350},
      {18068, 18168},     {21000, 21450},     {24890, 24990},     {28000, 29700},
      {50000, 54000},     {144000, 148000},   {430000, 440000},   {1240000, 1300000},
      {2400000, 2450000}, {5650000, 5850000}, {10000000, 10500000}};
  for (const auto& [lo, hi] : bands)
    if (x >= lo && x <= hi) return x;
  return std::nullopt;
}

bool matches(const std::regex& re, std::string_view v) {
  return std::regex_match(v.begin(), v.end(), re);
}

bool looksLikeTime(std::string_view v) {
  static const std::regex re(R"([0-9]{1,2}:[0-9]{2}(:[0-9]{2})? ?(z|utc|jst)?|[0-9]{4} ?(z|utc))");
  return matches(re, lower(v));
}
bool looksLikeDate(std::string_view v) {
  static const std::regex re(
      R"([0-9]{2,4}[-/.][0-9]{1,2}[-/.][0-9]{1,2}|[0-9]{1,2}/[0-9]{1,2}|[0-9]{1,2}[- ]?[a-z]{3}([- ]?[0-9]{2,4})?)");
  return matches(re, lower(v));
}
bool looksLikeDateTime(std::string_view v) {
  const std::string l = lower(v);
  const std::size_t gap = l.find_first_of(" t");
  return gap != kNpos && looksLikeDate(l.substr(0, gap)) &&
         looksLikeTime(text::trim(std::string_view(l).substr(gap + 1)));
}
bool looksLikeMode(std::string_view v) {
  static const std::set<std::string, std::less<>> modes = {
      "CW",   "SSB",   "USB",   "LSB",   "AM",    "FM",    "RTTY",   "FT8",    "FT4",
      "JT65", "JT9",   "PSK",   "PSK31", "PSK63", "BPSK",  "BPSK31", "SSTV",   "DATA",
      "DIGI", "DV",    "C4FM",  "DSTAR", "D-STAR", "MSK144", "Q65",  "JS8",    "OLIVIA",
      "MFSK", "HELL",  "PACKET", "ATV",  "FSK",   "FSK441", "WSPR",  "DMR",    "VARAC"};
  return modes.contains(upper(v));
}
bool looksLikeDistance(std::string_view v) {
  static const std::regex re(R"([0-9][0-9,.]* ?(km|mi))");
  return matches(re, lower(v));
}
bool looksLikeCode(std::string_view v) {
  static const std::regex re(R"([0-9]{4,6}[a-z]?)");
  return matches(re, lower(v));
}
bool looksLikeGrid(std::string_view v) {
  static const std::regex re(R"([a-r]{2}[0-9]{2}([a-x]{2})?)");
  return matches(re, lower(v));
}

// ---------------------------------------------------------------------------------------------
// A forgiving element tree over the page text.

struct Element {
  std::string name;  // lower case; "#root" for the whole text
  std::string sig;   // name, and ".class" when it has one
  std::string cls;
  std::size_t start = 0, openEnd = 0, closeStart = 0, end = 0;
  int parent = -1;
  int ordinal = 0;  // among the earlier children of its parent with the same sig
  int depth = 0;
  std::vector<int> children;
};

struct TextPiece {
  std::size_t start, end;
  int parent;
};

struct Tree {
  std::vector<Element> el;
  std::vector<TextPiece> texts;
};

bool isVoid(std::string_view name) {
  static const std::set<std::string, std::less<>> v = {
      "br", "img", "hr", "input", "meta", "link", "wbr", "col", "area", "base", "param",
      "source", "embed", "track"};
  return v.contains(name);
}

bool nameIn(std::string_view n, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), n) != names.end();
}

std::string classOf(std::string_view attrs) {
  const std::string l = lower(attrs);
  std::size_t p = 0;
  while ((p = l.find("class", p)) != kNpos) {
    const bool wordStart = p == 0 || !isAlpha(l[p - 1]);
    std::size_t q = p + 5;
    while (q < l.size() && l[q] == ' ') ++q;
    if (!wordStart || q >= l.size() || l[q] != '=') {
      p += 5;
      continue;
    }
    ++q;
    while (q < l.size() && l[q] == ' ') ++q;
    if (q >= l.size()) return {};
    if (l[q] == '"' || l[q] == '\'') {
      const std::size_t e = attrs.find(attrs[q], q + 1);
      return std::string(attrs.substr(q + 1, e == kNpos ? kNpos : e - q - 1));
    }
    std::size_t e = q;
    while (e < attrs.size() && attrs[e] != ' ' && attrs[e] != '>' && attrs[e] != '/') ++e;
    return std::string(attrs.substr(q, e - q));
  }
  return {};
}

Tree parseTree(std::string_view t) {
  Tree tr;
  const std::size_t n = t.size();
  tr.el.push_back(Element{"#root", "#root", "", 0, 0, n, n, -1, 0, 0, {}});
  std::vector<int> stack{0};
  const auto closeTop = [&](std::size_t at) {
    Element& e = tr.el[static_cast<std::size_t>(stack.back())];
    e.closeStart = e.end = at;
    stack.pop_back();
  };
  // Closes the innermost open element named in names, unless one named in stops is nearer.
  const auto closeOpen = [&](std::initializer_list<std::string_view> names,
                             std::initializer_list<std::string_view> stops, std::size_t at) {
    for (std::size_t k = stack.size() - 1; k > 0; --k) {
      const std::string& nm = tr.el[static_cast<std::size_t>(stack[k])].name;
      if (nameIn(nm, stops)) return;
      if (nameIn(nm, names)) {
        while (stack.size() > k) closeTop(at);
        return;
      }
    }
  };
  const auto nameEnd = [&](std::size_t from) {
    while (from < n && (isAlpha(t[from]) || isDigit(t[from]) || t[from] == '-' ||
                        t[from] == ':' || t[from] == '_'))
      ++from;
    return from;
  };
  const auto addText = [&](std::size_t from, std::size_t to) {
    if (text::trim(t.substr(from, to - from)).empty()) return;
    tr.texts.push_back(TextPiece{from, to, stack.back()});
  };
  std::size_t i = 0;
  while (i < n) {
    if (t[i] == '<' && i + 1 < n) {
      if (t.compare(i, 4, "<!--") == 0) {
        const std::size_t j = t.find("-->", i + 4);
        i = j == kNpos ? n : j + 3;
        continue;
      }
      if (t[i + 1] == '!' || t[i + 1] == '?') {
        const std::size_t j = t.find('>', i);
        i = j == kNpos ? n : j + 1;
        continue;
      }
      if (t[i + 1] == '/' && i + 2 < n && isAlpha(t[i + 2])) {
        const std::string name = lower(t.substr(i + 2, nameEnd(i + 2) - i - 2));
        const std::size_t j = t.find('>', i);
        const std::size_t after = j == kNpos ? n : j + 1;
        for (std::size_t k = stack.size() - 1; k > 0; --k) {
          if (tr.el[static_cast<std::size_t>(stack[k])].name != name) continue;
          while (stack.size() > k + 1) closeTop(i);
          Element& e = tr.el[static_cast<std::size_t>(stack.back())];
          e.closeStart = i;
          e.end = after;
          stack.pop_back();
          break;
        }
        i = after;
        continue;
      }
      if (isAlpha(t[i + 1])) {
        const std::size_t ne = nameEnd(i + 1);
        const std::string name = lower(t.substr(i + 1, ne - i - 1));
        std::size_t j = ne;
        char quote = 0;
        for (; j < n; ++j) {
          if (quote) {
            if (t[j] == quote) quote = 0;
          } else if (t[j] == '"' || t[j] == '\'') {
            quote = t[j];
          } else if (t[j] == '>') {
            break;
          }
        }
        if (j >= n) j = t.find('>', ne);  // an unpaired quote: take the first ">"
        const std::size_t after = j == kNpos ? n : j + 1;
        if (nameIn(name, {"td", "th"})) closeOpen({"td", "th"}, {"tr", "table"}, i);
        if (name == "tr") closeOpen({"tr"}, {"table", "tbody", "thead", "tfoot"}, i);
        if (nameIn(name, {"thead", "tbody", "tfoot"}))
          closeOpen({"thead", "tbody", "tfoot"}, {"table"}, i);
        if (name == "li") closeOpen({"li"}, {"ul", "ol"}, i);
        if (nameIn(name, {"dt", "dd"})) closeOpen({"dt", "dd"}, {"dl"}, i);
        if (name == "p") closeOpen({"p"}, {"div", "td", "li", "dd", "body"}, i);
        Element e;
        e.name = name;
        e.cls = classOf(t.substr(ne, after - ne));
        e.sig = e.cls.empty() ? name : name + "." + e.cls;
        e.start = i;
        e.openEnd = e.closeStart = e.end = after;
        e.parent = stack.back();
        Element& parent = tr.el[static_cast<std::size_t>(e.parent)];
        e.depth = parent.depth + 1;
        for (int c : parent.children)
          if (tr.el[static_cast<std::size_t>(c)].sig == e.sig) ++e.ordinal;
        const int index = static_cast<int>(tr.el.size());
        tr.el[static_cast<std::size_t>(e.parent)].children.push_back(index);
        const bool selfClosing = after >= 2 && t[after - 2] == '/';
        tr.el.push_back(std::move(e));
        if (name == "script" || name == "style") {
          const std::string l = lower(t.substr(after));
          const std::size_t close = l.find("</" + name);
          const std::size_t closeAt = close == kNpos ? n : after + close;
          const std::size_t gt = t.find('>', closeAt);
          Element& s = tr.el.back();
          s.closeStart = closeAt;
          s.end = gt == kNpos ? n : gt + 1;
          i = s.end;
          continue;
        }
        // Elements left open pile up on careless pages; past a depth no record lies deeper.
        if (!selfClosing && !isVoid(name) && stack.size() < kMaxDepth) stack.push_back(index);
        i = after;
        continue;
      }
    }
    std::size_t j = t.find('<', i + 1);
    if (j == kNpos) j = n;
    addText(i, j);
    i = j;
  }
  while (stack.size() > 1) closeTop(n);
  return tr;
}

// A value on the page: the inside of an element without child elements, or a piece of text
// beside child elements; blanks at both ends left out.
struct Item {
  std::size_t start = 0, end = 0;
  int element = 0;   // the element whose inside it is, or that holds the text
  int textNo = -1;   // for text beside child elements: its number inside the element
  std::vector<int> path;  // elements from the root down to `element`
};

// Blanks at both ends left out; a value of blanks only keeps them (its place is its inside).
std::pair<std::size_t, std::size_t> trimmedRange(std::string_view t, std::size_t s,
                                                 std::size_t e) {
  const std::size_t s0 = s, e0 = e;
  while (s < e && static_cast<unsigned char>(t[s]) <= 0x20) ++s;
  while (e > s && static_cast<unsigned char>(t[e - 1]) <= 0x20) --e;
  if (s == e) return {s0, e0};
  return {s, e};
}

std::vector<Item> collectItems(const Tree& tr, std::string_view t) {
  std::vector<Item> items;
  const auto pathOf = [&](int e) {
    std::vector<int> p;
    for (int x = e; x >= 0; x = tr.el[static_cast<std::size_t>(x)].parent) p.push_back(x);
    std::reverse(p.begin(), p.end());
    return p;
  };
  for (std::size_t k = 1; k < tr.el.size(); ++k) {
    const Element& e = tr.el[k];
    if (!e.children.empty() || isVoid(e.name) || e.name == "script" || e.name == "style" ||
        e.openEnd > e.closeStart)
      continue;
    auto [s, en] = trimmedRange(t, e.openEnd, e.closeStart);
    items.push_back(Item{s, en, static_cast<int>(k), -1, pathOf(static_cast<int>(k))});
  }
  std::map<int, int> textsSeen;
  for (const TextPiece& p : tr.texts) {
    if (tr.el[static_cast<std::size_t>(p.parent)].children.empty()) continue;
    auto [s, en] = trimmedRange(t, p.start, p.end);
    items.push_back(Item{s, en, p.parent, textsSeen[p.parent]++, pathOf(p.parent)});
  }
  std::sort(items.begin(), items.end(),
            [](const Item& a, const Item& b) { return a.start < b.start; });
  return items;
}

// ---------------------------------------------------------------------------------------------
// Records and fields.

enum class Role { Call, Freq, Date, Time, DateTime, Mode, Code, Qth, Distance, Comment, Spotter };

int slotOf(Role r) {
  switch (r) {
    case Role::Call: return 4;
    case Role::Freq: return 5;
    case Role::Date: return 2;
    case Role::Time: return 3;
    case Role::DateTime: return 3;
    case Role::Mode: return 6;
    case Role::Code: return 7;
    case Role::Qth: return 8;
    case Role::Distance: return 9;
    case Role::Comment: return 10;
    case Role::Spotter: return 11;
  }
  return 0;
}

const char* roleName(Role r) {
  switch (r) {
    case Role::Call: return "コールサイン";
    case Role::Freq: return "周波数";
    case Role::Date: return "日付";
    case Role::Time: return "時刻";
    case Role::DateTime: return "日時";
    case Role::Mode: return "モード";
    case Role::Code: return "コード";
    case Role::Qth: return "QTH";
    case Role::Distance: return "距離";
    case Role::Comment: return "コメント";
    case Role::Spotter: return "報告者";
  }
  return "";
}

struct Range {
  std::size_t start = 0, end = 0;
};

struct Unit {
  std::size_t start = 0, end = 0;  // in the page text
  std::size_t call = 0;            // where its call sign starts
  int firstChild = 0;              // the element that opens it
  std::map<std::string, Range> fields;  // by field key
};

// The first call-sign-shaped word inside [s, e).
std::optional<Range> callWordIn(std::string_view t, std::size_t s, std::size_t e) {
  std::size_t i = s;
  while (i < e) {
    while (i < e && !isCallChar(t[i])) ++i;
    std::size_t j = i;
    while (j < e && isCallChar(t[j])) ++j;
    if (j > i && looksLikeCall(t.substr(i, j - i))) return Range{i, j};
    i = j;
  }
  return std::nullopt;
}

// The first number inside [s, e) (digits with "." and ",").
std::optional<Range> numberIn(std::string_view t, std::size_t s, std::size_t e) {
  std::size_t i = s;
  while (i < e && !isDigit(t[i])) ++i;
  if (i >= e) return std::nullopt;
  std::size_t j = i;
  while (j < e && (isDigit(t[j]) || t[j] == '.' || t[j] == ',')) ++j;
  while (j > i && !isDigit(t[j - 1])) --j;
  return Range{i, j};
}

bool sameTextFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upperAscii(a[i]) != upperAscii(b[i])) return false;
  return true;
}

std::string keyBelow(const Tree& tr, const Item& it, std::size_t fromDepth) {
  std::string k;
  for (std::size_t d = fromDepth; d < it.path.size(); ++d) {
    const Element& e = tr.el[static_cast<std::size_t>(it.path[d])];
    k += '/' + e.sig + '[' + std::to_string(e.ordinal) + ']';
  }
  k += "#" + std::to_string(it.textNo);
  return k;
}

constexpr const char* kCallInMarkup = "#call-in-markup";

struct Layout {
  int container = -1;
  std::vector<Unit> units;
  std::size_t exampleUnit = 0;
  std::string callKey;
  bool groups = false;  // records are runs of several children (dt + dd ...)
  std::map<std::string, std::string> hints;  // field key -> class names and heading, lower case
};

std::string headingText(std::string_view t, const Tree& tr, int cell) {
  const Element& e = tr.el[static_cast<std::size_t>(cell)];
  std::string s;
  bool inTag = false;
  for (std::size_t i = e.openEnd; i < e.closeStart && i < t.size(); ++i) {
    if (t[i] == '<') inTag = true;
    else if (t[i] == '>') inTag = false;
    else if (!inTag) s += t[i];
  }
  return lower(text::trim(s));
}

// Finds the records around the example value and the fields inside them.
std::optional<Layout> findLayout(std::string_view t, const Tree& tr,
                                 const std::vector<Item>& items, std::size_t exampleItem,
                                 bool narrowCall) {
  const Item& x = items[exampleItem];
  const std::size_t depth = x.path.size();  // x.path[depth - 1] is x's element
  const auto callOf = [&](const Item& it) -> std::optional<Range> {
    if (narrowCall) return callWordIn(t, it.start, it.end);
    if (looksLikeCall(t.substr(it.start, it.end - it.start))) return Range{it.start, it.end};
    return std::nullopt;
  };
  // The level whose children repeat the example's value most often.
  std::size_t bestLevel = 0, bestCount = 0;
  for (std::size_t j = 1; j < depth; ++j) {
    const int container = x.path[depth - 1 - j];
    const std::size_t childDepth = depth - j;
    // Records are compared by element name: rows "odd" and "even" are rows alike.
    const std::string& childName = tr.el[static_cast<std::size_t>(x.path[childDepth])].name;
    const std::string below = keyBelow(tr, x, childDepth + 1);
    std::size_t count = 0;
    for (const Item& y : items) {
      if (y.path.size() != depth || y.path[childDepth - 1] != container) continue;
      if (tr.el[static_cast<std::size_t>(y.path[childDepth])].name != childName) continue;
      if (y.textNo != x.textNo || keyBelow(tr, y, childDepth + 1) != below) continue;
      if (callOf(y)) ++count;
    }
    if (count > bestCount) {
      bestCount = count;
      bestLevel = j;
    }
  }
  if (bestCount < 2) return std::nullopt;

  Layout lay;
  const std::size_t childDepth = depth - bestLevel;
  lay.container = x.path[childDepth - 1];
  const Element& container = tr.el[static_cast<std::size_t>(lay.container)];
  const std::string& childName = tr.el[static_cast<std::size_t>(x.path[childDepth])].name;
  const std::string below = keyBelow(tr, x, childDepth + 1);
  // The children holding a call, by their place among the container's children.
  std::vector<std::pair<std::size_t, Range>> holders;
  std::map<int, std::size_t> placeOf;
  for (std::size_t c = 0; c < container.children.size(); ++c)
    placeOf[container.children[c]] = c;
  for (const Item& y : items) {
    if (y.path.size() != depth || y.path[childDepth - 1] != lay.container) continue;
    if (tr.el[static_cast<std::size_t>(y.path[childDepth])].name != childName) continue;
    if (y.textNo != x.textNo || keyBelow(tr, y, childDepth + 1) != below) continue;
    if (const auto r = callOf(y)) holders.emplace_back(placeOf[y.path[childDepth]], *r);
  }
  // Runs of children: the most common distance between holders, and the first child of each
  // run (the nearest one before the holder whose kind occurs once per run).
  std::map<std::size_t, std::size_t> gaps;
  for (std::size_t i = 1; i < holders.size(); ++i) ++gaps[holders[i].first - holders[i - 1].first];
  std::size_t period = 1, most = 0;
  for (const auto& [g, n] : gaps)
    if (n > most && g > 0) most = n, period = g;
  const auto sigAt = [&](std::size_t place) -> const std::string& {
    return tr.el[static_cast<std::size_t>(container.children[place])].sig;
  };
  std::size_t offset = 0;
  if (period > 1) {
    lay.groups = true;
    for (std::size_t o = 0; o < period; ++o) {
      bool ok = true;
      std::string sig;
      for (std::size_t i = 0; i < holders.size() && ok; ++i) {
        if (holders[i].first < o) {
          ok = i == 0;  // the first run may lack its opening child
          continue;
        }
        const std::size_t s = holders[i].first - o;
        if (sig.empty()) sig = sigAt(s);
        ok = sigAt(s) == sig;
      }
      // Once per run: not again between this opening and the next holder's.
      for (std::size_t i = 0; i + 1 < holders.size() && ok; ++i) {
        if (holders[i].first < o) continue;
        for (std::size_t p = holders[i].first - o + 1; p + o < holders[i + 1].first + 0 && ok; ++p)
          if (sigAt(p) == sig) ok = false;
      }
      if (ok) {
        offset = o;
        break;
      }
    }
  }
  std::vector<std::size_t> opens;
  for (const auto& h : holders) opens.push_back(h.first >= offset ? h.first - offset : h.first);
  for (std::size_t i = 0; i < holders.size(); ++i) {
    std::size_t last = i + 1 < holders.size() ? opens[i + 1] - 1 : opens[i] + period - 1;
    last = std::min(last, container.children.size() - 1);
    if (last < opens[i]) continue;
    Unit u;
    u.firstChild = container.children[opens[i]];
    u.start = tr.el[static_cast<std::size_t>(u.firstChild)].start;
    u.end = tr.el[static_cast<std::size_t>(container.children[last])].end;
    u.call = holders[i].second.start;
    lay.units.push_back(std::move(u));
  }
  // The fields of each record, keyed by their place in it.
  std::size_t k = 0;
  for (std::size_t ui = 0; ui < lay.units.size(); ++ui) {
    Unit& u = lay.units[ui];
    const std::size_t openPlace = placeOf[u.firstChild];
    while (k < items.size() && items[k].start < u.start) ++k;
    for (std::size_t m = k; m < items.size() && items[m].start < u.end; ++m) {
      const Item& y = items[m];
      if (y.path.size() <= childDepth || y.path[childDepth - 1] != lay.container) continue;
      const int top = y.path[childDepth];
      // The opening element by its name (its class may change from record to record), the
      // others of a run by their class and their number among their like.
      std::string key = tr.el[static_cast<std::size_t>(top)].name;
      if (top != u.firstChild) {
        const std::string& sig = tr.el[static_cast<std::size_t>(top)].sig;
        int nth = 0;
        for (std::size_t p = openPlace; p < placeOf[top]; ++p)
          if (sigAt(p) == sig) ++nth;
        key = sig + "@" + std::to_string(nth);
      }
      key += keyBelow(tr, y, childDepth + 1);
      if (u.fields.contains(key)) continue;
      Range r{y.start, y.end};
      if (y.start <= u.call && u.call < std::max(y.end, y.start + 1)) {
        lay.callKey = key;
        for (const auto& h : holders)
          if (h.second.start == u.call) r = h.second;
      }
      u.fields[key] = r;
      if (&y == &x) lay.exampleUnit = ui;
      // Class names along the way, for naming the field.
      std::string& hint = lay.hints[key];
      if (hint.empty()) {
        for (std::size_t d = childDepth; d < y.path.size(); ++d)
          hint += ' ' + lower(tr.el[static_cast<std::size_t>(y.path[d])].cls);
      }
    }
  }
  if (lay.callKey.empty()) return std::nullopt;
  // The call may also stand in the markup before it (a link to the station's page): a second
  // place to take it from, which lets a record begin before the link.
  for (Unit& u : lay.units) {
    const auto c = u.fields.find(lay.callKey);
    if (c == u.fields.end()) continue;
    const std::string_view call = t.substr(c->second.start, c->second.end - c->second.start);
    for (std::size_t p = t.find(call, u.start); p != kNpos && p < c->second.start;
         p = t.find(call, p + 1)) {
      // In a link "/dx/JA1ABC" the slash before it is no part of it.
      if ((p > 0 && isCallChar(t[p - 1]) && t[p - 1] != '/') || isCallChar(t[p + call.size()]))
        continue;
      u.fields[kCallInMarkup] = Range{p, p + call.size()};
      break;
    }
  }
  // Table headings: the last row before the first record that holds no call.
  const Element& firstTop = tr.el[static_cast<std::size_t>(lay.units.front().firstChild)];
  if (firstTop.name == "tr" && !lay.groups) {
    int heading = -1;
    for (std::size_t c = 0; c < container.children.size(); ++c) {
      const int ch = container.children[c];
      if (ch == lay.units.front().firstChild) break;
      if (tr.el[static_cast<std::size_t>(ch)].name == "tr") heading = ch;
    }
    // A heading row may sit in a <thead> before the <tbody> of the records.
    if (heading < 0 && container.name == "tbody" && container.parent >= 0) {
      for (int sib : tr.el[static_cast<std::size_t>(container.parent)].children) {
        const Element& s = tr.el[static_cast<std::size_t>(sib)];
        if (s.name == "thead" && !s.children.empty()) heading = s.children.back();
      }
    }
    if (heading >= 0) {
      const Element& h = tr.el[static_cast<std::size_t>(heading)];
      // Column number of each field: the place of its cell among the row's cells.
      for (const Unit& u : lay.units) {
        const Element& row = tr.el[static_cast<std::size_t>(u.firstChild)];
        for (const auto& [key, range] : u.fields) {
          if (lay.hints[key].find('\x01') != std::string::npos) continue;
          for (std::size_t c = 0; c < row.children.size() && c < h.children.size(); ++c) {
            const Element& cell = tr.el[static_cast<std::size_t>(row.children[c])];
            if (cell.start <= range.start && range.start < cell.end) {
              lay.hints[key] += " \x01" + headingText(t, tr, h.children[c]);
              break;
            }
          }
        }
      }
    }
  }
  return lay;
}

// Words in class names and headings that name a field (ASCII, and Japanese in Shift-JIS and
// UTF-8).
std::optional<Role> roleFromHint(std::string_view hint) {
  struct Word {
    const char* word;
    Role role;
  };
  static const Word words[] = {
      {"spotter", Role::Spotter}, {"spotby", Role::Spotter}, {"spot-by", Role::Spotter},
      {"reporter", Role::Spotter}, {"\x95\xf1\x8d\x90", Role::Spotter},
      {"\xe5\xa0\xb1\xe5\x91\x8a", Role::Spotter},
      {"freq", Role::Freq}, {"qrg", Role::Freq}, {"khz", Role::Freq}, {"mhz", Role::Freq},
      {"\x8e\xfc\x94\x67\x90\x94", Role::Freq}, {"\xe5\x91\xa8\xe6\xb3\xa2\xe6\x95\xb0", Role::Freq},
      {"mode", Role::Mode}, {"\x83\x82\x81\x5b\x83\x68", Role::Mode},
      {"\xe3\x83\xa2\xe3\x83\xbc\xe3\x83\x89", Role::Mode},
      {"date", Role::Date}, {"\x93\xfa\x95\x74", Role::Date}, {"\xe6\x97\xa5\xe4\xbb\x98", Role::Date},
      {"time", Role::Time}, {"utc", Role::Time}, {"\x8e\x9e\x8d\x8f", Role::Time},
      {"\xe6\x99\x82\xe5\x88\xbb", Role::Time},
      {"comment", Role::Comment}, {"cmt", Role::Comment}, {"remark", Role::Comment},
      {"info", Role::Comment}, {"memo", Role::Comment}, {"note", Role::Comment},
      {"\x83\x52\x83\x81\x83\x93\x83\x67", Role::Comment},
      {"\xe3\x82\xb3\xe3\x83\xa1\xe3\x83\xb3\xe3\x83\x88", Role::Comment},
      {"\x94\xf5\x8d\x6c", Role::Comment}, {"\xe5\x82\x99\xe8\x80\x83", Role::Comment},
      {"jcc", Role::Code}, {"jcg", Role::Code}, {"code", Role::Code},
      {"qth", Role::Qth}, {"loc", Role::Qth}, {"grid", Role::Qth},
      {"\x8f\xea\x8f\x8a", Role::Qth}, {"\xe5\xa0\xb4\xe6\x89\x80", Role::Qth},
      {"dist", Role::Distance},
  };
  for (const Word& w : words)
    if (hint.find(w.word) != kNpos) return w.role;
  return std::nullopt;
}

struct FieldRole {
  std::string key;
  Role role;
};

// Names the fields by the shape of their values, then by class names and headings.
std::vector<FieldRole> nameFields(std::string_view t, const Layout& lay,
                                  const std::string& freqKey) {
  std::vector<FieldRole> out{{lay.callKey, Role::Call}, {kCallInMarkup, Role::Call}};
  std::set<std::string> taken{lay.callKey, kCallInMarkup};
  std::set<Role> done{Role::Call};
  struct Stats {
    std::size_t present = 0, filled = 0, call = 0, freq = 0, time = 0, date = 0, dateTime = 0,
                mode = 0, distance = 0, code = 0, grid = 0, texty = 0;
  };
  std::map<std::string, Stats> stats;
  std::vector<std::string> order;  // keys in the order they first appear
  for (const Unit& u : lay.units) {
    for (const auto& [key, r] : u.fields) {
      if (key == kCallInMarkup) continue;
      if (!stats.contains(key)) order.push_back(key);
      Stats& s = stats[key];
      ++s.present;
      const std::string_view v = t.substr(r.start, r.end - r.start);
      if (v.empty()) continue;
      ++s.filled;
      if (looksLikeCall(v)) ++s.call;
      if (frequencyKHz(v)) ++s.freq;
      if (looksLikeTime(v)) ++s.time;
      if (looksLikeDate(v)) ++s.date;
      if (looksLikeDateTime(v)) ++s.dateTime;
      if (looksLikeMode(v)) ++s.mode;
      if (looksLikeDistance(v)) ++s.distance;
      if (looksLikeCode(v)) ++s.code;
      if (looksLikeGrid(v)) ++s.grid;
      if (v.find(' ') != kNpos || static_cast<unsigned char>(v[0]) >= 0x80 || v.size() > 12)
        ++s.texty;
    }
  }
  std::sort(order.begin(), order.end(), [&](const std::string& a, const std::string& b) {
    return lay.units[lay.exampleUnit].fields.contains(a) &&
                   lay.units[lay.exampleUnit].fields.contains(b)
               ? lay.units[lay.exampleUnit].fields.at(a).start <
                     lay.units[lay.exampleUnit].fields.at(b).start
               : a < b;
  });
  const auto take = [&](const std::string& key, Role r) {
    if (taken.contains(key) || done.contains(r)) return false;
    if ((r == Role::Date || r == Role::DateTime) && (done.contains(Role::DateTime))) return false;
    if (r == Role::DateTime && done.contains(Role::Time)) r = Role::Date;
    out.push_back({key, r});
    taken.insert(key);
    done.insert(r);
    return true;
  };
  if (!freqKey.empty()) take(freqKey, Role::Freq);
  const auto share = [](std::size_t n, std::size_t of) { return of > 0 && n * 10 >= of * 6; };
  // Frequency: the most frequency-like field.
  if (!done.contains(Role::Freq)) {
    std::string best;
    std::size_t bestN = 0;
    for (const auto& key : order) {
      const Stats& s = stats[key];
      if (taken.contains(key) || !share(s.freq, s.filled)) continue;
      const std::size_t n = s.freq * 2 + (roleFromHint(lay.hints.at(key)) == Role::Freq ? 1 : 0);
      if (n > bestN) bestN = n, best = key;
    }
    if (!best.empty()) take(best, Role::Freq);
  }
  // Shapes that say enough by themselves.
  for (const auto& key : order) {
    const Stats& s = stats[key];
    if (taken.contains(key) || s.filled == 0) continue;
    if (share(s.dateTime, s.filled)) take(key, Role::DateTime);
    else if (share(s.time, s.filled)) take(key, Role::Time);
    else if (share(s.date, s.filled)) take(key, Role::Date);
    else if (share(s.mode, s.filled)) take(key, Role::Mode);
    else if (share(s.distance, s.filled)) take(key, Role::Distance);
    else if (share(s.call, s.filled)) take(key, Role::Spotter);
  }
  // Class names and headings for the rest.
  for (const auto& key : order) {
    if (taken.contains(key) || stats[key].filled == 0) continue;
    if (const auto r = roleFromHint(lay.hints.at(key))) {
      if (*r == Role::Freq || *r == Role::Time || *r == Role::Date) continue;
      take(key, *r);
    }
  }
  for (const auto& key : order) {
    const Stats& s = stats[key];
    if (taken.contains(key) || s.filled == 0) continue;
    if (share(s.grid, s.filled)) take(key, Role::Qth);
    else if (share(s.code, s.filled)) take(key, Role::Code);
  }
  // A comment: the first field of free text.
  if (!done.contains(Role::Comment)) {
    for (const auto& key : order) {
      const Stats& s = stats[key];
      if (taken.contains(key) || s.filled * 5 < lay.units.size() || s.texty * 2 < s.filled)
        continue;
      take(key, Role::Comment);
      break;
    }
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Cutting and the markup around each value.

struct Cut {
  std::vector<std::size_t> at;  // where each record starts in the page text
  std::vector<std::string> records;
};

Cut cutAt(std::string_view t, const std::string& start, const std::string& end) {
  CutPage page = cutRecords(t, start, end);
  Cut c;
  std::size_t offset = 0;
  std::size_t total = 0;
  for (const std::string& line : page.Memo1) total += line.size();
  const bool contiguous = total == t.size();
  std::size_t r = 0;
  for (const std::string& line : page.Memo1) {
    if (!contiguous) offset = t.find(line, offset);
    if (r < page.Memo2.size() && offset != kNpos && text::find(line, start) == 1) {
      c.at.push_back(offset);
      c.records.push_back(line);
      ++r;
    }
    if (offset == kNpos) break;
    offset += line.size();
  }
  return c;
}

// The record that holds page position p, or -1.
long recordOf(const Cut& c, std::size_t p) {
  auto it = std::upper_bound(c.at.begin(), c.at.end(), p);
  if (it == c.at.begin()) return -1;
  const std::size_t r = static_cast<std::size_t>(it - c.at.begin() - 1);
  return p <= c.at[r] + c.records[r].size() ? static_cast<long>(r) : -1;
}

struct Line {
  std::string prefix, suffix;
  std::size_t right = 0, wrong = 0;
};

// The shortest prefix and suffix, each made of whole tags and the text up to the value, whose
// first occurrences in the records stand right at the value.
std::optional<Line> fitLine(const Cut& c, const Layout& lay, const std::string& key) {
  struct Place {
    long record;
    std::size_t s, e;  // in the record
  };
  std::vector<std::optional<Place>> places;  // per record of the layout; nullopt: no field
  std::size_t outside = 0;
  for (const Unit& u : lay.units) {
    const long r = recordOf(c, u.call);
    const auto f = u.fields.find(key);
    if (r < 0 || f == u.fields.end()) {
      places.emplace_back(std::nullopt);
      continue;
    }
    const std::size_t base = c.at[static_cast<std::size_t>(r)];
    const std::size_t size = c.records[static_cast<std::size_t>(r)].size();
    if (f->second.start < base || f->second.end > base + size) {
      ++outside;
      places.emplace_back(std::nullopt);
      continue;
    }
    places.push_back(Place{r, f->second.start - base, f->second.end - base});
  }
  // The reference: the example's record when the field is there, else the first that has it.
  std::optional<Place> ref = places[lay.exampleUnit];
  for (std::size_t i = 0; !ref && i < places.size(); ++i) ref = places[i];
  if (!ref) return std::nullopt;
  const std::string_view refRec = c.records[static_cast<std::size_t>(ref->record)];
  const std::string_view refLeft = refRec.substr(0, ref->s), refRight = refRec.substr(ref->e);
  // For each record, the lengths of the piece of markup (taken from the reference, before or
  // after the value) that sit right at the value and nowhere earlier in the record: from the
  // shortest that does up to as far as the record agrees with the reference. The piece's first
  // occurrence only moves towards the value as it grows, so the shortest is found by halving.
  struct Span {
    std::size_t from = 1, to = 0;
  };
  const auto spans = [&](bool before) {
    std::vector<Span> out;
    const std::string_view refSide = before ? refLeft : refRight;
    for (const auto& p : places) {
      if (!p) continue;
      const std::string_view rec = c.records[static_cast<std::size_t>(p->record)];
      const std::string_view side = before ? rec.substr(0, p->s) : rec.substr(p->e);
      std::size_t agree = 0;
      const std::size_t most = std::min({refSide.size(), side.size(), kMaxContext});
      while (agree < most && (before ? side[side.size() - 1 - agree] ==
                                           refSide[refSide.size() - 1 - agree]
                                     : side[agree] == refSide[agree]))
        ++agree;
      const auto right = [&](std::size_t len) {
        const std::string_view piece =
            before ? side.substr(side.size() - len) : side.substr(0, len);
        return text::find(rec, piece) == (before ? p->s - len : p->e) + 1;
      };
      Span sp;
      if (agree > 0 && right(agree)) {
        std::size_t lo = 1, hi = agree;
        while (lo < hi) {
          const std::size_t mid = (lo + hi) / 2;
          if (right(mid)) hi = mid;
          else lo = mid + 1;
        }
        sp = Span{lo, agree};
      }
      out.push_back(sp);
    }
    return out;
  };
  // The length with most records right; among those the shortest made of whole tags (a tag
  // begins it, or ends just before the value...), else the shortest.
  const auto choose = [&](bool before) -> std::string {
    const std::string_view refSide = before ? refLeft : refRight;
    const std::vector<Span> sp = spans(before);
    const std::size_t most = std::min(refSide.size(), kMaxContext);
    std::size_t bestN = 0, bestLen = 0;
    int bestWhole = 0;
    for (std::size_t len = 1; len <= most; ++len) {
      std::size_t n = 0;
      for (const Span& s : sp) n += s.from <= len && len <= s.to;
      const std::size_t edge = before ? refSide.size() - len : len;
      // 2: a tag begins the prefix or ends the suffix; 1: it stops at a tag; 0: neither.
      const int whole = before ? (refSide[edge] == '<'                       ? 2
                                  : edge > 0 && refSide[edge - 1] == '>' ? 1
                                                                         : 0)
                               : (refSide[edge - 1] == '>'                           ? 2
                                  : edge < refSide.size() && refSide[edge] == '<' ? 1
                                                                                  : 0);
      if (n > bestN || (n == bestN && n > 0 && whole > bestWhole)) {
        bestN = n;
        bestLen = len;
        bestWhole = whole;
      }
    }
    if (bestN == 0) return {};
    return std::string(before ? refSide.substr(refSide.size() - bestLen)
                              : refSide.substr(0, bestLen));
  };
  Line best;
  best.prefix = choose(true);
  best.suffix = choose(false);
  if (best.prefix.empty() || best.suffix.empty()) return std::nullopt;
  // How the line does in every record of the layout, as fillSlots() applies it.
  for (std::size_t i = 0; i < places.size(); ++i) {
    const auto& p = places[i];
    const long r = p ? p->record : recordOf(c, lay.units[i].call);
    if (r < 0) {
      ++best.wrong;
      continue;
    }
    const std::string_view rec = c.records[static_cast<std::size_t>(r)];
    const std::size_t m = text::find(rec, best.prefix), q = text::find(rec, best.suffix);
    const bool gives = m >= 1 && m < q;
    if (p) {
      const bool right = gives && m - 1 + best.prefix.size() == p->s && q - 1 == p->e;
      ++(right ? best.right : best.wrong);
    } else {
      const bool quiet = !gives || q <= m + best.prefix.size();
      ++(quiet && !lay.units[i].fields.contains(key) ? best.right : best.wrong);
    }
  }
  best.wrong += outside;
  return best;
}

std::string commonPrefix(const std::vector<std::string_view>& v) {
  if (v.empty()) return {};
  std::size_t n = v[0].size();
  for (const auto& s : v) {
    std::size_t i = 0;
    while (i < n && i < s.size() && s[i] == v[0][i]) ++i;
    n = i;
  }
  return std::string(v[0].substr(0, std::min(n, kMaxSeparator)));
}

std::string commonSuffix(const std::vector<std::string_view>& v) {
  if (v.empty()) return {};
  std::size_t n = v[0].size();
  for (const auto& s : v) {
    std::size_t i = 0;
    while (i < n && i < s.size() && s[s.size() - 1 - i] == v[0][v[0].size() - 1 - i]) ++i;
    n = i;
  }
  return std::string(v[0].substr(v[0].size() - n));
}

// Start separators: the common beginning of the opening tags of each record, and of the
// elements on the way down to its call (so that a record can also start at the call).
std::vector<std::string> startCandidates(std::string_view t, const Tree& tr,
                                         const std::vector<Item>& items, const Layout& lay) {
  std::vector<std::string> out;
  const auto add = [&](std::string s) {
    // Whole words only: never end inside a tag name.
    if (s.size() < 2 || s.find('\0') != std::string::npos) return;
    if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(std::move(s));
  };
  std::vector<std::string_view> opens;
  for (const Unit& u : lay.units) {
    const Element& e = tr.el[static_cast<std::size_t>(u.firstChild)];
    opens.push_back(t.substr(e.start, e.openEnd - e.start));
  }
  add(commonPrefix(opens));
  // Elements that enclose each record's call, below the record's first element.
  std::vector<std::vector<std::string_view>> levels;
  for (const Unit& u : lay.units) {
    std::vector<std::string_view> chain;
    // Walk from the element holding the call up to the record's first element.
    int e = -1;
    const auto it = std::upper_bound(items.begin(), items.end(), u.call,
                                     [](std::size_t p, const Item& i) { return p < i.start; });
    if (it != items.begin()) e = std::prev(it)->element;
    while (e > 0 && e != u.firstChild && tr.el[static_cast<std::size_t>(e)].start >= u.start) {
      const Element& el = tr.el[static_cast<std::size_t>(e)];
      chain.push_back(t.substr(el.start, el.openEnd - el.start));
      e = el.parent;
    }
    std::reverse(chain.begin(), chain.end());
    if (levels.empty()) levels.resize(chain.size());
    for (std::size_t d = 0; d < chain.size() && d < levels.size(); ++d)
      levels[d].push_back(chain[d]);
  }
  for (const auto& l : levels)
    if (l.size() == lay.units.size()) add(commonPrefix(l));
  return out;
}

std::vector<std::string> endCandidates(std::string_view t, const Tree& tr, const Layout& lay) {
  std::vector<std::string> out;
  const auto add = [&](std::string s) {
    if (s.size() > kMaxSeparator) s = s.substr(s.size() - kMaxSeparator);
    if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(std::move(s));
  };
  std::vector<std::string_view> texts;
  for (const Unit& u : lay.units) texts.push_back(t.substr(u.start, u.end - u.start));
  const std::string tail = commonSuffix(texts);
  // The last one, two and three tags of the records' common ending.
  std::size_t tags = 0;
  for (std::size_t k = tail.size(); k-- > 0 && tags < 3;) {
    if (tail[k] != '<') continue;
    ++tags;
    add(tail.substr(k));
  }
  const Element& c = tr.el[static_cast<std::size_t>(lay.container)];
  if (c.closeStart < c.end) add(std::string(t.substr(c.closeStart, c.end - c.closeStart)));
  add("");
  return out;
}

struct Proposal {
  std::string start, end;
  std::vector<std::pair<FieldRole, Line>> lines;
  long long score = -1;
  std::size_t callRight = 0, freqRight = 0;
};

Proposal propose(std::string_view t, const Layout& lay, const std::vector<FieldRole>& roles,
                 const std::string& start, const std::string& end) {
  Proposal p;
  p.start = start;
  p.end = end;
  const Cut c = cutAt(t, start, end);
  if (c.records.empty()) return p;
  p.score = 0;
  std::set<long> used;
  for (const Unit& u : lay.units) used.insert(recordOf(c, u.call));
  for (const FieldRole& fr : roles) {
    auto line = fitLine(c, lay, fr.key);
    if (!line) continue;
    if (fr.role == Role::Call && !p.lines.empty() && p.lines.front().first.role == Role::Call) {
      // The call from the markup before it, when that does better than from its text.
      if (line->right <= p.lines.front().second.right) continue;
      p.score -= 1000 * static_cast<long long>(p.lines.front().second.right);
      p.lines.erase(p.lines.begin());
    }
    // A line that is wrong more often than right would do harm.
    if (line->right <= line->wrong && fr.role != Role::Call) continue;
    const long long weight = fr.role == Role::Call ? 1000 : fr.role == Role::Freq ? 400 : 10;
    p.score += weight * static_cast<long long>(line->right);
    if (fr.role == Role::Call) p.callRight = line->right;
    if (fr.role == Role::Freq) p.freqRight = line->right;
    p.lines.emplace_back(fr, *line);
  }
  // Records that belong to no spot count against: a little when they give no call (a heading
  // row, a footer), as much as a right call when they give one (a cut inside the spots).
  const Line* callLine = nullptr;
  for (const auto& [fr, line] : p.lines)
    if (fr.role == Role::Call) callLine = &line;
  for (std::size_t r = 0; r < c.records.size(); ++r) {
    if (used.contains(static_cast<long>(r))) continue;
    bool givesCall = false;
    if (callLine) {
      const std::size_t m = text::find(c.records[r], callLine->prefix);
      const std::size_t q = text::find(c.records[r], callLine->suffix);
      givesCall = m >= 1 && q > m + callLine->prefix.size();
    }
    p.score -= givesCall ? 1000 : 1;
  }
  return p;
}

std::string percent(std::size_t n, std::size_t of) {
  return std::to_string(of ? (n * 100 + of / 2) / of : 0) + " %";
}

// The page shape the built-in separators and template were made for.
std::optional<TemplateGuess> defaultShape(std::string_view t, const GuessExample& ex) {
  if (text::find(t, "<LineStart>") == 0) return std::nullopt;
  std::string want = "<CallSignTo>" + ex.call + "</CallSignTo>";
  const std::string lt = lower(t), lw = lower(want);
  if (lt.find(lw) == kNpos) return std::nullopt;
  TemplateGuess g;
  g.sepStart = "<LineStart>";
  g.sepEnd = "</LineEnd>";
  g.templateLines = defaultExtractionTemplate();
  g.found = true;
  g.notes.push_back("このプログラムの既定の形のページです。既定の区切りと抽出条件をそのまま使います。");
  return g;
}

void checkOnPage(std::string_view t, TemplateGuess& g) {
  const Cut c = cutAt(t, g.sepStart, g.sepEnd);
  const CompiledTemplate compiled = compileTemplate(g.templateLines);
  platform::NullMessagePump pump;
  g.records = static_cast<int>(c.records.size());
  g.recordsWithCall = 0;
  for (const std::string& r : c.records) {
    const ExtractionSlots s = fillSlots(r, compiled, RoleSlots{}, pump);
    if (looksLikeCall(upper(text::trim(s[4])))) ++g.recordsWithCall;
  }
}

}  // namespace

TemplateGuess guessTemplate(std::string_view page, const GuessExample& example) {
  TemplateGuess g;
  const std::string call(text::trim(example.call));
  const std::string freq(text::trim(example.frequency));
  if (call.empty()) {
    g.notes.push_back("例のコールサインを入れてください。");
    return g;
  }
  std::string t = decodeEntities(page);
  t.erase(std::remove_if(t.begin(), t.end(), [](char c) { return c == '\r' || c == '\n'; }),
          t.end());
  if (auto d = defaultShape(t, {call, freq})) {
    checkOnPage(t, *d);
    return *d;
  }

  const Tree tr = parseTree(t);
  const std::vector<Item> items = collectItems(tr, t);
  // The example: the first value holding the call as a word of its own (case aside), and with
  // a frequency given, the first such value with that frequency soon after or before it.
  std::vector<std::size_t> hits;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Item& it = items[i];
    for (std::size_t p = it.start; p + call.size() <= it.end; ++p) {
      if (!sameTextFolded(std::string_view(t).substr(p, call.size()), call)) continue;
      const bool leftOk = p == it.start || !isCallChar(t[p - 1]);
      const bool rightOk = p + call.size() == it.end || !isCallChar(t[p + call.size()]);
      if (leftOk && rightOk) {
        hits.push_back(i);
        break;
      }
    }
  }
  if (hits.empty()) {
    g.notes.push_back("例のコールサイン「" + call +
                      "」がページの文字の中に見つかりません（タグの中や別の綴りではありませんか）。");
    return g;
  }
  std::size_t exampleItem = hits.front();
  if (!freq.empty()) {
    for (std::size_t h : hits) {
      const std::size_t from = items[h].start > 3000 ? items[h].start - 3000 : 0;
      if (t.find(freq, from) != kNpos && t.find(freq, from) < items[h].end + 3000) {
        exampleItem = h;
        break;
      }
    }
  }
  const Item& x = items[exampleItem];
  const bool narrowCall =
      !sameTextFolded(std::string_view(t).substr(x.start, x.end - x.start), call);
  const auto layout = findLayout(t, tr, items, exampleItem, narrowCall);
  if (!layout || layout->units.size() < 2) {
    g.notes.push_back("「" + call +
                      "」の周りの書き方を繰り返すレコードが見つかりません（同じ形のコールサインが他にありません）。");
    return g;
  }
  Layout lay = *layout;

  // The frequency field: where the example's record shows the given text, else by shape.
  std::string freqKey;
  if (!freq.empty()) {
    const Unit& u = lay.units[lay.exampleUnit];
    for (const auto& [key, r] : u.fields) {
      const std::string_view v = std::string_view(t).substr(r.start, r.end - r.start);
      if (v.find(freq) == kNpos || key == lay.callKey) continue;
      freqKey = key;
      if (v != freq) {  // only part of the value: the number in each record
        for (Unit& w : lay.units) {
          const auto f = w.fields.find(key);
          if (f == w.fields.end()) continue;
          if (const auto n = numberIn(t, f->second.start, f->second.end)) f->second = *n;
        }
      }
      break;
    }
    if (freqKey.empty())
      g.notes.push_back("周波数「" + freq + "」が例のレコードに見つからないため、値の形から探しました。");
  }
  const std::vector<FieldRole> roles = nameFields(t, lay, freqKey);

  Proposal best;
  for (const std::string& s : startCandidates(t, tr, items, lay)) {
    for (const std::string& e : endCandidates(t, tr, lay)) {
      Proposal p = propose(t, lay, roles, s, e);
      if (p.score > best.score) best = std::move(p);
    }
  }
  const std::size_t units = lay.units.size();
  // A proposal that misses the call in more than one record in five is no help.
  if (best.score < 0 || best.callRight * 5 < units * 4) {
    g.notes.push_back(
        "レコードは " + std::to_string(units) +
        " 件見つかりましたが、コールサインの前後に、どのレコードでもそこにしかない印がありません。"
        "class などの目印のない表の列は、先頭の列しか取り出せません。");
    return g;
  }
  g.found = true;
  g.sepStart = best.start;
  g.sepEnd = best.end;
  std::sort(best.lines.begin(), best.lines.end(), [](const auto& a, const auto& b) {
    return slotOf(a.first.role) < slotOf(b.first.role);
  });
  std::string fields;
  for (const auto& [fr, line] : best.lines) {
    g.templateLines.push_back(line.prefix + slotTag(slotOf(fr.role)) + line.suffix);
    fields += std::string(fields.empty() ? "" : "、") + roleName(fr.role) + " " +
              slotTag(slotOf(fr.role));
  }
  const Element& first = tr.el[static_cast<std::size_t>(lay.units.front().firstChild)];
  std::string shape = lay.groups ? "続く要素の組 (<" + first.name + "> から)"
                      : first.name == "tr" ? "表の行 (<tr>)"
                                           : "要素 <" + first.name + ">";
  g.notes.push_back(shape + " を 1 件として、" + std::to_string(units) + " 件のレコードを見つけました。");
  g.notes.push_back("取り出す値: " + fields + "。");
  g.notes.push_back("コールサインは " + std::to_string(best.callRight) + " 件 (" +
                    percent(best.callRight, units) + ")、周波数は " +
                    std::to_string(best.freqRight) + " 件 (" + percent(best.freqRight, units) +
                    ") で正しく取り出せます。");
  if (best.freqRight == 0) g.notes.push_back("周波数の欄は見つかりませんでした。");
  checkOnPage(t, g);
  return g;
}

}  // namespace zeltaro::spots
