// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Base64 with the RFC 4648 alphabet and "=" padding, for the stored mail password and for mail
// headers and authentication.

#include <string>
#include <string_view>

namespace zeltaro::text {

std::string base64Encode(std::string_view bytes);
// Decodes; characters outside the alphabet are skipped and decoding stops at the first "=".
std::string base64Decode(std::string_view text);

}  // namespace zeltaro::text
