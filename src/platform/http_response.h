// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An HTTP/1.0 response read as it arrives: status line, headers (Content-Length and Location
// are the ones used) and the body, with bare LF line ends tolerated. Pure code over bytes; the
// socket side lives in qt_http_client.cpp.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/sjis.h"

namespace zeltaro::platform {

inline bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && text::foldAZ(s.substr(0, prefix.size())) == prefix;
}

inline std::string_view trimHeaderValue(std::string_view v) {
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r'))
    v.remove_suffix(1);
  return v;
}

// Collects one response as it arrives and says when it is complete.
class HttpResponseReader {
 public:
  enum class State { NeedMore, Complete, Bad };

  std::size_t size() const { return data_.size(); }
  int status() const { return status_; }
  const std::string& location() const { return location_; }
  const std::string& error() const { return error_; }

  State add(const char* bytes, std::size_t n) {
    data_.append(bytes, n);
    if (bodyStart_ == std::string::npos && !findHeaderEnd()) return State::NeedMore;
    if (!headersParsed_) {
      if (!parseHeaders()) return State::Bad;
      // Room for the announced body at once (within reason: the length is the peer's word).
      if (contentLength_) {
        data_.reserve(bodyStart_ + static_cast<std::size_t>(
                                       std::min<std::uint64_t>(*contentLength_, 16u << 20)));
      }
    }
    if (noBody_ || (contentLength_ && data_.size() - bodyStart_ >= *contentLength_))
      return State::Complete;
    return State::NeedMore;
  }

  // The server closed the connection: HTTP/1.0 ends the body there.
  State closed() {
    if (bodyStart_ == std::string::npos) {
      error_ = data_.empty() ? "connection closed without a response"
                             : "connection closed inside the response headers";
      return State::Bad;
    }
    if (contentLength_ && data_.size() - bodyStart_ < *contentLength_) {
      error_ = "connection closed before the end of the body";
      return State::Bad;
    }
    return State::Complete;
  }

  std::string takeBody() {
    std::string body = data_.substr(bodyStart_);
    if (noBody_) body.clear();
    if (contentLength_ && body.size() > *contentLength_) body.resize(*contentLength_);
    return body;
  }

 private:
  bool findHeaderEnd() {
    // Tolerates bare LF line ends; rescans only the tail so long headers stay linear.
    for (std::size_t i = scanned_; i < data_.size(); ++i) {
      if (data_[i] != '\n') continue;
      if (i >= 1 && data_[i - 1] == '\n') {
        bodyStart_ = i + 1;
        return true;
      }
      if (i >= 2 && data_[i - 1] == '\r' && data_[i - 2] == '\n') {
        bodyStart_ = i + 1;
        return true;
      }
    }
    scanned_ = data_.size();
    return false;
  }

  bool parseHeaders() {
    headersParsed_ = true;
    std::string_view head(data_.data(), bodyStart_);
    std::size_t pos = 0;
    bool first = true;
    while (pos < head.size()) {
      std::size_t eol = head.find('\n', pos);
      if (eol == std::string_view::npos) eol = head.size();
      std::string_view line = head.substr(pos, eol - pos);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      pos = eol + 1;
      if (first) {
        first = false;
        if (!parseStatusLine(line)) {
          error_ = "not an HTTP response";
          return false;
        }
        continue;
      }
      const auto colon = line.find(':');
      if (colon == std::string_view::npos) continue;
      const std::string name = text::foldAZ(trimHeaderValue(line.substr(0, colon)));
      const std::string_view value = trimHeaderValue(line.substr(colon + 1));
      if (name == "content-length" && !contentLength_) {
        contentLength_ = parseLength(value);
      } else if (name == "location" && location_.empty()) {
        location_ = std::string(value);
      }
    }
    // No body by definition; the server may still keep the connection open.
    noBody_ = status_ == 204 || status_ == 304 || (status_ >= 100 && status_ < 200);
    return true;
  }

  bool parseStatusLine(std::string_view line) {
    if (!startsWithNoCase(line, "http/")) return false;
    const auto space = line.find(' ');
    if (space == std::string_view::npos) return false;
    std::string_view rest = line.substr(space + 1);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (rest.size() < 3) return false;
    int code = 0;
    for (int i = 0; i < 3; ++i) {
      if (rest[i] < '0' || rest[i] > '9') return false;
      code = code * 10 + (rest[i] - '0');
    }
    if (rest.size() > 3 && rest[3] != ' ') return false;
    status_ = code;
    return true;
  }

  static std::optional<std::size_t> parseLength(std::string_view v) {
    if (v.empty() || v.size() > 15) return std::nullopt;  // unusable: read to the close
    std::size_t n = 0;
    for (char c : v) {
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    return n;
  }

  std::string data_;
  std::size_t scanned_ = 0;
  std::size_t bodyStart_ = std::string::npos;
  bool headersParsed_ = false;
  bool noBody_ = false;
  int status_ = 0;
  std::optional<std::size_t> contentLength_;
  std::string location_;
  std::string error_;
};

}  // namespace zeltaro::platform
