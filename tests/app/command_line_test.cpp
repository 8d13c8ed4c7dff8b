// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <gtest/gtest.h>

#include "app/page_trial.h"
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

TEST(ParseCommandLine, WebSwitchOverridesTheSettingsForOneRun) {
  constexpr int asSet = CommandLine::kWebAsSet, on = CommandLine::kWebOn;
  const std::pair<std::vector<std::string>, int> rows[] = {
      {{"zeltaro"}, asSet},
      {{"zeltaro", "/web=8080"}, 8080},
      {{"zeltaro", " /WEB= 9000 "}, 9000},
      {{"zeltaro", "/web=on"}, on},
      {{"zeltaro", "/web=OFF"}, 0},
      {{"zeltaro", "/web=8080", "/web=off"}, 0},
      {{"zeltaro", "/web=abc"}, 0},
      {{"zeltaro", "/telnet=23"}, asSet},
      {{"/web=8080"}, asSet},
  };
  for (const auto& [args, web] : rows) EXPECT_EQ(parseCommandLine(args).web, web) << args.back();
}

TEST(ParseCommandLine, PasswordKeepsJapaneseBytes) {
  // "表" is 95 5C; folding for the key compare must not alter the password itself.
  const std::string pw = text::sj("表Ab");
  EXPECT_EQ(parseCommandLine({"z", "/pass=" + pw}).password, pw);
}

// Which arguments are answered at once, and which are left to Qt and to the start.
TEST(ImmediateAnswer, HelpVersionUnknownAndQtOptions) {
  struct Row {
    std::vector<std::string> args;
    std::optional<int> exitCode;  // nothing: the program starts
    std::string text;             // the whole answer, or its first line for help
  };
  const Row rows[] = {
      {{"z", "--version"}, 0, "zeltaro 2.11\n"},
      {{"z", "/telnet=23", "--version", "--bogus"}, 0, "zeltaro 2.11\n"},
      {{"z", "--bogus", "-h"}, 0, "Usage: zeltaro"},
      {{"z", "--bogus"}, 2, "zeltaro: unknown option --bogus (zeltaro --help lists them)\n"},
      {{"z", "--pass=x"}, 2, "zeltaro: unknown option --pass=x (zeltaro --help lists them)\n"},
      {{"z", "--platform", "offscreen"}, std::nullopt, ""},
      {{"z", "--platform=offscreen", "-style", "fusion"}, std::nullopt, ""},
      {{"z", "-platform", "offscreen", "/telnet=2323", "/pass=x", "/charset=utf-8"},
       std::nullopt,
       ""},
      {{"z", "--"}, std::nullopt, ""},
      {{"z", "-help"}, std::nullopt, ""},
      {{"z", "--try-page", "p.html", "--settings", "s.ini", "--json"}, std::nullopt, ""},
      {{"z", "--guess-template", "p.html", "--example", "JA1ABC", "--example-freq", "7012"},
       std::nullopt,
       ""},
  };
  for (const Row& r : rows) {
    const auto answer = immediateAnswer(r.args);
    ASSERT_EQ(answer.has_value(), r.exitCode.has_value()) << r.args.back();
    if (!answer) continue;
    EXPECT_EQ(answer->exitCode, *r.exitCode) << r.args.back();
    EXPECT_EQ(answer->toStderr, *r.exitCode != 0) << r.args.back();
    if (r.text.ends_with('\n'))
      EXPECT_EQ(answer->text, r.text);
    else
      EXPECT_TRUE(answer->text.starts_with(r.text + " [/telnet=")) << answer->text;
  }
}

// The page trial's options: what is asked, and the mistakes that stop it before anything runs.
TEST(PageTrialCommand, ReadsTheTrialOrSaysWhatIsWrong) {
  struct Row {
    std::vector<std::string> args;
    std::optional<PageTrialCommand> command;
    std::string error;
  };
  const Row rows[] = {
      {{"z", "/telnet=23"}, std::nullopt, ""},
      {{"z", "--try-page", "p.html"}, PageTrialCommand{false, "p.html", "", false, "", ""}, ""},
      {{"z", "--json", "--try-page", "http://h/p", "--settings", "s.ini"},
       PageTrialCommand{false, "http://h/p", "s.ini", true, "", ""},
       ""},
      {{"z", "--guess-template", "p.html", "--example", "JA1ABC", "--example-freq", "7.012"},
       PageTrialCommand{true, "p.html", "", false, "JA1ABC", "7.012"},
       ""},
      {{"z", "--try-page"}, std::nullopt, "--try-page needs a value"},
      {{"z", "--try-page", "p.html", "--settings"}, std::nullopt, "--settings needs a value"},
      {{"z", "--guess-template", "p.html"}, std::nullopt, "--guess-template needs --example CALL"},
      {{"z", "--try-page", "p.html", "--example", "JA1ABC"},
       std::nullopt,
       "--example goes with --guess-template"},
      {{"z", "--try-page", "a", "--guess-template", "b", "--example", "X"},
       std::nullopt,
       "give --try-page or --guess-template once"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args.size() > 1 ? r.args[1] : "");
    std::string error;
    const auto c = pageTrialCommand(r.args, &error);
    EXPECT_EQ(error, r.error);
    ASSERT_EQ(c.has_value(), r.command.has_value());
    if (!c) continue;
    EXPECT_EQ(c->guess, r.command->guess);
    EXPECT_EQ(c->source, r.command->source);
    EXPECT_EQ(c->settings, r.command->settings);
    EXPECT_EQ(c->json, r.command->json);
    EXPECT_EQ(c->example, r.command->example);
    EXPECT_EQ(c->exampleFreq, r.command->exampleFreq);
  }
}

}  // namespace
}  // namespace zeltaro::app
