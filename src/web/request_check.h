// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first look at a request, made on its head alone (request line and header fields, up to
// the blank line) before a byte of its body is read: its size, the body it announces, the path
// it asks for and whether it wants a WebSocket. What fails here is answered with the status
// and the connection closed; the body is never read.

#include <cstddef>
#include <string>
#include <string_view>

namespace zeltaro::web {

inline constexpr std::size_t kMaxHeadBytes = 16 * 1024;
inline constexpr std::size_t kMaxBodyBytes = 1024 * 1024;

struct RequestHead {
  int status = 0;      // 0: acceptable; else the HTTP status to answer with
  std::string reason;  // why it was refused (for the answer's body)
  std::string method;
  std::string path;  // the target without its query, as sent
  std::size_t contentLength = 0;
  bool webSocket = false;  // an upgrade to a WebSocket
  std::string cookie;      // the Cookie field, as sent
  std::string origin;      // the Origin field, as sent
  std::string host;        // the Host field, as sent
};

// head: the bytes up to and including the blank line that ends the header fields.
RequestHead checkRequestHead(std::string_view head);

// The end of the head in data (the offset just past "\r\n\r\n"), or npos while it is not there.
std::size_t headEnd(std::string_view data);

// Whether a Host field names this machine by a loopback address ("127.0.0.1:8080",
// "localhost", "[::1]:8080"). Without a password the console answers only such requests, so
// that a name of another site that resolves to this machine gets nothing.
bool loopbackHost(std::string_view host);

// The value of cookie name in a Cookie field, empty when there is none.
std::string cookieValue(std::string_view cookieField, std::string_view name);

}  // namespace zeltaro::web
