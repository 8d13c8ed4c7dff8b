// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing a list's HAMLOG folder: by the folder dialog, and by dropping HAMLOG's program, a
// link to it, a Windows shortcut or a desktop entry from a Wine prefix on the list's group.
// Shortcuts are written here in the shell-link file format, byte by byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "settings_dialog/dialog_model.h"
#include "settings_dialog/dropped_file.h"
#include "settings_dialog/shell_link.h"
#include "support/hamlog_folder.h"
#include "support/recorders.h"
#include "support/temp_dir.h"
#include "text/codec.h"

namespace zeltaro::settingsdialog {
namespace {

namespace fs = std::filesystem;
using platform::RecordingMessageBox;
using platform::ScriptedFileDialog;
using testing::TempDir;
using zeltaro::testing::hamlogFolder;
using zeltaro::testing::touch;

std::string le16(std::uint32_t v) { return {char(v & 0xFF), char(v >> 8 & 0xFF)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }
std::string utf16z(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out += le16(c);
  return out + le16(0);
}

const std::string kShellLinkClsid(
    "\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);

std::string linkHeader(std::uint32_t flags) {
  std::string h = le32(0x4C) + kShellLinkClsid + le32(flags) + le32(0x20);
  h += std::string(24, '\0');                  // creation, access, write times
  h += le32(0) + le32(0) + le32(1);            // file size, icon index, show command
  h += le16(0) + le16(0) + le32(0) + le32(0);  // hot key, reserved
  return h;
}

// A shortcut with a LinkInfo whose LocalBasePath is base and CommonPathSuffix suffix.
std::string linkInfoShortcut(const std::string& base, const std::string& suffix = "") {
  const std::string volume =
      le32(0x11) + le32(3) + le32(0x1234ABCD) + le32(0x10) + std::string(1, '\0');
  const std::uint32_t header = 0x1C;
  const std::uint32_t baseAt = header + static_cast<std::uint32_t>(volume.size());
  const std::uint32_t suffixAt = baseAt + static_cast<std::uint32_t>(base.size() + 1);
  const std::uint32_t size = suffixAt + static_cast<std::uint32_t>(suffix.size() + 1);
  std::string info =
      le32(size) + le32(header) + le32(1) + le32(header) + le32(baseAt) + le32(0) + le32(suffixAt);
  info += volume + base + '\0' + suffix + '\0';
  // HasLinkInfo | IsUnicode, then a relative path string as Windows writes one.
  return linkHeader(0x02 | 0x08 | 0x80) + info + le16(3) + utf16z(u"a.e").substr(0, 6);
}

// A file-entry shell item: short name, and the long name in a version-9 0xBEEF0004 block.
std::string fileItem(bool folder, const std::string& shortName, const std::u16string& longName) {
  std::string body;
  body += char(folder ? 0x31 : 0x32);
  body += '\0';
  body += le32(0) + le32(0) + le16(folder ? 0x10 : 0x20);
  body += shortName + '\0';
  if ((2 + body.size()) % 2) body += '\0';
  std::string ext = le16(0) + le16(9) + le32(0xBEEF0004) + le32(0) + le32(0) + le16(0x2E);
  ext += le16(0) + std::string(8, '\0') + std::string(8, '\0');  // version 7 fields
  ext += le16(0);                                                // long string size
  ext += le32(0) + le32(0);                                      // versions 9 and 8
  ext += utf16z(longName) + le16(0);                             // name, first extension
  ext.replace(0, 2, le16(static_cast<std::uint32_t>(ext.size())));
  body += ext;
  return le16(static_cast<std::uint32_t>(body.size() + 2)) + body;
}

// A shortcut with only an item ID list: My Computer, drive C:, then the items.
std::string idListShortcut(const std::vector<std::string>& items) {
  std::string root =
      le16(20) + std::string("\x1F\x50", 2) +
      std::string("\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D", 16);
  std::string drive = std::string("\x2F") + "C:\\" + std::string(19, '\0');
  drive = le16(static_cast<std::uint32_t>(drive.size() + 2)) + drive;
  std::string list = root + drive;
  for (const auto& i : items) list += i;
  list += le16(0);
  return linkHeader(0x01 | 0x80) + le16(static_cast<std::uint32_t>(list.size())) + list;
}

struct Dialog {
  ScriptedFileDialog folders;
  RecordingMessageBox box;
  SettingsDialogModel model;
  explicit Dialog(const std::string& prefix = "") : model(DialogServices{&folders, &box, prefix}) {}
  std::string folder(int n) { return model.hamlogFolder(n); }
};

const std::string kMissingMst =
    text::sj("以下のファイルが不足しています     \n") + "\n       Hamlog.mst";
const std::string kMissingAll = text::sj("以下のファイルが不足しています     \n") +
                                "\n       Hamlog.hdb\n       Hamlog.mst\n       Hamlog50.dll";

TEST(FolderChoice, TheFolderDialogTakesAFolderWithAllThreeFilesInAnyCase) {
  TempDir dir;
  hamlogFolder(dir.file("Hamlog"));
  Dialog d;
  d.folders.folderAnswer = dir.file("Hamlog");
  d.model.chooseFolder(2);
  EXPECT_EQ(d.folder(2), dir.file("Hamlog/"));
  EXPECT_EQ(d.folders.folderCaptions,
            std::vector<std::string>{text::sj("フォルダを指定して下さい。")});
  EXPECT_TRUE(d.box.shown.empty());

  // Cancelled: nothing changes.
  d.folders.folderAnswer.reset();
  d.model.chooseFolder(2);
  EXPECT_EQ(d.folder(2), dir.file("Hamlog/"));
}

TEST(FolderChoice, AFolderWithoutAFileIsRefusedWithOnlyItsLine) {
  TempDir dir;
  hamlogFolder(dir.file("old"));
  hamlogFolder(dir.file("new"), /*withMst=*/false);
  Dialog d;
  d.folders.folderAnswer = dir.file("old");
  d.model.chooseFolder(1);
  d.folders.folderAnswer = dir.file("new/");
  d.model.chooseFolder(1);
  d.model.dropFiles(1, {dir.file("new/Hamlogw.exe")});
  EXPECT_EQ(d.folder(1), dir.file("old/"));
  ASSERT_EQ(d.box.shown.size(), 2u);
  for (const auto& shown : d.box.shown) {
    EXPECT_EQ(shown.caption, "Zeltaro");
    EXPECT_EQ(shown.text, kMissingMst);
  }
}

TEST(FolderChoice, DroppedFilesLeadToTheProgramsFolder) {
  TempDir dir;
  const std::string prefix = dir.file("wine");
  const std::string hamlog = prefix + "/drive_c/Hamlog";  // C:\HAMLOG under Windows
  hamlogFolder(hamlog);
  // A second drive, as winecfg maps one: D: -> a folder outside the prefix.
  hamlogFolder(dir.file("d/Tools/HAMLOG 5"));
  fs::create_directories(prefix + "/dosdevices");
  fs::create_directory_symlink(dir.file("d"), prefix + "/dosdevices/d:");

  touch(dir.file("drop/linkinfo.lnk"), linkInfoShortcut("C:\\HAMLOG\\Hamlogw.exe"));
  touch(dir.file("drop/suffix.LNK"), linkInfoShortcut("D:\\Tools\\", "HAMLOG 5\\Hamlogw.exe"));
  touch(dir.file("drop/idlist.lnk"),
        idListShortcut(
            {fileItem(true, "HAMLOG", u"Hamlog"), fileItem(false, "HAMLOGW.EXE", u"Hamlogw.exe")}));
  fs::create_directories(dir.file("drop"));
  fs::create_symlink(hamlog + "/Hamlogw.exe", dir.file("drop/hamlog-link"));
  touch(dir.file("drop/menu.desktop"),
        "[Desktop Entry]\nName=Hamlog\nExec=env WINEPREFIX=\"" + prefix +
            "\" wine C:\\\\\\\\HAMLOG\\\\\\\\Hamlogw.exe \nType=Application\nStartupNotify=true\n"
            "Path=" +
            dir.file("elsewhere") + "\nIcon=1A2B_hamlogw.0\n");
  touch(prefix + "/drive_c/users/Public/Desktop/Hamlog.lnk",
        linkInfoShortcut("D:\\Tools\\HAMLOG 5\\Hamlogw.exe"));
  touch(dir.file("drop/desk.desktop"),
        "[Desktop Entry]\nName=Hamlog\nExec=env WINEPREFIX=\"" + prefix +
            "\" wine C:\\\\\\\\windows\\\\\\\\command\\\\\\\\start.exe /Unix " + prefix +
            "/dosdevices/c:/users/Public/Desktop/Hamlog.lnk\nType=Application\n");
  fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
  touch(dir.file("drop/path-only.desktop"),
        "[Desktop Entry]\nType=Application\nPath=" + hamlog + "\n");

  struct Case {
    const char* dropped;
    std::string folder;
  };
  const std::string viaC = prefix + "/dosdevices/c:/Hamlog/";
  const Case cases[] = {
      {"drop/linkinfo.lnk", viaC},
      {"drop/suffix.LNK", prefix + "/dosdevices/d:/Tools/HAMLOG 5/"},
      {"drop/idlist.lnk", viaC},
      {"drop/hamlog-link", hamlog + "/"},
      {"drop/menu.desktop", viaC},
      {"drop/desk.desktop", prefix + "/dosdevices/d:/Tools/HAMLOG 5/"},
      {"drop/path-only.desktop", hamlog + "/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dropped);
    Dialog d(prefix);
    d.model.dropFiles(3, {dir.file(c.dropped)});
    EXPECT_EQ(d.folder(3), c.folder);
    EXPECT_TRUE(d.box.shown.empty());
  }
  // The program itself, and its folder.
  Dialog d(prefix);
  d.model.dropFiles(1, {hamlog + "/Hamlogw.exe"});
  d.model.dropFiles(2, {hamlog});
  EXPECT_EQ(d.folder(1), hamlog + "/");
  EXPECT_EQ(d.folder(2), hamlog + "/");
}

TEST(FolderChoice, OnlyTheFirstOfSeveralDroppedFilesCounts) {
  TempDir dir;
  hamlogFolder(dir.file("good"));
  hamlogFolder(dir.file("bad"), /*withMst=*/false);
  Dialog d;
  d.model.dropFiles(
      1, {dir.file("bad/Hamlogw.exe"), dir.file("good/Hamlogw.exe"), dir.file("good/HAMLOG.HDB")});
  EXPECT_EQ(d.folder(1), "");
  ASSERT_EQ(d.box.shown.size(), 1u);
  EXPECT_EQ(d.box.shown[0].text, kMissingMst);

  Dialog e;
  e.model.dropFiles(
      1, {dir.file("good/Hamlogw.exe"), dir.file("bad/Hamlogw.exe"), dir.file("nowhere.lnk")});
  EXPECT_EQ(e.folder(1), dir.file("good/"));
  EXPECT_TRUE(e.box.shown.empty());
}

TEST(FolderChoice, AShortcutThatCannotBeResolvedLacksEveryFile) {
  TempDir dir;
  hamlogFolder(dir.path());  // the current folder must not count as the empty one
  touch(dir.file("broken.lnk"), "not a shortcut");
  touch(dir.file("elsewhere.lnk"), linkInfoShortcut("Q:\\HAMLOG\\Hamlogw.exe"));
  for (const char* name : {"broken.lnk", "elsewhere.lnk"}) {
    SCOPED_TRACE(name);
    Dialog d(dir.file("wine"));
    d.model.text("StaticText1") = "/before/";
    d.model.dropFiles(1, {dir.file(name)});
    EXPECT_EQ(d.folder(1), "/before/");
    ASSERT_EQ(d.box.shown.size(), 1u);
    EXPECT_EQ(d.box.shown[0].text, kMissingAll);
  }
}

TEST(ShellLink, TruncatedOrForeignBytesNameNoTarget) {
  const std::string good = linkInfoShortcut("C:\\HAMLOG\\Hamlogw.exe");
  EXPECT_EQ(shellLinkTarget(good), "C:\\HAMLOG\\Hamlogw.exe");
  for (std::size_t cut = 0; cut < good.size() - 8; ++cut)
    EXPECT_NE(shellLinkTarget(good.substr(0, cut)), "C:\\HAMLOG\\Hamlogw.exe") << cut;
  std::string foreign = good;
  foreign[4] = 0x02;  // another class
  EXPECT_EQ(shellLinkTarget(foreign), std::nullopt);
}

}  // namespace
}  // namespace zeltaro::settingsdialog
