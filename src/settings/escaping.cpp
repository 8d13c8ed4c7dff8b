// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/escaping.h"

#include "text/base64.h"
#include "text/sjis.h"

namespace zeltaro::settings {
namespace {

constexpr std::size_t kLongestStoredPassword = 76;

std::string escapeLines(std::string_view text) {
  std::string s = text::replaceAll(text, "\r", "\\r");
  s = text::replaceAll(s, "\n", "\\n");
  return text::replaceAll(s, "\"", "\\\"");
}

std::string unescapeLines(std::string_view stored) {
  std::string s = text::replaceAll(stored, "\\r", "\r");
  s = text::replaceAll(s, "\\n", "\n");
  return text::replaceAll(s, "\\\"", "\"");
}

}  // namespace

std::string escapeTemplate(std::string_view text) { return escapeLines(text); }

std::string unescapeTemplate(std::string_view stored) { return unescapeLines(stored); }

std::string escapeList(std::string_view text) {
  return text::replaceAll(escapeLines(text), "\t", " ");
}

std::string unescapeList(std::string_view stored) {
  return text::replaceAll(unescapeLines(stored), "\t", " ");
}

std::string escapeLog(std::string_view text) {
  std::string s = text::replaceAll(text, "\\r", "\\\\r");
  s = text::replaceAll(s, "\\n", "\\\\n");
  return escapeLines(s);
}

std::string unescapeLog(std::string_view stored) {
  std::string out;
  out.reserve(stored.size());
  std::size_t i = 0;
  auto at = [&](std::string_view what) { return stored.substr(i, what.size()) == what; };
  while (i < stored.size()) {
    if (at("\\\\r") || at("\\\\n")) {
      out += '\\';
      out += stored[i + 2];
      i += 3;
    } else if (at("\\r")) {
      out += '\r';
      i += 2;
    } else if (at("\\n")) {
      out += '\n';
      i += 2;
    } else if (at("\\\"")) {
      out += '"';
      i += 2;
    } else {
      const std::size_t n = text::charLength(stored, i);
      out.append(stored.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::string encodePassword(std::string_view password) { return text::base64Encode(password); }

std::string decodePassword(std::string_view stored) {
  while (!stored.empty() && (stored.back() == '\r' || stored.back() == '\n')) {
    stored.remove_suffix(1);
  }
  if (stored.empty() || stored.size() > kLongestStoredPassword) return {};
  std::string visible;
  for (char c : stored) {
    if (static_cast<unsigned char>(c) >= 0x20) visible += c;
  }
  return text::base64Decode(visible);
}

}  // namespace zeltaro::settings
