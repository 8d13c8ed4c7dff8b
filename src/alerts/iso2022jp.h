// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shift-JIS (CP932) to ISO-2022-JP for mail: the body travels as 7-bit ISO-2022-JP, the subject
// and the sender's name as encoded words.

#include <cstddef>
#include <string>
#include <string_view>

namespace zeltaro::alerts {

// One conversion yields at most this many bytes.
inline constexpr std::size_t kIso2022JpLimit = 4095;
// An encoded subject or sender name is at most this many characters.
inline constexpr std::size_t kHeaderWordLimit = 4095;
// One base64 result is at most this many characters.
inline constexpr std::size_t kBase64Limit = 8191;

// Converts sjis up to its first NUL. Double-byte characters and half-width katakana (as their
// full-width forms, sound marks kept separate) go out in JIS X 0208 between ESC $ B and ESC ( B;
// every other byte goes out unchanged in the ASCII state. The text is shortened at a character
// boundary so that the result, including the closing ESC ( B, fits in limit bytes; a lead byte
// without its trail byte at the end is dropped.
std::string toIso2022Jp(std::string_view sjis, std::size_t limit = kIso2022JpLimit);

// The text (up to its first NUL) unchanged when none of its bytes is 0x80 or above; otherwise one
// RFC 2047 encoded word "=?iso-2022-jp?B?...?=" of the whole text, shortened at a character
// boundary so that the word stays within kHeaderWordLimit characters.
std::string encodeHeaderWord(std::string_view sjis);

// Base64 of bytes up to the first NUL, without line breaks; input beyond what fits in
// kBase64Limit characters is left out.
std::string base64Limited(std::string_view bytes);

}  // namespace zeltaro::alerts
