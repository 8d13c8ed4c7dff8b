// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP response reader, fed the input in chunks of varying size, then told of the close;
// and the page address parser on the input's first line.
#include <cstdlib>
#include <string_view>

#include "platform/http_response.h"
#include "platform/qt_http_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro::platform;
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  HttpResponseReader reader;
  const std::size_t chunk = size == 0 ? 1 : 1 + data[0] % 64;
  HttpResponseReader::State state = HttpResponseReader::State::NeedMore;
  std::size_t at = 0;
  while (at < in.size() && state == HttpResponseReader::State::NeedMore) {
    const std::size_t n = std::min(chunk, in.size() - at);
    state = reader.add(in.data() + at, n);
    at += n;
  }
  if (state == HttpResponseReader::State::NeedMore) state = reader.closed();
  if (state == HttpResponseReader::State::Complete) {
    const int status = reader.status();
    if (status < 0 || status > 999) std::abort();
    const std::string body = reader.takeBody();
    if (body.size() > in.size()) std::abort();
  }
  const std::string_view first = in.substr(0, in.find('\n'));
  if (const auto address = parseHttpAddress(first)) {
    if (address->target.empty() || address->target.size() > 256) std::abort();
    (void)httpRequestBytes(*address);
  }
  return 0;
}
