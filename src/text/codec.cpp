// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/codec.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace zeltaro::text {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts in, replacing every input sequence that cannot be converted by replacement and
  // skipping bytes of it one at a time, so the output is always well-formed.
  std::string convert(std::string_view in, std::string_view replacement,
                      std::size_t skipOnInvalid) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buf[4096];
    while (srcLeft > 0) {
      char* dst = buf;
      std::size_t dstLeft = sizeof buf;
      const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r == static_cast<std::size_t>(-1)) {
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (a truncated sequence at the end): replace and step over it.
        out.append(replacement);
        std::size_t skip = skipOnInvalid == 0 ? utf8SequenceLength(*src) : skipOnInvalid;
        if (skip > srcLeft) skip = srcLeft;
        src += skip;
        srcLeft -= skip;
      }
    }
    char* dst = buf;
    std::size_t dstLeft = sizeof buf;
    iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    return out;
  }

 private:
  static std::size_t utf8SequenceLength(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0xF0 && b <= 0xF7) return 4;
    if (b >= 0xE0) return 3;
    if (b >= 0xC0) return 2;
    return 1;
  }
  iconv_t cd_;
};

}  // namespace

std::string utf8FromCp932(std::string_view cp932) {
  thread_local Converter conv("UTF-8", "CP932");
  return conv.convert(cp932, "\xEF\xBF\xBD", 1);
}

std::string cp932FromUtf8(std::string_view utf8) {
  thread_local Converter conv("CP932", "UTF-8");
  return conv.convert(utf8, "?", 0);
}

}  // namespace zeltaro::text
