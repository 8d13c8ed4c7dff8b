// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "text/codec.h"

namespace zeltaro::settings {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;
using text::sj;

// Written by hand: LF line ends, other case and order than the program writes, a key before any
// section, a duplicate key and a duplicate section, a line without "=", blanks around "=", and a
// section name whose first character has "]" (0x5D) as its trail byte.
std::string handWritten() {
  return "; Zeltaro settings, edited by hand\n"
         "Orphan=1\n"
         "[mail]\n"
         "subj = \"  Spots for me \"\n"
         "port=2525\n"
         "Port=9999\n"
         "junk line without equals\n"
         "; keep this comment\n"
         "smtp=\n"
         "[INET]\n"
         "  url1 =   http://example.net/a.html   \n"
         "timesel=4\r\n"
         "\n"
         "[Mail]\n"
         "ID=second-section\n"
         "[" +
         sj("ゾーン") +
         "]\n"
         "Key=7\n";
}

TEST(ProfileFile, ReadsHandWrittenFile) {
  TempDir dir;
  const std::string path = dir.file("ZELTARO.ini");
  writeBytes(path, handWritten());
  const ProfileFile p(path);
  ASSERT_EQ(p.loadState(), LoadState::Loaded);

  EXPECT_EQ(p.readString("Mail", "Subj", "-"), "  Spots for me ");
  EXPECT_EQ(p.readString("Mail", "Port", "-"), "2525") << "first of two keys wins";
  EXPECT_EQ(p.readString("Mail", "Smtp", "-"), "") << "present but empty is not the default";
  EXPECT_EQ(p.readString("Mail", "ID", "-"), "-") << "a second [Mail] is not searched";
  EXPECT_EQ(p.readString("Inet", "Url1", "-"), "http://example.net/a.html");
  EXPECT_EQ(p.readInt("Inet", "TimeSel", 0), 4);
  EXPECT_EQ(p.readInt(sj("ゾーン"), "Key", 0), 7);
  EXPECT_EQ(p.readString("Mail", "Orphan", "-"), "-") << "keys before any section belong nowhere";
  EXPECT_EQ(p.readString("Mail", "junk line without equals", "-"), "-");
  EXPECT_EQ(p.readString("Alert", "Alert", "-"), "-");
}

TEST(ProfileFile, RewritesHandWrittenFileInPlace) {
  TempDir dir;
  const std::string path = dir.file("ZELTARO.ini");
  writeBytes(path, handWritten());
  ProfileFile p(path);
  p.writeString("Inet", "Url1", "http://example.net/b.html");
  p.writeInt("INET", "TimeSel", 5);
  p.writeQuoted("Mail", "Subj", " new ");
  p.writeString("Mail", "Port", "25");
  p.writeString("Mail", "To", "me@example.net");
  p.writeBool("Alert", "Alert", true);
  p.writeString("inet", "Url2", "x");
  std::string error;
  ASSERT_TRUE(p.save(&error)) << error;

  EXPECT_EQ(readBytes(path),
            "; Zeltaro settings, edited by hand\r\n"
            "Orphan=1\r\n"
            "[mail]\r\n"
            "subj=\" new \"\r\n"
            "port=25\r\n"
            "Port=9999\r\n"
            "junk line without equals\r\n"
            "; keep this comment\r\n"
            "smtp=\r\n"
            "To=me@example.net\r\n"
            "[INET]\r\n"
            "url1=http://example.net/b.html\r\n"
            "timesel=5\r\n"
            "Url2=x\r\n"
            "\r\n"
            "[Mail]\r\n"
            "ID=second-section\r\n"
            "[" +
                sj("ゾーン") +
                "]\r\n"
                "Key=7\r\n"
                "\r\n"
                "[Alert]\r\n"
                "Alert=1\r\n");
  EXPECT_EQ(dir.names(), std::set<std::string>{"ZELTARO.ini"});
}

TEST(ProfileFile, FileFromScratchHasOrderOfFirstWrites) {
  TempDir dir;
  const std::string path = dir.file("ZELTARO.ini");
  ProfileFile p(path);
  EXPECT_EQ(p.loadState(), LoadState::Missing);
  p.writeInt("Window", "Left", 75);
  p.writeInt("Window", "Top", 64);
  p.writeBool("Window", "Config", true);
  p.writeInt("Cols", "LogMode", 7);
  p.writeBool("Mode2", "LogMode", true);
  p.writeInt("Inet", "TimeSel", 0);
  p.writeQuoted("Inet", "Log", "");
  p.writeInt("Window", "Color_1", -2147483643);
  p.writeQuoted("Mail", "Subj", "ZELTARO V2");
  p.writeInt("Window", "Left", 80);
  ASSERT_TRUE(p.save());

  EXPECT_EQ(readBytes(path),
            "[Window]\r\n"
            "Left=80\r\n"
            "Top=64\r\n"
            "Config=1\r\n"
            "Color_1=-2147483643\r\n"
            "\r\n"
            "[Cols]\r\n"
            "LogMode=7\r\n"
            "\r\n"
            "[Mode2]\r\n"
            "LogMode=1\r\n"
            "\r\n"
            "[Inet]\r\n"
            "TimeSel=0\r\n"
            "Log=\"\"\r\n"
            "\r\n"
            "[Mail]\r\n"
            "Subj=\"ZELTARO V2\"\r\n");
  const ProfileFile again(path);
  EXPECT_EQ(again.readInt("Window", "Color_1", 0), -2147483643);
  EXPECT_EQ(again.readString("Inet", "Log", "-"), "");
}

TEST(ProfileFile, IntegersAndBooleans) {
  struct Case {
    const char* stored;
    std::int32_t asInt;  // read with the default 99
    bool asBool;         // read with the default true
  };
  const Case cases[] = {
      {"0x0000FF", 255, true},
      {"0X1f", 31, true},
      {"$1F", 31, true},
      {"$80000005", -2147483643, true},
      {"$FFFFFFFF", -1, true},
      {"-2147483643", -2147483643, true},
      {"2147483647", 2147483647, true},
      {"-2147483648", INT32_MIN, true},
      {" 42 ", 42, true},
      {"+7", 7, true},
      {"0", 0, false},
      {"0x0", 0, false},
      {"2", 2, true},
      {"abc", 99, true},
      {"red", 99, true},
      {"12abc", 99, true},
      {"1.5", 99, true},
      {"", 99, true},
      {"-", 99, true},
      {"0x", 99, true},
      {"$", 99, true},
      {"0x100000000", 99, true},
      {"2147483648", 99, true},
      {"1 2", 99, true},
  };
  for (const Case& c : cases) {
    ProfileFile p;
    p.writeString("S", "K", c.stored);
    EXPECT_EQ(p.readInt("S", "K", 99), c.asInt) << '"' << c.stored << '"';
    EXPECT_EQ(p.readBool("S", "K", true), c.asBool) << '"' << c.stored << '"';
  }
  ProfileFile p;
  p.writeString("S", "K", "abc");
  EXPECT_FALSE(p.readBool("S", "K", false)) << "not an integer gives the default either way";
  EXPECT_EQ(p.readInt("S", "Missing", -5), -5);
}

TEST(ProfileFile, StringValuesAndQuotes) {
  struct Case {
    const char* stored;  // the text after "="
    std::string read;
  };
  const Case cases[] = {
      {"\"  leading blanks kept\"", "  leading blanks kept"},
      {"  http://example.net/  \t", "http://example.net/"},
      {"  \" inner \"  ", " inner "},
      {"\"\"", ""},
      {"\"", "\""},
      {"\"open only", "\"open only"},
      {"a \"b\" c", "a \"b\" c"},
      {"\"a\"b\"", "a\"b"},
      {"x=y", "x=y"},
  };
  for (const Case& c : cases) {
    ProfileFile p;
    p.writeString("S", "K", c.stored);
    EXPECT_EQ(p.readString("S", "K", "-"), c.read) << c.stored;
  }

  // Quoted writes keep what a plain write would lose; a line break cannot split the value.
  ProfileFile p;
  p.writeQuoted("Mail", "Subj", "   ZELTARO V2 ");
  p.writeString("Mail", "To", "a@example.net\r\n[Evil]\r\nx=1");
  p.writeQuoted("Mail", "Name", std::string("Ham\0Spam", 8));
  EXPECT_EQ(p.content(),
            "[Mail]\r\n"
            "Subj=\"   ZELTARO V2 \"\r\n"
            "To=a@example.net\r\n"
            "Name=\"Ham\"\r\n");
  EXPECT_EQ(p.readString("Mail", "Subj", "-"), "   ZELTARO V2 ");
}

TEST(ProfileFile, SingleLineReadsAreCutMultilineReadsAreWhole) {
  TempDir dir;
  const std::string path = dir.file("ZELTARO.ini");
  const std::string longUrl = "http://example.net/" + std::string(3000, 'u');
  // A double-byte character on bytes 2047 and 2048 must not be cut in half.
  const std::string straddling = std::string(2046, 'x') + sj("表") + "yyy";
  const std::string log = std::string(3'000'000, 'L');
  writeBytes(path, "[Inet]\r\nUrl1=" + longUrl + "\r\nUrl2=\"" + longUrl +
                       "\"\r\nUrl3=" + straddling + "\r\nLog=\"" + log + "\"\r\n");
  const ProfileFile p(path);
  EXPECT_EQ(p.readString("Inet", "Url1", ""), longUrl.substr(0, 2047));
  EXPECT_EQ(p.readString("Inet", "Url2", ""), longUrl.substr(0, 2047));
  EXPECT_EQ(p.readString("Inet", "Url3", ""), std::string(2046, 'x'));
  EXPECT_EQ(p.readMultiline("Inet", "Log", ""), log);
  EXPECT_EQ(p.readMultiline("Inet", "Url1", ""), longUrl);
}

TEST(ProfileFile, SaveKeepsModeAndFollowsLinks) {
  TempDir dir;
  const std::string real = dir.file("real.ini");
  const std::string link = dir.file("ZELTARO.ini");
  writeBytes(real, "[A]\r\nK=1\r\n");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink(real, link);

  ProfileFile p(link);
  p.writeInt("A", "K", 2);
  std::string error;
  ASSERT_TRUE(p.save(&error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(real), "[A]\r\nK=2\r\n");
  struct stat st;
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.names(), (std::set<std::string>{"ZELTARO.ini", "real.ini"}));
}

TEST(ProfileFile, FailedSaveLeavesOldFileWhole) {
  TempDir dir;
  const std::string old = "[Inet]\r\nTimeSel=4\r\n";

  // Read-only to the user: not replaced, even though we may run with rights that could.
  const std::string readOnly = dir.file("ro.ini");
  writeBytes(readOnly, old);
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  ProfileFile ro(readOnly);
  ro.writeInt("Inet", "TimeSel", 2);
  std::string error;
  EXPECT_FALSE(ro.save(&error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(readBytes(readOnly), old);

  // A folder that does not exist.
  ProfileFile nowhere(dir.file("missing/ZELTARO.ini"));
  nowhere.writeInt("Inet", "TimeSel", 2);
  EXPECT_FALSE(nowhere.save());

  // Something there that cannot be read as a file: saving would lose whatever it held.
  const std::string folder = dir.file("folder.ini");
  std::filesystem::create_directory(folder);
  ProfileFile unreadable(folder);
  EXPECT_EQ(unreadable.loadState(), LoadState::Unreadable);
  unreadable.writeInt("Inet", "TimeSel", 2);
  EXPECT_FALSE(unreadable.save());
  EXPECT_TRUE(std::filesystem::is_directory(folder));

  EXPECT_EQ(dir.names(), (std::set<std::string>{"ro.ini", "folder.ini"}));
}

TEST(ProfileFile, CannotWriteMessage) {
  EXPECT_EQ(cannotWriteMessage("/home/ham/ZELTARO.ini"),
            sj("/home/ham/ZELTARO.ini に書き込めません"));
}

}  // namespace
}  // namespace zeltaro::settings
