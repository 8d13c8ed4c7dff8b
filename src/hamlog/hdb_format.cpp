// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/hdb_format.h"

#include <algorithm>
#include <cstring>

#include "hamlog/band.h"
#include "text/sjis.h"

namespace zeltaro::hamlog {

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr unsigned char kDescriptorEnd = 0x0D;

// FLAG bits: a foreign station, whose prefix part may stand in front of the call.
constexpr unsigned kFlagDx = 0x08;
constexpr unsigned kFlagPrefixFirst = 0x02;

unsigned byteAt(std::string_view b, std::size_t i) { return static_cast<unsigned char>(b[i]); }
std::uint32_t le16(std::string_view b, std::size_t i) {
  return byteAt(b, i) | byteAt(b, i + 1) << 8;
}
std::uint32_t le32(std::string_view b, std::size_t i) { return le16(b, i) | le16(b, i + 2) << 16; }

struct Field {
  std::size_t offset = 0;  // within the record
  std::size_t length = 0;
  bool present = false;
};

enum FieldId { kCalls, kIgn, kCode, kFlag, kFreq, kMode, kRmk1, kRmk2, kFieldCount };
constexpr const char* kFieldNames[kFieldCount] = {"CALLS", "IGN",  "CODE", "FLAG",
                                                  "FREQ",  "MODE", "RMK1", "RMK2"};

// A field's bytes up to its first NUL.
std::string_view rawText(std::string_view record, const Field& f) {
  const std::string_view t = record.substr(f.offset, f.length);
  return t.substr(0, t.find('\0'));
}

// ... with trailing blanks removed.
std::string_view fieldText(std::string_view record, const Field& f) {
  std::string_view t = rawText(record, f);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  return t;
}

std::string_view skipBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

// CALLS holds the first 8 characters of the call. IGN holds, left-aligned, the characters of a
// longer call that did not fit and, right-aligned, the portable part; FLAG says whether that
// part follows the call ("JA1ABC/1") or, for a foreign station, stands in front ("KH6/JA1ABC",
// "KH6/JA1ABC/P").
std::string rebuildCall(std::string_view calls, std::string_view ign, unsigned flag) {
  std::string_view overflow;
  if (!ign.empty() && ign.front() != ' ') {
    overflow = ign.substr(0, ign.find(' '));
    ign.remove_prefix(overflow.size());
  }
  std::string_view portable = skipBlanks(ign);
  while (!portable.empty() && portable.back() == ' ') portable.remove_suffix(1);
  const std::string_view base = skipBlanks(calls);
  std::string call;
  if ((flag & kFlagDx) && (flag & kFlagPrefixFirst)) {
    const std::size_t slash = portable.find('/');
    const std::string_view prefix = portable.substr(0, slash);
    if (!prefix.empty()) (call += prefix) += '/';
    (call += base) += overflow;
    if (slash != std::string_view::npos && slash + 1 < portable.size())
      (call += '/') += portable.substr(slash + 1);
  } else {
    (call += base) += overflow;
    if (!portable.empty()) (call += '/') += portable;
  }
  return call;
}

std::vector<IndexEntry> buildIndex(const std::vector<HdbRecord>& records,
                                   std::string_view (*keyText)(const HdbLog&, const HdbRecord&),
                                   const HdbLog& log) {
  std::vector<IndexEntry> index;
  index.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    IndexEntry e = indexKey(keyText(log, records[i]));
    e.record = static_cast<std::uint32_t>(i);
    index.push_back(e);
  }
  std::stable_sort(index.begin(), index.end(), keyLess);
  return index;
}

}  // namespace

bool keyLess(const IndexEntry& a, const IndexEntry& b) {
  const int c = std::memcmp(a.key.data(), b.key.data(), std::min(a.keyLength, b.keyLength));
  if (c != 0) return c < 0;
  return a.keyLength < b.keyLength;
}

IndexEntry indexKey(std::string_view text) {
  IndexEntry e;
  e.keyLength = static_cast<std::uint8_t>(std::min<std::size_t>(text.size(), e.key.size()));
  for (std::size_t i = 0; i < e.keyLength; ++i) {
    const char c = text[i];
    e.key[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return e;
}

std::size_t lowerBound(const std::vector<IndexEntry>& index, const IndexEntry& key) {
  return static_cast<std::size_t>(std::lower_bound(index.begin(), index.end(), key, keyLess) -
                                  index.begin());
}

namespace {

struct Layout {
  HdbHeader header;
  Field fields[kFieldCount];
};

std::optional<Layout> parseLayout(std::string_view b, std::uint64_t fileSize) {
  const std::optional<std::size_t> headerLength = hdbHeaderLength(b);
  if (!headerLength || *headerLength > b.size() || *headerLength > fileSize) return std::nullopt;
  Layout l;
  l.header.count = le32(b, 4);
  l.header.headerLength = *headerLength;
  l.header.width = le16(b, 10);
  const std::size_t width = l.header.width;
  if (width == 0) return std::nullopt;

  std::size_t at = kHeaderSize;
  std::size_t recordOffset = 1;  // after the flag byte
  for (;; at += kDescriptorSize) {
    if (at >= *headerLength) return std::nullopt;  // no end mark inside the header
    if (byteAt(b, at) == kDescriptorEnd) break;
    if (at + kDescriptorSize > *headerLength) return std::nullopt;
    std::string_view name = b.substr(at, 11);
    name = name.substr(0, name.find('\0'));
    const std::size_t length = byteAt(b, at + 16);
    // A field without bytes is no field HAMLOG writes; a table of them would make every byte
    // of the file a record.
    if (length == 0) return std::nullopt;
    for (int id = 0; id < kFieldCount; ++id)
      if (name == kFieldNames[id] && !l.fields[id].present)
        l.fields[id] = {recordOffset, length, true};
    recordOffset += length;
  }
  if (recordOffset > width) return std::nullopt;
  for (const Field& f : l.fields)
    if (!f.present) return std::nullopt;
  if (l.header.count > (fileSize - *headerLength) / width)
    return std::nullopt;  // truncated or lying
  return l;
}

}  // namespace

std::optional<std::size_t> hdbHeaderLength(std::string_view fixedPart) {
  if (fixedPart.size() < kHeaderSize) return std::nullopt;
  const unsigned type = byteAt(fixedPart, 0);
  if (type != 0x03 && type != 0x1A) return std::nullopt;
  const std::size_t length = le16(fixedPart, 8);
  if (length <= kHeaderSize) return std::nullopt;  // not even the descriptors' end mark
  return length;
}

std::optional<HdbHeader> parseHdbHeader(std::string_view headerBytes, std::uint64_t fileSize) {
  const std::optional<Layout> l = parseLayout(headerBytes, fileSize);
  if (!l) return std::nullopt;
  return l->header;
}

std::optional<HdbLog> parseHdb(std::string bytes) {
  const std::string_view b = bytes;
  // Spans are 32-bit offsets; a QSO file of 4 GiB is not one.
  if (b.size() > UINT32_MAX) return std::nullopt;
  const std::optional<Layout> layout = parseLayout(b, b.size());
  if (!layout) return std::nullopt;
  const std::uint64_t count = layout->header.count;
  const std::size_t headerLength = layout->header.headerLength;
  const std::size_t width = layout->header.width;
  const Field* const fields = layout->fields;

  HdbLog log;
  log.records.reserve(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t start = headerLength + i * width;
    const std::string_view record = b.substr(start, width);
    if (record.front() != ' ') continue;  // deleted
    HdbRecord r;
    r.number = static_cast<std::int32_t>(std::min<std::size_t>(i + 1, INT32_MAX));
    const Field& flagField = fields[kFlag];
    unsigned flag = 0;
    if (flagField.length >= 1) flag = byteAt(record, flagField.offset);
    if (flagField.length >= 2) flag |= byteAt(record, flagField.offset + 1) << 8;
    r.call = rebuildCall(fieldText(record, fields[kCalls]), rawText(record, fields[kIgn]), flag);
    auto span = [&](FieldId id) {
      const std::string_view t = fieldText(record, fields[id]);
      return FieldSpan{static_cast<std::uint32_t>(t.data() - b.data()),
                       static_cast<std::uint32_t>(t.size())};
    };
    r.code = span(kCode);
    r.freq = span(kFreq);
    r.mode = span(kMode);
    r.remarks1 = span(kRmk1);
    r.remarks2 = span(kRmk2);
    r.band = bandClassOf(fieldText(record, fields[kFreq]));
    log.records.push_back(std::move(r));
  }
  log.bytes = std::move(bytes);
  log.byCall = buildIndex(
      log.records, [](const HdbLog&, const HdbRecord& r) { return std::string_view(r.call); }, log);
  log.byCode = buildIndex(
      log.records, [](const HdbLog& l, const HdbRecord& r) { return text::trim(l.text(r.code)); },
      log);
  return log;
}

}  // namespace zeltaro::hamlog
