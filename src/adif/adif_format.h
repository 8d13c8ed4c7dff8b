// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ADIF logs, the exchange format every logger of the field reads and writes, parsed from their
// bytes: the tagged text form (ADI: "<CALL:6>JA1ABC ... <EOR>", an optional header up to
// "<EOH>") and the XML form (ADX: <RECORD><CALL>JA1ABC</CALL>...</RECORD>). Only the fields a
// first-QSO check needs are kept. Pure code over bytes: opening the file, following its growth
// and indexing it are AdifDatabase's work.
//
// A file being written (a logger appends a QSO while we read) ends at its last whole record;
// the parse says how far that is, so the next read can start there.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::adif {

enum class Form { Adi, Adx };
enum class Encoding { Utf8, ShiftJis };

// The fields of one record that the check reads, as the file holds them (its encoding).
struct RawRecord {
  std::string call, freq, band, mode, submode, code, comment, notes;
  friend bool operator==(const RawRecord&, const RawRecord&) = default;
};

struct Parsed {
  std::vector<RawRecord> records;
  std::size_t consumed = 0;  // the input's bytes up to the end of its last whole record
};

// What the start of a file says about the whole of it.
struct FileShape {
  Form form = Form::Adi;
  Encoding encoding = Encoding::Utf8;
  std::size_t bodyStart = 0;  // where records may begin: after a BOM and an ADI header
};

// The shape of a file from its first bytes (the whole file, or as much as has been read);
// nothing while an ADI header has not ended yet. The encoding: a UTF-8 byte order mark, then
// the header's own word (an ADX declaration's encoding, a header that names a Shift-JIS
// logger or an "ENCODING" field), then whether the bytes are valid UTF-8.
std::optional<FileShape> shapeOf(std::string_view head);

// The records from `from` (at or after the body's start) on. codeField: the field that holds
// the code, upper case ("CNTY").
Parsed parse(std::string_view bytes, std::size_t from, Form form, std::string_view codeField);

// The longest value a field may claim. Beyond it a tag is junk, not a value still being
// written: no field a logger writes comes near it.
inline constexpr std::size_t kMaxFieldLength = 64 * 1024;

}  // namespace zeltaro::adif
