// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/base64.h"

#include <gtest/gtest.h>

namespace zeltaro::text {
namespace {

TEST(Base64, Rfc4648Vectors) {
  const std::pair<std::string, std::string> rows[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\x00\xFF\xFE", 3), "AP/+"},
  };
  for (const auto& [plain, coded] : rows) {
    EXPECT_EQ(base64Encode(plain), coded) << coded;
    EXPECT_EQ(base64Decode(coded), plain) << coded;
  }
}

TEST(Base64, DecodeSkipsForeignCharacters) {
  EXPECT_EQ(base64Decode("Zm9v\r\nYmFy"), "foobar");
  EXPECT_EQ(base64Decode("Zg==Zm8="), "f");
}

}  // namespace
}  // namespace zeltaro::text
