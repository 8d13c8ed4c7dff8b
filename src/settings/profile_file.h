// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings file: a private-profile (INI) file of CP932 bytes, "[Section]" lines followed by
// "Key=Value" lines. One ProfileFile is one load of the file; reads and writes work on the
// lines in memory and save() replaces the file on disk in one step.
//
// Reading rules:
// - Sections and keys match without regard to case (A-Z only). When a section or a key occurs
//   twice, the first one is used, for reading and for writing.
// - Lines before the first section belong to no section and are never found; lines whose first
//   non-blank character is ";" are comments; lines without "=" are not keys. All of them are
//   kept as they are.
// - A key line is split at its first "="; the key and the value lose their surrounding blanks
//   and control characters. A value enclosed in a pair of double quotes loses the quotes and
//   keeps what is inside them. "Key=" holds the empty value, which is not the default.
// - Line breaks are CR LF, LF or a lone CR; the file is written with CR LF throughout.
//
// Writing rules:
// - An existing key keeps its line and its spelling; only the value after "=" changes.
// - A missing key goes after the last key line of its section (right after the header when the
//   section has none); a missing section goes at the end of the file, after one blank line when
//   the file is not empty. A file written from scratch thus has the order of the first writes.
// - A value is written up to its first CR, LF or NUL: a line break in a value would otherwise
//   start new lines of its own in the file. Every value so cut is listed by cutValues(), so
//   that the caller can say the save did not keep everything.
// - A single-line value that the file holds longer than kSingleLineLimit, written back as the
//   single-line read cut it, is not written: the file keeps the whole value, and the key is
//   listed by longValuesKept() so that the save can say so.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zeltaro::settings {

// What reading the file found.
enum class LoadState {
  Missing,     // no file: an empty profile; the first save creates the file
  Loaded,      // read whole
  Unreadable,  // there is something at the path that could not be read; save() refuses
  TooLarge,    // larger than kMaxProfileBytes: not read (one line on stderr); save() refuses
};

// A settings file holds a few hundred keys, the log of 200 lines and the watch lists: well
// under 1 MB. A larger file is refused rather than read, so that no load or save of a file
// grown by accident (or by someone else) holds the window.
inline constexpr std::size_t kMaxProfileBytes = 4 * 1024 * 1024;

// Longest value a single-line read returns, in bytes.
inline constexpr std::size_t kSingleLineLimit = 2047;

// An integer as the settings file stores it: an optional "+" or "-", then decimal digits, or
// "0x", "0X" or "$" and one to eight hexadecimal digits taken as a 32-bit pattern ("$80000005"
// is -2147483643). Surrounding blanks are allowed; anything else, trailing text included, and a
// decimal value outside the 32-bit range give nullopt.
std::optional<std::int32_t> parseProfileInt(std::string_view text);

// "%s に書き込めません" in CP932 with path in place of %s: the message shown when a save fails.
std::string cannotWriteMessage(std::string_view path);

// Replaces the file at path with bytes so that, whatever happens meanwhile (a crash, a kill, a
// full disk), the file holds either its old content or the new one: the bytes go to
// "<path>.tmp" in the same folder, which is flushed to disk and renamed over path, and then the
// folder is flushed. A left-over "<path>.tmp" of an interrupted save is replaced by the next
// save. An existing file keeps its permission bits; a file without any write permission bit is
// not replaced (it is read-only to the user, even when we run with rights that could). A path
// that is a symbolic link replaces the file it points to. On failure the old file is untouched,
// the temporary file is removed, false is returned and *error (when given) says why.
bool replaceFileAtomically(const std::string& path, std::string_view bytes,
                           std::string* error = nullptr);

// The reason given for a save whose values were cut: "values cut at a line break or NUL:
// [Inet] Log, ...".
std::string describeCutValues(const std::vector<std::string>& cut);
// ... and for one that left long values as the file holds them.
std::string describeLongValues(const std::vector<std::string>& kept);

class ProfileFile {
 public:
  // An empty profile that will be saved to path.
  ProfileFile() = default;
  // Reads the file at path (see LoadState).
  explicit ProfileFile(std::string path);
  // The profile that reading bytes from a file at path gives (nothing is read from disk).
  static ProfileFile fromBytes(std::string path, std::string_view bytes);

  const std::string& path() const { return path_; }
  LoadState loadState() const { return state_; }
  bool exists() const { return state_ != LoadState::Missing; }

  // The stored value (blanks trimmed, one pair of enclosing double quotes removed), whole, or
  // nullopt when the section or key is missing.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  bool hasKey(std::string_view section, std::string_view key) const {
    return value(section, key).has_value();
  }

  // Single-line read: cut to kSingleLineLimit bytes (one byte less when the cut would split a
  // double-byte character); a cut value is listed by cutOnRead().
  std::string readString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  // Multi-line texts: the whole value, no limit.
  std::string readMultiline(std::string_view section, std::string_view key,
                            std::string_view fallback) const;
  // parseProfileInt of the value; fallback when missing or not an integer.
  std::int32_t readInt(std::string_view section, std::string_view key, std::int32_t fallback) const;
  // True when the value is a non-zero integer; fallback when missing or not an integer.
  bool readBool(std::string_view section, std::string_view key, bool fallback) const;

  // Any text up to its first line break (the multi-line values, already escaped).
  void writeString(std::string_view section, std::string_view key, std::string_view text);
  // A single-line value: as writeString, but a stored value longer than kSingleLineLimit is not
  // replaced by its own cut (see the writing rules).
  void writeLine(std::string_view section, std::string_view key, std::string_view text);
  // A single-line value enclosed in double quotes, so that surrounding blanks survive a reload.
  void writeQuoted(std::string_view section, std::string_view key, std::string_view text);
  // A multi-line value (already escaped) enclosed in double quotes: the log.
  void writeQuotedMultiline(std::string_view section, std::string_view key, std::string_view text);
  void writeInt(std::string_view section, std::string_view key, std::int64_t number);
  void writeBool(std::string_view section, std::string_view key, bool on);

  // "[Section] Key" of every value written so far that was cut at a CR, LF or NUL.
  const std::vector<std::string>& cutValues() const { return cut_; }
  // "[Section] Key" of every single-line read so far that cut its value.
  const std::vector<std::string>& cutOnRead() const { return cutOnRead_; }
  // "[Section] Key" of every long value left as stored instead of written cut.
  const std::vector<std::string>& longValuesKept() const { return longKept_; }

  // The bytes save() writes: every line followed by CR LF.
  std::string content() const;
  // Replaces the file at path() with content() (see replaceFileAtomically). Refused when the
  // file was there but could not be read, so that its unknown keys are not lost.
  bool save(std::string* error = nullptr) const;

 private:
  // A line: one of the file as read (inserted 0), or the inserted-th line added after it.
  struct LinePos {
    std::size_t line = 0;
    std::size_t inserted = 0;
  };
  struct SectionIndex {
    std::size_t header = 0;
    std::optional<LinePos> lastKey;
  };

  static std::string keyId(std::string_view foldedSection, std::string_view key);
  void buildIndex();
  std::string& lineAt(LinePos pos);
  const std::string& lineAt(LinePos pos) const;
  void writeRaw(std::string_view section, std::string_view key, std::string_view stored);
  std::string_view noteCut(std::string_view section, std::string_view key, std::string_view text);
  bool keepsLongValue(std::string_view section, std::string_view key, std::string_view text);

  std::string path_;
  LoadState state_ = LoadState::Missing;
  std::vector<std::string> lines_;
  // Lines added after a line of the file, so that a key added to a large file moves no line.
  std::unordered_map<std::size_t, std::vector<std::string>> inserted_;
  // The first section of each name (folded) and the first key of each name in it: every read
  // and write is one look-up, whatever the file's size.
  std::unordered_map<std::string, SectionIndex> sections_;
  std::unordered_map<std::string, LinePos> keys_;
  std::vector<std::string> cut_;
  mutable std::vector<std::string> cutOnRead_;
  std::vector<std::string> longKept_;
};

}  // namespace zeltaro::settings
