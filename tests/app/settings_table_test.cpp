// SPDX-License-Identifier: GPL-3.0-or-later
// The settings table against the file. Its sections and keys are those of the whole-file
// fixtures, in their order, and the station keys are those of the list below, typed from the
// file's documentation; a value set in a row's field is written under the row's own key and
// nowhere else, and a fresh model reads it back from that key.
#include "app/settings_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "app/main_model.h"
#include "app/settings_io.h"
#include "support/peer_process.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

namespace zeltaro::app {
namespace {

using settings::Conv;
using settings::FieldPtr;
using settings::LoadRule;
using zeltaro::testing::readBytes;
using zeltaro::testing::TempDir;

// A row as the file has it: list number and part resolved.
struct FileRow {
  std::string section, key;
  Conv conv;
  LoadRule load;
  std::function<FieldPtr(MainModel&)> field;  // null for a row with its own steps
};

std::vector<FileRow> fileRows() {
  std::vector<FileRow> rows;
  settings::forEachRow(settingsTable(), [&](const SettingRow& row, int n) {
    if (!row.partRows) {
      rows.push_back({settings::forList(row.section, n), settings::forList(row.key, n), row.conv,
                      row.load,
                      row.field ? [&row, n](MainModel& m) { return row.field(m, n); }
                                : std::function<FieldPtr(MainModel&)>()});
      return;
    }
    settings::forEachRow(row.partRows(), [&](const settingsdialog::StationRow& r, int m) {
      rows.push_back({settings::forList(r.section, m), settings::forList(r.key, m),
                      r.conv, r.load,
                      r.field ? [&r, m, &row](MainModel& model) {
                        settingsdialog::DialogTarget part = row.partOf(model);
                        return r.field(part, m);
                      }
                              : std::function<FieldPtr(MainModel&)>()});
    });
  });
  return rows;
}

using Keys = std::vector<std::pair<std::string, std::string>>;

// The sections and keys of a whole file, in its order.
Keys fileKeys(const std::string& bytes) {
  Keys keys;
  std::string section;
  for (const std::string& l : text::splitLines(bytes)) {
    if (l.empty()) continue;
    if (l.front() == '[')
      section = l.substr(1, l.find(']') - 1);
    else
      keys.emplace_back(section, l.substr(0, l.find('=')));
  }
  return keys;
}

std::string fixture(const char* name) {
  return readBytes(zeltaro::testing::testsDir() + "/app/fixtures/" + name);
}

// The file's key lines, each behind its section: "[Mail]To=...".
std::set<std::string> fileLines(const std::string& path) {
  std::set<std::string> lines;
  std::string section;
  for (const std::string& l : text::splitLines(readBytes(path)))
    if (!l.empty() && l.front() == '[')
      section = l;
    else
      lines.insert(section + l);
  return lines;
}

// A value unlike any default, and the file line it must give.
struct Sample {
  std::string line;  // after "key="
  void (*set)(const FieldPtr&);
  bool (*holds)(const FieldPtr&);
};

Sample sampleFor(Conv conv, bool boolDefault) {
  switch (conv) {
    case Conv::Bool:
      if (boolDefault)
        return {"0", [](const FieldPtr& f) { *std::get<bool*>(f) = false; },
                [](const FieldPtr& f) { return !*std::get<bool*>(f); }};
      return {"1", [](const FieldPtr& f) { *std::get<bool*>(f) = true; },
              [](const FieldPtr& f) { return *std::get<bool*>(f); }};
    case Conv::Int:
    case Conv::ComboIndex:
      return {"17", [](const FieldPtr& f) { *std::get<std::int32_t*>(f) = 17; },
              [](const FieldPtr& f) { return *std::get<std::int32_t*>(f) == 17; }};
    case Conv::Clamped:
      return {"19", [](const FieldPtr& f) { *std::get<std::int32_t*>(f) = 19; },
              [](const FieldPtr& f) { return *std::get<std::int32_t*>(f) == 19; }};
    case Conv::Text:
      return {"sample text", [](const FieldPtr& f) { *std::get<std::string*>(f) = "sample text"; },
              [](const FieldPtr& f) { return *std::get<std::string*>(f) == "sample text"; }};
    case Conv::Quoted:
      return {"\" kept blanks \"",
              [](const FieldPtr& f) { *std::get<std::string*>(f) = " kept blanks "; },
              [](const FieldPtr& f) { return *std::get<std::string*>(f) == " kept blanks "; }};
    case Conv::Password:
      return {"\"c2VjcmV0\"", [](const FieldPtr& f) { *std::get<std::string*>(f) = "secret"; },
              [](const FieldPtr& f) { return *std::get<std::string*>(f) == "secret"; }};
    case Conv::Template:
      return {"<a>$#04</a>\\r\\n<b>$#05</b>\\r\\n",
              [](const FieldPtr& f) {
                *std::get<std::vector<std::string>*>(f) = {"<a>$#04</a>", "<b>$#05</b>"};
              },
              [](const FieldPtr& f) {
                return *std::get<std::vector<std::string>*>(f) ==
                       std::vector<std::string>{"<a>$#04</a>", "<b>$#05</b>"};
              }};
    case Conv::ListText:
      return {"JA1 CW\\r\\n*JD1\\r\\n",
              [](const FieldPtr& f) { *std::get<std::string*>(f) = "JA1 CW\r\n*JD1\r\n"; },
              [](const FieldPtr& f) { return *std::get<std::string*>(f) == "JA1 CW\r\n*JD1\r\n"; }};
    case Conv::Custom:
      break;
  }
  return {};
}

TEST(SettingsSchema, SectionsAndKeysAreThoseOfTheWholeFileFixtures) {
  // A key written to a section the file already has joins that section: the file holds the
  // table's keys grouped by section, sections in the order they first appear.
  Keys table;
  for (const FileRow& row : fileRows()) {
    // [Web] is written only once the web console is set up (SettingsIoTest shows it), so
    // neither whole-file fixture has it.
    if (row.section == "Web") continue;
    auto at = table.end();
    for (auto i = table.begin(); i != table.end(); ++i)
      if (i->first == row.section) at = i + 1;
    table.emplace(at, row.section, row.key);
  }
  EXPECT_EQ(table, fileKeys(fixture("first_start.ini")));

  // A hand-written file keeps its own order and spelling, and gains every key of the table.
  const auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  std::set<std::pair<std::string, std::string>> saved;
  for (const auto& [section, key] : fileKeys(fixture("hand_written_saved.ini")))
    saved.emplace(lower(section), lower(key));
  for (const auto& [section, key] : table)
    EXPECT_TRUE(saved.count({lower(section), lower(key)})) << "[" << section << "] " << key;
}

TEST(SettingsSchema, StationKeysAreInTheTableAndTheFile) {
  // The keys of the condition sets, [First], [Tarvopc], [RigDirect] and the patrol windows, as
  // the file's documentation lists them, and the keys this program adds (MOUSE_SEL, Device,
  // RigctldHost, RigctldPort).
  const std::vector<const char*> conditionSet = {
      "Use",  "Any",  "Num",   "Num_L",  "Num_H",    "Band",     "Mode",  "Code",
      "Subj", "Text", "Trans", "Rig",    "RigFreq",  "ModeConv", "M_SSB", "M_CW",
      "M_FM", "M_AM", "M_PSK", "M_RTTY", "M_OTHERS", "Interval"};
  const std::vector<const char*> pilot = {"StayTopOn", "AutoSet", "Sel1", "Sel2", "Sel3"};
  const std::vector<std::pair<const char*, std::vector<const char*>>> sections = {
      {"First_1", conditionSet},
      {"First_2", conditionSet},
      {"First_3", conditionSet},
      {"First_1", {"HAMLOG1"}},
      {"First_2", {"HAMLOG2"}},
      {"First_3", {"HAMLOG3"}},
      {"First", {"HTTP_DATE",   "HTTP_TIME", "HTTP_CALL", "HTTP_FREQ", "HTTP_MODE",  "HTTP_CODE",
                 "HTTP_QTH",    "HTTP_RMKS", "RS_SEL",    "RMKS_SEL",  "KEY_CTRL",   "KEY_SHIFT",
                 "KEY_ALT",     "KEY_DATA",  "TZ",        "COL_DATE",  "COL_TIME",   "COL_CALL",
                 "COL_FREQ",    "COL_MODE",  "COL_CODE",  "COL_QTH",   "COL_RMKS",   "FOCUS_SEL",
                 "MOUSE_SEL",   "NEW_AUTO",  "NEW_STNS",  "MICHI_WR",  "MICHI_FUKA", "TIMEOVER_CHK",
                 "TIMEOVER_MIN"}},
      {"Tarvopc", {"IP", "PORT", "CALL", "CODE", "QTH", "CLEAR"}},
      {"RigDirect",
       {"Use", "Maker", "Com", "Bps", "RigID", "PcID", "RigTarvopc", "Device", "RigctldHost",
        "RigctldPort"}},
      {"Pilot_1", pilot},
      {"Pilot_2", pilot},
      {"Pilot_3", pilot},
  };
  std::set<std::pair<std::string, std::string>> table;
  for (const FileRow& row : fileRows()) table.emplace(row.section, row.key);
  const Keys inFile = fileKeys(fixture("first_start.ini"));
  const std::set<std::pair<std::string, std::string>> file(inFile.begin(), inFile.end());
  std::size_t listed = 0;
  for (const auto& [section, keys] : sections)
    for (const char* key : keys) {
      const std::pair<std::string, std::string> k{section, key};
      EXPECT_TRUE(table.count(k)) << "[" << section << "] " << key << " is not in the table";
      EXPECT_TRUE(file.count(k)) << "[" << section << "] " << key << " is not in the file";
      ++listed;
    }
  // And the table has no station key besides them.
  std::size_t stationRows = 0;
  for (const auto& [section, key] : table)
    if (section.starts_with("First") || section == "Tarvopc" || section == "RigDirect" ||
        section.starts_with("Pilot_"))
      ++stationRows;
  EXPECT_EQ(stationRows, listed);
}

TEST(SettingsTable, EveryRowIsWrittenUnderItsKeyAndReadBackFromIt) {
  TempDir dir;
  const std::string base = dir.file("base.ini"), changed = dir.file("changed.ini");
  MainModel untouched;
  ASSERT_TRUE(SaveSettings(untouched, base).ok);
  const std::set<std::string> baseLines = fileLines(base);

  int checked = 0;
  for (const FileRow& row : fileRows()) {
    if (row.conv == Conv::Custom) continue;  // their own steps: the whole-file fixtures show them
    SCOPED_TRACE(row.section + "/" + row.key);

    MainModel model;
    const bool boolDefault = row.conv == Conv::Bool && *std::get<bool*>(row.field(model));
    const Sample sample = sampleFor(row.conv, boolDefault);
    sample.set(row.field(model));
    std::filesystem::remove(changed);
    ASSERT_TRUE(SaveSettings(model, changed).ok);

    // Exactly the row's line differs from a file of defaults.
    std::set<std::string> added, removed;
    const std::set<std::string> lines = fileLines(changed);
    for (const std::string& l : lines)
      if (!baseLines.count(l)) added.insert(l);
    for (const std::string& l : baseLines)
      if (!lines.count(l)) removed.insert(l);
    EXPECT_EQ(added, std::set<std::string>{"[" + row.section + "]" + row.key + "=" + sample.line});
    EXPECT_EQ(removed.size(), 1u);

    if (row.load == LoadRule::Never) continue;
    MainModel fresh;
    LoadSettings(fresh, changed);
    EXPECT_TRUE(sample.holds(row.field(fresh)));
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

TEST(SettingsTable, ControlsFindTheirRows) {
  struct Row {
    const char* control;
    const char* section;
    const char* key;
    int n;
  };
  const Row rows[] = {
      {"edtURL2", "Inet", "Url#", 2},       {"chkURL3", "Inet", "ChkURL#", 3},
      {"chkList2Url3", "List#", "Url3", 2}, {"Memo_List1", "List#", "List", 1},
      {"edtSmtpPASS", "Mail", "Word", 0},   {"ComboBox2", "Font", "Param", 0},
  };
  for (const Row& r : rows) {
    int n = -1;
    const SettingRow* row = settingRowForControl(r.control, &n);
    ASSERT_NE(row, nullptr) << r.control;
    EXPECT_STREQ(row->section, r.section) << r.control;
    EXPECT_STREQ(row->key, r.key) << r.control;
    EXPECT_EQ(n, r.n) << r.control;
  }
  EXPECT_EQ(settingRowForControl("edtURL4"), nullptr);
  EXPECT_EQ(settingRowForControl("Memo_Log"), nullptr);
}

}  // namespace
}  // namespace zeltaro::app
