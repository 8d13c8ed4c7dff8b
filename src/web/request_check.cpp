// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/request_check.h"

#include <cctype>

namespace zeltaro::web {
namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

RequestHead refuse(RequestHead h, int status, std::string reason) {
  h.status = status;
  h.reason = std::move(reason);
  return h;
}

// Whether the path stays among the page's own resources: absolute, printable ASCII, no dot
// segment, no backslash, and no escaped slash, backslash or dot that could make one later.
bool safePath(std::string_view path) {
  if (path.empty() || path.front() != '/') return false;
  for (const char c : path)
    if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F || c == '\\')
      return false;
  const std::string low = lower(path);
  for (const char* bad : {"%2f", "%5c", "%2e", "%00", "%25"})
    if (low.find(bad) != std::string::npos) return false;
  std::size_t start = 1;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view segment = path.substr(start, end - start);
    if (segment == "." || segment == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::size_t headEnd(std::string_view data) {
  const std::size_t at = data.find("\r\n\r\n");
  return at == std::string_view::npos ? std::string_view::npos : at + 4;
}

RequestHead checkRequestHead(std::string_view head) {
  RequestHead h;
  if (head.size() > kMaxHeadBytes) return refuse(h, 431, "header fields too large");
  const std::size_t lineEnd = head.find("\r\n");
  if (lineEnd == std::string_view::npos) return refuse(h, 400, "no request line");
  const std::string_view line = head.substr(0, lineEnd);
  const std::size_t sp1 = line.find(' ');
  const std::size_t sp2 = line.rfind(' ');
  if (sp1 == std::string_view::npos || sp2 == sp1) return refuse(h, 400, "bad request line");
  h.method = std::string(line.substr(0, sp1));
  const std::string_view target = line.substr(sp1 + 1, sp2 - sp1 - 1);
  const std::string_view version = line.substr(sp2 + 1);
  if (version != "HTTP/1.1" && version != "HTTP/1.0") return refuse(h, 505, "HTTP/1.x only");
  if (h.method != "GET" && h.method != "POST" && h.method != "HEAD")
    return refuse(h, 405, "method not allowed");
  h.path = std::string(target.substr(0, target.find('?')));
  if (!safePath(h.path)) return refuse(h, 400, "path refused");

  bool upgrade = false, connectionUpgrade = false, lengthSeen = false;
  std::size_t pos = lineEnd + 2;
  while (pos < head.size()) {
    const std::size_t end = head.find("\r\n", pos);
    if (end == std::string_view::npos || end == pos) break;
    const std::string_view field = head.substr(pos, end - pos);
    pos = end + 2;
    const std::size_t colon = field.find(':');
    if (colon == std::string_view::npos || colon == 0) return refuse(h, 400, "bad header field");
    const std::string name = lower(field.substr(0, colon));
    const std::string_view value = trim(field.substr(colon + 1));
    for (const char c : value)
      if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
        return refuse(h, 400, "bad header field");
    if (name == "content-length") {
      if (lengthSeen || value.empty() || value.size() > 12) return refuse(h, 400, "bad length");
      std::size_t n = 0;
      for (const char c : value) {
        if (c < '0' || c > '9') return refuse(h, 400, "bad length");
        n = n * 10 + static_cast<std::size_t>(c - '0');
      }
      lengthSeen = true;
      h.contentLength = n;
    } else if (name == "transfer-encoding") {
      return refuse(h, 411, "a body needs a Content-Length");
    } else if (name == "upgrade") {
      upgrade = lower(value) == "websocket";
    } else if (name == "connection") {
      connectionUpgrade = lower(value).find("upgrade") != std::string::npos;
    } else if (name == "cookie") {
      h.cookie = std::string(value);
    } else if (name == "origin") {
      h.origin = std::string(value);
    } else if (name == "host") {
      h.host = std::string(value);
    }
  }
  if (h.contentLength > kMaxBodyBytes) return refuse(h, 413, "request body larger than 1 MiB");
  if (h.method != "POST" && h.contentLength != 0) return refuse(h, 400, "unexpected body");
  h.webSocket = upgrade && connectionUpgrade && h.method == "GET";
  return h;
}

bool loopbackHost(std::string_view host) {
  std::string h = lower(host);
  if (h.starts_with("[")) {
    const std::size_t close = h.find(']');
    if (close == std::string::npos) return false;
    const std::string rest = h.substr(close + 1);
    if (!rest.empty() && !rest.starts_with(":")) return false;
    return h.substr(1, close - 1) == "::1";
  }
  h = h.substr(0, h.find(':'));
  if (h == "localhost") return true;
  // 127.0.0.0/8, dotted decimal only.
  int parts = 0, value = -1;
  for (const char c : h + ".") {
    if (c == '.') {
      if (value < 0 || value > 255) return false;
      if (parts == 0 && value != 127) return false;
      ++parts;
      value = -1;
    } else if (c >= '0' && c <= '9') {
      value = (value < 0 ? 0 : value * 10) + (c - '0');
      if (value > 255) return false;
    } else {
      return false;
    }
  }
  return parts == 4;
}

std::string cookieValue(std::string_view field, std::string_view name) {
  std::size_t pos = 0;
  while (pos <= field.size()) {
    std::size_t end = field.find(';', pos);
    if (end == std::string_view::npos) end = field.size();
    const std::string_view pair = trim(field.substr(pos, end - pos));
    const std::size_t eq = pair.find('=');
    if (eq != std::string_view::npos && pair.substr(0, eq) == name)
      return std::string(pair.substr(eq + 1));
    pos = end + 1;
  }
  return {};
}

}  // namespace zeltaro::web
