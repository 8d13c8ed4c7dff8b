#include "app/command_line.h"

#include <gtest/gtest.h>

#include "text/codec.h"

namespace zeltaro::app {
namespace {

TEST(InstanceLockName, ReplacesBackslashColonAndDotKeepingCase) {
  struct Row {
    const char* path;
    const char* name;
  };
  const Row rows[] = {
      {"C:\\Ham\\ZELTARO.exe", "kobunaTarvoZELTAROC__Ham_ZELTARO_exe"},
      {"/home/op/bin/zeltaro", "kobunaTarvoZELTARO/home/op/bin/zeltaro"},
      {"/opt/Zel.v2/ZELTARO.bin", "kobunaTarvoZELTARO/opt/Zel_v2/ZELTARO_bin"},
      {"D:\\a.b\\c:d", "kobunaTarvoZELTAROD__a_b_c_d"},
  };
  for (const Row& r : rows) EXPECT_EQ(instanceLockName(r.path), r.name) << r.path;
}

TEST(InstanceLockName, DoesNotTouchTrailBytesOfJapaneseFolderNames) {
  // "ソ" is 83 5C: its trail byte is a backslash that must survive the first pass.
  const std::string path = text::sj("C:\\ソフト\\Z.exe");
  EXPECT_EQ(instanceLockName(path), "kobunaTarvoZELTAROC__" + text::sj("ソフト") + "_Z_exe");
}

TEST(ParseCommandLine, AppliesRulesInOrderLaterArgumentsOverride) {
  struct Row {
    std::vector<std::string> args;
    std::uint16_t port;
    std::string password;
  };
  const Row rows[] = {
      {{"zeltaro"}, 0, ""},
      {{"zeltaro", "/telnet=on"}, 23, ""},
      {{"zeltaro", "/TELNET=ON"}, 23, ""},
      {{"zeltaro", "  /Telnet=On \t"}, 23, ""},
      {{"zeltaro", "/telnet=on", "/telnet=off"}, 0, ""},
      {{"zeltaro", "/telnet=off", "/telnet=on"}, 23, ""},
      {{"zeltaro", "/telnet=8023"}, 8023, ""},
      {{"zeltaro", "/telnet= 8023 "}, 8023, ""},
      {{"zeltaro", "/telnet=8023abc"}, 8023, ""},
      {{"zeltaro", "/telnet=abc"}, 0, ""},
      {{"zeltaro", "/telnet=on", "/telnet=abc"}, 0, ""},
      {{"zeltaro", "/telnet="}, 0, ""},
      {{"zeltaro", "/telnet=-5"}, 0, ""},
      {{"zeltaro", "/telnet=70000"}, 4464, ""},  // kept to 16 bits: 70000 - 65536
      {{"zeltaro", "/telnet=12345678901234567890"}, 2770, ""},
      {{"zeltaro", "/PASS=Secret"}, 0, "Secret"},
      {{"zeltaro", "/pass= AbC d "}, 0, "AbC d"},
      {{"zeltaro", "/pass=one", "/pass=two"}, 0, "two"},
      {{"zeltaro", "/pass="}, 0, ""},
      {{"zeltaro", "/telnet=8023", "/pass=x", "/other", "telnet=on"}, 8023, "x"},
      // The blanks-trimmed compare is only for on/off; the prefixes must start the argument.
      {{"zeltaro", " /telnet=8023"}, 0, ""},
      {{"zeltaro", " /pass=x"}, 0, ""},
      // Argument 0 is the program's own path and never counts.
      {{"/telnet=on"}, 0, ""},
      {{"/pass=x", "/telnet=24"}, 24, ""},
  };
  for (const Row& r : rows) {
    const CommandLine cl = parseCommandLine(r.args);
    std::string shown;
    for (const auto& a : r.args) shown += "[" + a + "]";
    EXPECT_EQ(cl.port, r.port) << shown;
    EXPECT_EQ(cl.password, r.password) << shown;
  }
}

TEST(ParseCommandLine, CharsetSwitchTurnsTheConsoleToUtf8) {
  const std::pair<std::vector<std::string>, bool> rows[] = {
      {{"zeltaro"}, false},
      {{"zeltaro", "/charset=utf-8"}, true},
      {{"zeltaro", " /CHARSET=UTF8 "}, true},
      {{"zeltaro", "/charset=sjis"}, false},
      {{"zeltaro", "/charset=utf-8", "/charset=cp932"}, false},
      {{"zeltaro", "/charset="}, false},
      {{"/charset=utf-8"}, false},
  };
  for (const auto& [args, utf8] : rows) {
    EXPECT_EQ(parseCommandLine(args).utf8Console, utf8) << args.back();
    EXPECT_EQ(parseCommandLine(args).port, 0) << args.back();
  }
}

TEST(ParseCommandLine, PasswordKeepsJapaneseBytes) {
  // "表" is 95 5C; folding for the key compare must not alter the password itself.
  const std::string pw = text::sj("表Ab");
  EXPECT_EQ(parseCommandLine({"z", "/pass=" + pw}).password, pw);
}

}  // namespace
}  // namespace zeltaro::app
