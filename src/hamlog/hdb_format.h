// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// HAMLOG's QSO file hamlog.hdb, parsed from its bytes: a dBase-like file with a 32-byte header
// (type, date, record count, header length, record width), 32-byte field descriptors ended by
// 0x0D, then fixed-width records that each start with a flag byte (blank: live, "*": deleted).
// The widths come from the descriptors because HAMLOG lets the user size several fields.
// Pure code over bytes; opening and caching the file is HdbDatabase's work.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::hamlog {

// A text field of one record: offset and length in the file's bytes, trailing blanks removed.
struct FieldSpan {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

struct HdbRecord {
  std::int32_t number = 0;  // position in the file, counting from 1, deleted records included
  std::string call;         // as HAMLOG shows it, rebuilt from CALLS, IGN and FLAG
  FieldSpan code, freq, mode, remarks1, remarks2;
  int band = 0;  // bandClassOf(freq), worked out once
};

// One entry of an index: the key (at most 6 bytes, half-width letters in upper case) and the
// record it stands for. Entries are sorted by key bytes, equal keys in record order.
struct IndexEntry {
  std::array<char, 6> key{};
  std::uint8_t keyLength = 0;
  std::uint32_t record = 0;  // into HdbLog::records
};

struct HdbLog {
  std::string bytes;               // the whole file
  std::vector<HdbRecord> records;  // live records in file order
  std::vector<IndexEntry> byCall;  // the first 6 characters of the call
  std::vector<IndexEntry> byCode;  // the first 6 characters of the code

  std::string_view text(FieldSpan f) const {
    return std::string_view(bytes).substr(f.offset, f.length);
  }
};

// The fixed part of the header: type, record count, header length, record width.
inline constexpr std::size_t kHdbFixedHeader = 32;

// What a file's header claims, judged before its records are read.
struct HdbHeader {
  std::uint64_t count = 0;       // records, deleted ones included
  std::size_t headerLength = 0;  // header and descriptors, up to the first record
  std::size_t width = 0;         // bytes per record, flag byte included
  // The bytes the header and the records take: all that is ever read of the file.
  std::uint64_t claimedSize() const { return headerLength + count * width; }
};

// The header length the fixed part (kHdbFixedHeader bytes or more) claims, or nothing when
// these bytes cannot start such a file.
std::optional<std::size_t> hdbHeaderLength(std::string_view fixedPart);

// The header in headerBytes (at least its header length), judged against a file of fileSize
// bytes; nothing when it is not a header HAMLOG could have written: an unknown type byte, a
// descriptor table that does not fit, a field of width 0, fields wider than the record, a
// missing field the check needs, or more records than the file holds (a truncated file).
std::optional<HdbHeader> parseHdbHeader(std::string_view headerBytes, std::uint64_t fileSize);

// The log in bytes, or nothing when the header is refused (parseHdbHeader with the bytes'
// size). Bytes after the last counted record (the end-of-file mark, a record HAMLOG is
// appending) are ignored.
std::optional<HdbLog> parseHdb(std::string bytes);

// The key an index stores for a text, and the key a seek looks for: its first 6 bytes with
// half-width letters in upper case.
IndexEntry indexKey(std::string_view text);

// The order of an index: key bytes, a shorter key before the longer ones it begins.
bool keyLess(const IndexEntry& a, const IndexEntry& b);

// Position of the first entry whose key is not below key's (index.size() when there is none).
std::size_t lowerBound(const std::vector<IndexEntry>& index, const IndexEntry& key);

}  // namespace zeltaro::hamlog
