// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/escaping.h"

#include <gtest/gtest.h>

#include "settings/profile_file.h"
#include "text/codec.h"

namespace zeltaro::settings {
namespace {

using text::sj;

// "ソ" and "表" end in 0x5C, a backslash: "表n" must not be taken for BS-n.
const std::string kSo = sj("ソ");
const std::string kHyo = sj("表");

TEST(LogEscaping, StoredBytesAndReadBack) {
  // Two log lines; the first carries the Body template's line-break marks as text and quotes.
  const std::string log = "1_3_ STN1 7010 CW\\r\\nQRV \"now\"\r\n___ STN2\r\n";
  EXPECT_EQ(escapeLog(log), R"(1_3_ STN1 7010 CW\\r\\nQRV \"now\"\r\n___ STN2\r\n)");

  ProfileFile p;
  p.writeQuoted("Inet", "Log", escapeLog(log));
  EXPECT_EQ(p.content(),
            "[Inet]\r\n"
            R"(Log="1_3_ STN1 7010 CW\\r\\nQRV \"now\"\r\n___ STN2\r\n")"
            "\r\n");
  EXPECT_EQ(unescapeLog(p.readMultiline("Inet", "Log", "")), log);
}

TEST(LogEscaping, RoundTrips) {
  const std::string texts[] = {
      "",
      "plain",
      "\"quoted at both ends\"",
      "ends in a quote \"",
      "\\\\r a doubled backslash before r",
      "the marks r$r$r and n$n$n as text",
      "r$r$r\\r",
      kSo + "\r\n" + kHyo + "n " + kSo + "r\\n",
      "BS-quote as text \\\" stays",
      std::string(100000, 'x') + "\\r\r\n",
  };
  for (const std::string& t : texts) EXPECT_EQ(unescapeLog(escapeLog(t)), t) << t.substr(0, 60);
}

TEST(TemplateAndListEscaping, Table) {
  struct Case {
    const char* name;
    std::string (*escape)(std::string_view);
    std::string (*unescape)(std::string_view);
    std::string text, stored, loaded;
  };
  const Case cases[] = {
      {"template lines and quotes", escapeTemplate, unescapeTemplate,
       "<td class=\"c\">$#04</td>\r\n$#05", R"(<td class=\"c\">$#04</td>\r\n$#05)",
       "<td class=\"c\">$#04</td>\r\n$#05"},
      {"typed BS-n becomes a line break", escapeTemplate, unescapeTemplate, "a\\nb", "a\\nb",
       "a\nb"},
      {"trail byte 5C is not an escape", escapeTemplate, unescapeTemplate,
       kHyo + "n\r\n" + kSo + "r", kHyo + "n\\r\\n" + kSo + "r", kHyo + "n\r\n" + kSo + "r"},
      {"template keeps TAB", escapeTemplate, unescapeTemplate, "a\tb", "a\tb", "a\tb"},
      {"list TAB becomes a blank", escapeList, unescapeList, "STN1\tCW\r\nSTN2",
       "STN1 CW\\r\\nSTN2", "STN1 CW\r\nSTN2"},
      {"list typed BS-n splits the entry", escapeList, unescapeList, "JA1 \\n7MHz\r\n",
       "JA1 \\n7MHz\\r\\n", "JA1 \n7MHz\r\n"},
      {"list quote", escapeList, unescapeList, "*\"x\"", R"(*\"x\")", "*\"x\""},
  };
  for (const Case& c : cases) {
    const std::string stored = c.escape(c.text);
    EXPECT_EQ(stored, c.stored) << c.name;
    EXPECT_EQ(c.unescape(stored), c.loaded) << c.name;
  }
  EXPECT_EQ(unescapeList("A\tB"), "A B") << "a TAB stored by hand is a blank too";
}

TEST(PasswordStorage, ThroughTheFile) {
  struct Case {
    std::string password, loaded;
  };
  const std::string p57(57, 'p');
  const std::string p58(58, 'p');
  const Case cases[] = {
      {"pass", "pass"},
      {p57, p57},
      {p58, ""},
      {sj("パスワード") + "!", sj("パスワード") + "!"},
      {" blank ", " blank "},
      {"", ""},
  };
  for (const Case& c : cases) {
    ProfileFile p;
    p.writeQuoted("Mail", "Word", encodePassword(c.password));
    EXPECT_EQ(decodePassword(p.readString("Mail", "Word", "")), c.loaded) << c.password;
  }
}

TEST(PasswordStorage, StoredText) {
  EXPECT_EQ(encodePassword("pass"), "cGFzcw==");
  EXPECT_EQ(decodePassword("cGFzcw==\r\n"), "pass");
  EXPECT_EQ(decodePassword("cGF\tzc\x01w=="), "pass") << "control characters are skipped";
  std::string aaa76;  // "QUFB" is "AAA": 76 characters hold 57 bytes
  for (int i = 0; i < 19; ++i) aaa76 += "QUFB";
  EXPECT_EQ(decodePassword(aaa76 + "\r\n"), std::string(57, 'A'));
  EXPECT_EQ(decodePassword(aaa76 + "Q"), "");
  EXPECT_EQ(decodePassword("\r\n"), "");
}

}  // namespace
}  // namespace zeltaro::settings
