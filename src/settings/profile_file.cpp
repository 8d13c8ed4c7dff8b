// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/regular_file.h"
#include "text/codec.h"
#include "text/errno_text.h"
#include "text/sjis.h"

namespace zeltaro::settings {
namespace {

enum class LineKind { Other, Section, Key };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key lines: the text after the first "=", trimmed
};

ParsedLine parseLine(std::string_view line) {
  const std::string_view t = text::trimLeft(line);
  if (t.empty() || t.front() == ';') return {};
  if (t.front() == '[') {
    // "]" (0x5D) can be the trail byte of a double-byte character, hence the aware find.
    const std::size_t close = text::find(t, "]", 2);
    if (close != 0) return {LineKind::Section, text::trim(t.substr(1, close - 2)), {}};
  }
  // "=" (0x3D) is below the trail-byte range, so a plain search is safe.
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return {};
  return {LineKind::Key, text::trim(t.substr(0, eq)), text::trim(t.substr(eq + 1))};
}

std::string_view unquote(std::string_view v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
  return v;
}

// A value never holds a line break (or a NUL, which ends a C string on other readers).
std::string_view oneLine(std::string_view v) {
  const std::size_t end = v.find_first_of(std::string_view("\r\n\0", 3));
  return end == std::string_view::npos ? v : v.substr(0, end);
}

std::string errnoText(const char* step) { return std::string(step) + ": " + text::errnoText(errno); }

bool fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::optional<std::int32_t> parseProfileInt(std::string_view textIn) {
  std::string_view s = text::trim(textIn);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  bool hex = false;
  if (!s.empty() && s.front() == '$') {
    hex = true;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    hex = true;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  if (hex) {
    std::uint64_t v = 0;
    for (char c : s) {
      int d;
      if (c >= '0' && c <= '9')
        d = c - '0';
      else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
      else
        return std::nullopt;
      v = v * 16 + static_cast<std::uint64_t>(d);
      if (v > 0xFFFFFFFFu) return std::nullopt;
    }
    // Eight digits are a 32-bit pattern: "$80000005" is the negative system colour value.
    const auto bits = static_cast<std::uint32_t>(v);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
  }
  std::int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > std::int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::string cannotWriteMessage(std::string_view path) {
  std::string message = text::sj("%s に書き込めません");
  message.replace(message.find("%s"), 2, path);
  return message;
}

bool replaceFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  std::string target = path;
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    // Replace the file the link names, not the link.
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  const bool existed = ::stat(target.c_str(), &st) == 0;
  mode_t mode = 0666;
  if (existed) {
    if (!S_ISREG(st.st_mode)) return fail(error, target + ": not a regular file");
    // Checked on the mode bits too: a privileged process passes access() for any file.
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
      errno = EACCES;
      return fail(error, errnoText(target.c_str()));
    }
    mode = st.st_mode & 07777;
  }

  // One fixed name: a temporary file left by a killed save is simply replaced by the next one.
  const std::string temp = target + ".tmp";
  if (::unlink(temp.c_str()) != 0 && errno != ENOENT) return fail(error, errnoText(temp.c_str()));
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
  if (fd < 0) return fail(error, errnoText(temp.c_str()));
  auto abandon = [&](const char* step) {
    const std::string why = errnoText(step);
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    return fail(error, temp + ": " + why);
  };
  if (existed && ::fchmod(fd, mode) != 0) return abandon("fchmod");
  if (!writeAll(fd, bytes)) return abandon("write");
  if (::fsync(fd) != 0) return abandon("fsync");
  const int closed = ::close(fd);
  if (closed != 0) {
    const std::string why = errnoText("close");
    ::unlink(temp.c_str());
    return fail(error, temp + ": " + why);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const std::string why = errnoText("rename");
    ::unlink(temp.c_str());
    return fail(error, target + ": " + why);
  }
  // Make the rename itself durable. The new content is in place whatever this returns, and some
  // file systems cannot flush a folder, so its result does not turn the save into a failure.
  const int dir = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

ProfileFile ProfileFile::fromBytes(std::string path, std::string_view bytes) {
  ProfileFile f;
  f.path_ = std::move(path);
  f.lines_ = text::splitLines(bytes);
  f.state_ = LoadState::Loaded;
  f.buildIndex();
  return f;
}

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {
  // A link is followed: a settings file kept elsewhere and linked here is a normal setup.
  const platform::RegularFile file(path_);
  switch (file.status()) {
    case platform::RegularFile::Status::Open:
      break;
    case platform::RegularFile::Status::Missing:
      state_ = LoadState::Missing;
      return;
    default:
      state_ = LoadState::Unreadable;
      return;
  }
  if (file.size() > kMaxProfileBytes) {
    state_ = LoadState::TooLarge;
    std::fprintf(stderr,
                 "zeltaro: %s holds %llu bytes, more than a settings file (%zu at most): not read, "
                 "and not replaced by a save\n",
                 path_.c_str(), static_cast<unsigned long long>(file.size()), kMaxProfileBytes);
    return;
  }
  std::string bytes;
  if (!file.readAt(0, static_cast<std::size_t>(file.size()), bytes)) {
    state_ = LoadState::Unreadable;
    return;
  }
  lines_ = text::splitLines(bytes);
  state_ = LoadState::Loaded;
  buildIndex();
}

std::string ProfileFile::keyId(std::string_view foldedSection, std::string_view key) {
  std::string id(foldedSection);
  id += '\n';  // never part of a name: names come from one line
  id += text::foldAZ(key);
  return id;
}

void ProfileFile::buildIndex() {
  sections_.clear();
  keys_.clear();
  std::string current;  // folded name of the section being read; only its first one counts
  bool inFirst = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const ParsedLine p = parseLine(lines_[i]);
    if (p.kind == LineKind::Section) {
      current = text::foldAZ(p.name);
      inFirst = sections_.try_emplace(current, SectionIndex{i, {}}).second;
    } else if (p.kind == LineKind::Key && inFirst) {
      sections_[current].lastKey = LinePos{i, 0};
      keys_.try_emplace(keyId(current, p.name), LinePos{i, 0});
    }
  }
}

std::string& ProfileFile::lineAt(LinePos pos) {
  return pos.inserted == 0 ? lines_[pos.line] : inserted_[pos.line][pos.inserted - 1];
}

const std::string& ProfileFile::lineAt(LinePos pos) const {
  return pos.inserted == 0 ? lines_[pos.line] : inserted_.at(pos.line)[pos.inserted - 1];
}

std::optional<std::string> ProfileFile::value(std::string_view section,
                                              std::string_view key) const {
  const auto found = keys_.find(keyId(text::foldAZ(section), key));
  if (found == keys_.end()) return std::nullopt;
  return std::string(unquote(parseLine(lineAt(found->second)).value));
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
  std::optional<std::string> v = value(section, key);
  if (!v) return std::string(fallback);
  if (v->size() > kSingleLineLimit) {
    // Cut on a character boundary: a lone lead byte would join whatever follows it.
    std::size_t end = 0;
    while (end < kSingleLineLimit) {
      const std::size_t n = text::charLength(*v, end);
      if (end + n > kSingleLineLimit) break;
      end += n;
    }
    v->resize(end);
    cutOnRead_.push_back("[" + std::string(section) + "] " + std::string(key));
  }
  return *std::move(v);
}

std::string ProfileFile::readMultiline(std::string_view section, std::string_view key,
                                       std::string_view fallback) const {
  std::optional<std::string> v = value(section, key);
  return v ? *std::move(v) : std::string(fallback);
}

std::int32_t ProfileFile::readInt(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
  const std::optional<std::string> v = value(section, key);
  if (!v) return fallback;
  return parseProfileInt(*v).value_or(fallback);
}

bool ProfileFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
  const std::optional<std::string> v = value(section, key);
  if (!v) return fallback;
  const std::optional<std::int32_t> n = parseProfileInt(*v);
  return n ? *n != 0 : fallback;
}

void ProfileFile::writeRaw(std::string_view section, std::string_view key,
                           std::string_view stored) {
  const std::string foldedSection = text::foldAZ(section);
  std::string id = keyId(foldedSection, key);
  if (const auto found = keys_.find(id); found != keys_.end()) {
    // Keep the spelling the file already uses for the key.
    std::string& old = lineAt(found->second);
    std::string line(parseLine(old).name);
    line += '=';
    line += stored;
    old = std::move(line);
    return;
  }
  std::string line(key);
  line += '=';
  line += stored;
  if (const auto s = sections_.find(foldedSection); s != sections_.end()) {
    // After the section's last key (its header when it has none). Lines added there are kept
    // beside that line, so that no line of a large file moves.
    const LinePos after = s->second.lastKey ? *s->second.lastKey : LinePos{s->second.header, 0};
    std::vector<std::string>& added = inserted_[after.line];
    added.push_back(std::move(line));
    const LinePos pos{after.line, added.size()};
    s->second.lastKey = pos;
    keys_.emplace(std::move(id), pos);
    return;
  }
  if (!lines_.empty()) {
    const auto added = inserted_.find(lines_.size() - 1);
    const std::string& last =
        added != inserted_.end() && !added->second.empty() ? added->second.back() : lines_.back();
    if (!text::trim(last).empty()) lines_.emplace_back();
  }
  lines_.push_back("[" + std::string(section) + "]");
  sections_[foldedSection] = SectionIndex{lines_.size() - 1, LinePos{lines_.size(), 0}};
  lines_.push_back(std::move(line));
  keys_.emplace(std::move(id), LinePos{lines_.size() - 1, 0});
}

std::string describeCutValues(const std::vector<std::string>& cut) {
  std::string out = "values cut at a line break or NUL:";
  for (std::size_t i = 0; i < cut.size(); ++i) out += (i == 0 ? " " : ", ") + cut[i];
  return out;
}

std::string describeLongValues(const std::vector<std::string>& kept) {
  std::string out = "values longer than 2047 bytes, cut when read, left as the file holds them:";
  for (std::size_t i = 0; i < kept.size(); ++i) out += (i == 0 ? " " : ", ") + kept[i];
  return out;
}

std::string_view ProfileFile::noteCut(std::string_view section, std::string_view key,
                                      std::string_view text) {
  const std::string_view line = oneLine(text);
  if (line.size() != text.size())
    cut_.push_back("[" + std::string(section) + "] " + std::string(key));
  return line;
}

bool ProfileFile::keepsLongValue(std::string_view section, std::string_view key,
                                 std::string_view text) {
  if (text.size() > kSingleLineLimit) return false;
  const std::optional<std::string> stored = value(section, key);
  if (!stored || stored->size() <= kSingleLineLimit) return false;
  // The value as a single-line read gave it: writing it would lose the stored tail.
  if (text != readString(section, key, {})) return false;
  cutOnRead_.pop_back();  // that read was only this comparison
  longKept_.push_back("[" + std::string(section) + "] " + std::string(key));
  return true;
}

void ProfileFile::writeString(std::string_view section, std::string_view key,
                              std::string_view text) {
  writeRaw(section, key, noteCut(section, key, text));
}

void ProfileFile::writeLine(std::string_view section, std::string_view key,
                            std::string_view text) {
  if (keepsLongValue(section, key, text)) return;
  writeString(section, key, text);
}

void ProfileFile::writeQuoted(std::string_view section, std::string_view key,
                              std::string_view text) {
  if (keepsLongValue(section, key, text)) return;
  writeQuotedMultiline(section, key, text);
}

void ProfileFile::writeQuotedMultiline(std::string_view section, std::string_view key,
                                       std::string_view text) {
  std::string quoted;
  const std::string_view body = noteCut(section, key, text);
  quoted.reserve(body.size() + 2);
  quoted += '"';
  quoted += body;
  quoted += '"';
  writeRaw(section, key, quoted);
}

void ProfileFile::writeInt(std::string_view section, std::string_view key, std::int64_t number) {
  writeRaw(section, key, std::to_string(number));
}

void ProfileFile::writeBool(std::string_view section, std::string_view key, bool on) {
  writeRaw(section, key, on ? "1" : "0");
}

std::string ProfileFile::content() const {
  std::size_t size = 0;
  for (const std::string& line : lines_) size += line.size() + 2;
  for (const auto& [at, added] : inserted_)
    for (const std::string& line : added) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i];
    out += "\r\n";
    if (const auto added = inserted_.find(i); added != inserted_.end()) {
      for (const std::string& line : added->second) {
        out += line;
        out += "\r\n";
      }
    }
  }
  return out;
}

bool ProfileFile::save(std::string* error) const {
  if (state_ == LoadState::Unreadable) {
    return fail(error, path_ + ": could not be read, so it is not replaced");
  }
  if (state_ == LoadState::TooLarge) {
    return fail(error, path_ + ": larger than a settings file, so it was not read and is not replaced");
  }
  return replaceFileAtomically(path_, content(), error);
}

}  // namespace zeltaro::settings
