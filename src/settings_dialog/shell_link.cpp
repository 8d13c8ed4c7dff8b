// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_dialog/shell_link.h"

#include <cstdint>

#include "text/codec.h"

namespace zeltaro::settingsdialog {
namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
// CLSID_ShellLink {00021401-0000-0000-C000-000000000046} as stored (first three fields little
// endian).
constexpr unsigned char kShellLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                               0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint32_t kHasLinkTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kForceNoLinkInfo = 0x100;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;

// Bounds-checked little-endian reads over the file's bytes.
class Bytes {
 public:
  explicit Bytes(std::string_view b) : b_(b) {}
  bool has(std::size_t at, std::size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
  std::optional<std::uint32_t> u16(std::size_t at) const {
    if (!has(at, 2)) return std::nullopt;
    return byte(at) | byte(at + 1) << 8;
  }
  std::optional<std::uint32_t> u32(std::size_t at) const {
    if (!has(at, 4)) return std::nullopt;
    return byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 | byte(at + 3) << 24;
  }
  // A NUL-terminated single-byte string starting at at, ending before limit.
  std::optional<std::string> cString(std::size_t at, std::size_t limit) const {
    limit = std::min(limit, b_.size());
    if (at >= limit) return std::nullopt;
    const std::size_t end = b_.find('\0', at);
    if (end == std::string_view::npos || end >= limit) return std::nullopt;
    return std::string(b_.substr(at, end - at));
  }
  // A NUL-terminated UTF-16LE string, as UTF-8.
  std::optional<std::string> utf16(std::size_t at, std::size_t limit) const {
    limit = std::min(limit, b_.size());
    std::u16string s;
    for (std::size_t i = at; i + 1 < limit; i += 2) {
      const char16_t c = static_cast<char16_t>(byte(i) | byte(i + 1) << 8);
      if (c == 0) return utf8(s);
      s.push_back(c);
    }
    return std::nullopt;
  }
  std::string_view view() const { return b_; }

 private:
  std::uint32_t byte(std::size_t at) const { return static_cast<unsigned char>(b_[at]); }
  static std::string utf8(const std::u16string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
      std::uint32_t c = s[i];
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
        c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  }
  std::string_view b_;
};

// LinkInfo at at: LocalBasePath followed by CommonPathSuffix.
std::optional<std::string> linkInfoPath(const Bytes& b, std::size_t at) {
  const auto size = b.u32(at), headerSize = b.u32(at + 4), flags = b.u32(at + 8);
  const auto baseOffset = b.u32(at + 16), suffixOffset = b.u32(at + 24);
  if (!size || !headerSize || !flags || !baseOffset || !suffixOffset) return std::nullopt;
  if (!(*flags & kVolumeIdAndLocalBasePath) || !b.has(at, *size)) return std::nullopt;
  const std::size_t end = at + *size;
  const auto base = b.cString(at + *baseOffset, end);
  if (!base || base->empty()) return std::nullopt;
  const auto suffix = b.cString(at + *suffixOffset, end);
  std::string path = *base;
  if (suffix && !suffix->empty()) {
    if (path.back() != '\\') path += '\\';
    path += *suffix;
  }
  return path;
}

// The name of a file-entry shell item: the long name of its 0xBEEF0004 extension block, else
// its primary (short) name.
std::optional<std::string> fileEntryName(const Bytes& b, std::size_t at, std::size_t end) {
  const auto primary = b.cString(at + 14, end);
  if (!primary) return std::nullopt;
  std::size_t ext = at + 14 + primary->size() + 1;
  if (ext % 2 != at % 2) ++ext;  // the primary name is padded to an even length
  while (ext + 8 <= end) {
    const auto extSize = b.u16(ext), version = b.u16(ext + 2), signature = b.u32(ext + 4);
    if (!extSize || *extSize < 8 || !b.has(ext, *extSize)) break;
    if (*signature == 0xBEEF0004 && version) {
      std::size_t name = ext + 18;
      if (*version >= 7) name += 18;
      if (*version >= 3) name += 2;
      if (*version >= 9) name += 4;
      if (*version >= 8) name += 4;
      if (auto longName = b.utf16(name, ext + *extSize); longName && !longName->empty())
        return text::cp932FromUtf8(*longName);
    }
    ext += *extSize;
  }
  return primary;
}

// The path spelt by the item ID list at at (after its size field), up to end.
std::optional<std::string> idListPath(const Bytes& b, std::size_t at, std::size_t end) {
  std::string path;
  while (auto itemSize = b.u16(at)) {
    if (*itemSize == 0) break;
    if (*itemSize < 3 || at + *itemSize > end) return std::nullopt;
    const std::size_t itemEnd = at + *itemSize;
    const auto type = static_cast<unsigned char>(b.view()[at + 2]);
    if ((type & 0x70) == 0x20) {  // a volume: "C:\"
      const auto drive = b.cString(at + 3, itemEnd);
      if (!drive) return std::nullopt;
      path = *drive;
    } else if ((type & 0x70) == 0x30 && !path.empty()) {  // a folder or a file
      const auto name = fileEntryName(b, at, itemEnd);
      if (!name) return std::nullopt;
      if (path.back() != '\\') path += '\\';
      path += *name;
    }
    at = itemEnd;
  }
  if (path.size() < 3) return std::nullopt;
  return path;
}

}  // namespace

std::optional<std::string> shellLinkTarget(std::string_view bytes) {
  const Bytes b(bytes);
  if (b.u32(0) != kHeaderSize || !b.has(0, kHeaderSize)) return std::nullopt;
  if (bytes.substr(4, 16) != std::string_view(reinterpret_cast<const char*>(kShellLinkClsid), 16))
    return std::nullopt;
  const std::uint32_t flags = *b.u32(20);
  std::size_t at = kHeaderSize;
  std::optional<std::string> fromIdList;
  if (flags & kHasLinkTargetIdList) {
    const auto size = b.u16(at);
    if (!size || !b.has(at + 2, *size)) return std::nullopt;
    fromIdList = idListPath(b, at + 2, at + 2 + *size);
    at += 2 + *size;
  }
  if ((flags & kHasLinkInfo) && !(flags & kForceNoLinkInfo)) {
    if (auto path = linkInfoPath(b, at)) return path;
  }
  return fromIdList;
}

}  // namespace zeltaro::settingsdialog
