// SPDX-License-Identifier: GPL-3.0-or-later
// "zeltaro --try-page": the real program, started as a script starts it, against pages on a
// real HTTP server and in files. Whole outputs are compared; the event log's stamp is the only
// part that is matched loosely.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "support/event_lines.h"
#include "support/peer_process.h"
#include "support/real_program.h"
#include "support/temp_dir.h"
#include "text/codec.h"

#ifdef ZELTARO_EXE
namespace zeltaro {
namespace {

using testing::PeerProcess;
using testing::readBytes;
using testing::RealProgram;
using testing::systemPython;
using testing::testScript;
using testing::writeBytes;

struct Spot {
  std::string call, freq, mode, code, qth;  // CP932
};

// A record in the program's default page shape.
std::string record(int n, const Spot& s) {
  return "<LineStart><!--" + std::to_string(n) +
         "--></LineStart><Date>2026/12/09</Date><Time>23:15</Time><CallSignTo>" + s.call +
         "</CallSignTo><Freq>" + s.freq + "</Freq><Mode>" + s.mode + "</Mode><Qth>" + s.code +
         "</Qth><QthName>" + s.qth +
         "</QthName><Distance>12</Distance><Comments>tnx &amp; 73</Comments><CallSignFrom>"
         "JA2YYY</CallSignFrom><font title='Aichi'><QthFrom>2001</QthFrom></LineEnd>\r\n";
}

const std::string kDefaultPage = "<html><body>\r\n<h1>Spots</h1>\r\n" +
                                 record(1, {"JA1ABC", "7012.0", "CW", "1001", text::sj("東京")}) +
                                 record(2, {"JH3XYZ", "14025.5", "SSB", "2501", "Osaka"}) +
                                 record(3, {"JR6AAA", "3525", "", "4601", "Naha"}) +
                                 "</body></html>\r\n";

// The same spots as table rows: nothing of the default template is on it.
const std::string kTablePage =
    "<table>\r\n<tr><td>JA1ABC</td><td>7012.0</td></tr>\r\n<tr><td>JH3XYZ</td><td>14025.5</td>"
    "</tr>\r\n</table>\r\n";

// Spots as table rows whose cells carry classes, under a header row; the last has no mode.
const std::string kRowsPage =
    "<html><body>\r\n<table>\r\n<tr><th>UTC</th><th>DX</th><th>Freq</th><th>Mode</th></tr>\r\n"
    "<tr><td class=\"utc\">0328Z</td><td class=\"dx\">JA1ABC</td><td class=\"freq\">7012.5</td>"
    "<td class=\"mode\">CW</td></tr>\r\n"
    "<tr><td class=\"utc\">0330Z</td><td class=\"dx\">JH3XYZ</td><td class=\"freq\">14025.0</td>"
    "<td class=\"mode\">SSB</td></tr>\r\n"
    "<tr><td class=\"utc\">0331Z</td><td class=\"dx\">W1AW</td><td class=\"freq\">3525.0</td>"
    "<td class=\"mode\"></td></tr>\r\n</table>\r\n</body></html>\r\n";

// The settings beside the program: list 1 watches a call, list 2 a mode, list 3 nothing.
const std::string kSettings =
    "[List1]\r\nList=JA1ABC\r\n[List2]\r\nList=SSB\r\n[List3]\r\nList=\r\n";

std::string slotsJson(const std::vector<std::string>& first13) {
  std::string s = "{";
  for (int k = 1; k <= 20; ++k) {
    char tag[8];
    std::snprintf(tag, sizeof tag, "%02d", k);
    s += std::string(k > 1 ? ", " : "") + "\"" + tag + "\": \"" +
         (k <= 13 ? first13[static_cast<std::size_t>(k - 1)] : "") + "\"";
  }
  return s + "}";
}

const std::string kDefaultJson =
    "{\"records\": [\n"
    "  {\"slots\": " +
    slotsJson({"1", "26/12/09", "23:15", "JA1ABC", "7012.0", "CW", "1001", "東京", "12", "tnx & 73",
               "JA2YYY", "Aichi", "2001"}) +
    ", \"line\": \"1 26/12/09\\\\r\\\\n23:15 JA1ABC\\\\r\\\\n7012.0 CW\\\\r\\\\n1001 東京 12 tnx & "
    "73\\\\r\\\\nJA2YYY＠Aichi#2001\\\\r\\\\n\\\\r\\\\n\", \"lists\": [1]},\n"
    "  {\"slots\": " +
    slotsJson({"2", "26/12/09", "23:15", "JH3XYZ", "14025.5", "SSB", "2501", "Osaka", "12",
               "tnx & 73", "JA2YYY", "Aichi", "2001"}) +
    ", \"line\": \"2 26/12/09\\\\r\\\\n23:15 JH3XYZ\\\\r\\\\n14025.5 SSB\\\\r\\\\n2501 Osaka 12 "
    "tnx & "
    "73\\\\r\\\\nJA2YYY＠Aichi#2001\\\\r\\\\n\\\\r\\\\n\", \"lists\": [2]},\n"
    "  {\"slots\": " +
    slotsJson({"3", "26/12/09", "23:15", "JR6AAA", "3525", "?", "4601", "Naha", "12", "tnx & 73",
               "JA2YYY", "Aichi", "2001"}) +
    ", \"line\": \"3 26/12/09\\\\r\\\\n23:15 JR6AAA\\\\r\\\\n3525 ?\\\\r\\\\n4601 Naha 12 tnx & "
    "73\\\\r\\\\nJA2YYY＠Aichi#2001\\\\r\\\\n\\\\r\\\\n\", \"lists\": []}\n"
    "], \"problems\": []}\n";

class TryPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program.ok());
    ASSERT_TRUE(pages.isValid());
    writeBytes(QDir(pages.path()).filePath("spots.html").toStdString(), kDefaultPage);
    writeBytes(QDir(pages.path()).filePath("table.html").toStdString(), kTablePage);
    writeBytes(QDir(pages.path()).filePath("rows.html").toStdString(), kRowsPage);
    web = std::make_unique<PeerProcess>(
        systemPython(), QStringList{testScript("app/page_server.py"), pages.path()});
    ASSERT_TRUE(web->ok()) << web->error().toStdString();
    writeBytes(ini(), kSettings);
  }
  std::string address(const char* file) const {
    return "http://127.0.0.1:" + std::to_string(web->port()) + "/" + file;
  }
  std::string ini() const { return program.file("zeltaro.ini").toStdString(); }

  struct Run {
    int exitCode = -1;
    std::string out, err;
  };
  Run run(const QStringList& args) {
    Run r;
    QProcess& p = program.process();
    if (!program.start(args)) return r;
    EXPECT_TRUE(p.waitForFinished(60000));
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
  }

  RealProgram program{ZELTARO_EXE};
  QTemporaryDir pages;
  std::unique_ptr<PeerProcess> web;
};

// The page in the default shape, with the settings beside the program: every slot, the
// composed line and the lists, Shift-JIS and entities decoded, a missing mode as "?". The
// settings file is only read.
TEST_F(TryPageTest, TheDefaultShapeGivesEverySlotLineAndList) {
  const Run json = run({"--try-page", QString::fromStdString(address("spots.html")), "--json"});
  EXPECT_EQ(json.exitCode, 0);
  EXPECT_EQ(json.out, kDefaultJson);
  EXPECT_EQ(json.err, "");

  // The same page read from a file, as text.
  const std::string file = QDir(pages.path()).filePath("spots.html").toStdString();
  const Run plain = run({"--try-page", QString::fromStdString(file)});
  EXPECT_EQ(plain.exitCode, 0);
  std::string expected;
  const char* calls[] = {"JA1ABC", "JH3XYZ", "JR6AAA"};
  const char* freqs[] = {"7012.0", "14025.5", "3525"};
  const char* modes[] = {"CW", "SSB", "?"};
  const char* codes[] = {"1001", "2501", "4601"};
  const char* qths[] = {"東京", "Osaka", "Naha"};
  const char* lists[] = {"1", "2", "-"};
  for (int i = 0; i < 3; ++i) {
    const std::string n = std::to_string(i + 1);
    expected += "レコード " + n + "\n  $#01 " + n + "\n  $#02 26/12/09\n  $#03 23:15\n  $#04 " +
                calls[i] + "\n  $#05 " + freqs[i] + "\n  $#06 " + modes[i] + "\n  $#07 " +
                codes[i] + "\n  $#08 " + qths[i] +
                "\n  $#09 12\n  $#10 tnx & 73\n  $#11 JA2YYY\n  $#12 Aichi\n  $#13 2001\n  行 " +
                n + " 26/12/09\\r\\n23:15 " + calls[i] + "\\r\\n" + freqs[i] + " " + modes[i] +
                "\\r\\n" + codes[i] + " " + qths[i] +
                " 12 tnx & 73\\r\\nJA2YYY＠Aichi#2001\\r\\n\\r\\n\n  リスト " + lists[i] + "\n";
  }
  expected += "3 件のレコードを切り出しました\n";
  EXPECT_EQ(plain.out, expected);
  EXPECT_EQ(plain.err, "");
  EXPECT_EQ(readBytes(ini()), kSettings);
}

// --settings names another file: its Body, template and lists are used, and neither file is
// written.
TEST_F(TryPageTest, AnotherSettingsFileIsReadAndNotWritten) {
  const std::string other = program.file("other.ini").toStdString();
  const std::string otherSettings =
      "[Mail]\r\nBody=$#04! $#05\r\n[Http]\r\nList=<CallSignTo>$#04</CallSignTo>\\r\\n<Freq>$#05"
      "</Freq>\\r\\n\r\n[List1]\r\nList=\r\n[List2]\r\nList=\r\n[List3]\r\nList=JH3\r\n";
  writeBytes(other, otherSettings);
  const Run r = run({"--try-page", QString::fromStdString(address("spots.html")), "--settings",
                     QString::fromStdString(other), "--json"});
  EXPECT_EQ(r.exitCode, 0);
  const auto two = [](const char* call, const char* freq) {
    std::string s = "{";
    for (int k = 1; k <= 20; ++k) {
      char tag[8];
      std::snprintf(tag, sizeof tag, "%02d", k);
      s += std::string(k > 1 ? ", " : "") + "\"" + tag + "\": \"" +
           (k == 4   ? call
            : k == 5 ? freq
                     : "") +
           "\"";
    }
    return s + "}";
  };
  EXPECT_EQ(r.out,
            "{\"records\": [\n"
            "  {\"slots\": " +
                two("JA1ABC", "7012.0") +
                ", \"line\": \"JA1ABC 7012.0\", \"lists\": []},\n"
                "  {\"slots\": " +
                two("JH3XYZ", "14025.5") +
                ", \"line\": \"JH3XYZ 14025.5\", \"lists\": [3]},\n"
                "  {\"slots\": " +
                two("JR6AAA", "3525") +
                ", \"line\": \"JR6AAA 3525\", \"lists\": []}\n"
                "], \"problems\": []}\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(readBytes(other), otherSettings);
  EXPECT_EQ(readBytes(ini()), kSettings);
}

// A page the template does not fit: no record, the problems in words, exit 3.
TEST_F(TryPageTest, APageTheTemplateMissesListsTheProblems) {
  const Run r = run({"--try-page", QString::fromStdString(address("table.html")), "--json"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.out,
            "{\"records\": [], \"problems\": [\"ページに開始区切り語「<LineStart>」がありません\", "
            "\"ページに終了区切り語「</LineEnd>」がありません\"]}\n");
  EXPECT_EQ(r.err, "");
}

// A page that cannot be had: nothing on standard output, exit 2, the reason on standard error
// once (the fetch's line of the event log).
TEST_F(TryPageTest, APageThatCannotBeHadEndsWithItsReason) {
  const std::string missing = address("missing.html");
  const std::string secure = "https://127.0.0.1:" + std::to_string(web->port()) + "/spots.html";
  struct Case {
    std::string source, err;
  };
  const Case cases[] = {
      {missing, "zeltaro: <stamp> page fetch failed: " + missing + ": HTTP 404\n"},
      {secure, "zeltaro: <stamp> page fetch failed: " + secure +
                   ": unsupported address: https is not supported, only http://\n"},
      {"http://no-such-host.invalid/spots.html",
       "zeltaro: <stamp> page fetch failed: http://no-such-host.invalid/spots.html: host not "
       "found: no-such-host.invalid\n"},
      {program.file("nothing-here.html").toStdString(),
       "zeltaro: cannot read " + program.file("nothing-here.html").toStdString() +
           ": no such file\n"},
      {pages.path().toStdString(),
       "zeltaro: cannot read " + pages.path().toStdString() + ": not a regular file\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const Run r = run({"--try-page", QString::fromStdString(c.source), "--json"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(testing::withStampsMarked(r.err), c.err);
  }
  EXPECT_EQ(readBytes(ini()), kSettings);
}

// The guess from one call and its frequency: the proposal (whose start separator leaves the
// header row out) and the records it cuts with the settings' Body and lists.
TEST_F(TryPageTest, TheGuessProposesSeparatorsAndATemplateWithItsRecords) {
  const Run r = run({"--guess-template", QString::fromStdString(address("rows.html")), "--example",
                     "JH3XYZ", "--example-freq", "14025.0", "--json"});
  EXPECT_EQ(r.exitCode, 0);
  const auto rec = [](const char* utc, const char* call, const char* freq, const char* mode,
                      const char* lists) {
    return "  {\"slots\": " +
           slotsJson({"", "", utc, call, freq, mode, "", "", "", "", "", "", ""}) +
           ", \"line\": \"\\\\r\\\\n" + utc + (*utc ? " " : "") + call + "\\\\r\\\\n" + freq +
           (*freq ? " " : "") + mode +
           "\\\\r\\\\n \\\\r\\\\n＠#\\\\r\\\\n\\\\r\\\\n\", \"lists\": [" + lists + "]}";
  };
  EXPECT_EQ(
      r.out,
      "{\"records\": [\n" + rec("0328Z", "JA1ABC", "7012.5", "CW", "1") + ",\n" +
          rec("0330Z", "JH3XYZ", "14025.0", "SSB", "2") + ",\n" +
          rec("0331Z", "W1AW", "3525.0", "", "") +
          "\n], \"problems\": [\"$#06 が 3 件中 1 件で空です\"], "
          "\"start\": \"<tr><td class=\\\"utc\\\">\", \"end\": \"</tr>\", \"template\": "
          "\"<td class=\\\"utc\\\">$#03</td>\\n<td class=\\\"dx\\\">$#04</td><td "
          "class=\\\"freq\\\">\\n"
          "<td class=\\\"freq\\\">$#05</td><td class=\\\"mode\\\">\\n<td "
          "class=\\\"mode\\\">$#06</td></tr>\", "
          "\"notes\": [\"表の行 (<tr>) を 1 件として、3 件のレコードを見つけました。\", "
          "\"取り出す値: 時刻 $#03、コールサイン $#04、周波数 $#05、モード $#06。\", "
          "\"コールサインは 3 件 (100 %)、周波数は 3 件 (100 %) で正しく取り出せます。\"]}\n");
  EXPECT_EQ(r.err, "");

  // A call that is not on the page: no proposal, exit 3, the reason among the notes.
  const Run none = run({"--guess-template", QString::fromStdString(address("rows.html")),
                        "--example", "NOCALL", "--json"});
  EXPECT_EQ(none.exitCode, 3);
  EXPECT_TRUE(none.out.starts_with("{\"found\": false, \"notes\": [\"")) << none.out;
  EXPECT_NE(none.out.find("NOCALL"), std::string::npos) << none.out;
  EXPECT_EQ(readBytes(ini()), kSettings);
}

}  // namespace
}  // namespace zeltaro
#endif
