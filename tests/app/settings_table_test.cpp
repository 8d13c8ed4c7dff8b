// Every row of the settings table against the file: a value set in the row's field is written
// under the row's own key and nowhere else, and a fresh model reads it back from that key.
#include "app/settings_table.h"

#include <gtest/gtest.h>

#include <set>

#include "app/main_model.h"
#include "app/settings_io.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

namespace zeltaro::app {
namespace {

using settings::Conv;
using settings::FieldPtr;
using settings::LoadRule;
using zeltaro::testing::readBytes;
using zeltaro::testing::TempDir;

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

TEST(SettingsTable, EveryRowIsWrittenUnderItsKeyAndReadBackFromIt) {
  TempDir dir;
  const std::string base = dir.file("base.ini"), changed = dir.file("changed.ini");
  MainModel untouched;
  ASSERT_TRUE(SaveSettings(untouched, base).ok);
  const std::set<std::string> baseLines = fileLines(base);

  int checked = 0;
  settings::forEachRow(settingsTable(), [&](const SettingRow& row, int n) {
    if (row.conv == Conv::Custom) return;  // their own steps: the whole-file fixtures show them
    const std::string key = settings::forList(row.key, n);
    SCOPED_TRACE(settings::forList(row.section, n) + "/" + key);

    MainModel model;
    const bool boolDefault = row.conv == Conv::Bool && *std::get<bool*>(row.field(model, n));
    const Sample sample = sampleFor(row.conv, boolDefault);
    sample.set(row.field(model, n));
    std::filesystem::remove(changed);
    ASSERT_TRUE(SaveSettings(model, changed).ok);

    // Exactly the row's line differs from a file of defaults.
    std::set<std::string> added, removed;
    const std::set<std::string> lines = fileLines(changed);
    for (const std::string& l : lines)
      if (!baseLines.count(l)) added.insert(l);
    for (const std::string& l : baseLines)
      if (!lines.count(l)) removed.insert(l);
    const std::string section = "[" + settings::forList(row.section, n) + "]";
    EXPECT_EQ(added, std::set<std::string>{section + key + "=" + sample.line});
    EXPECT_EQ(removed.size(), 1u);

    if (row.load == LoadRule::Never) return;
    MainModel fresh;
    LoadSettings(fresh, changed);
    EXPECT_TRUE(sample.holds(row.field(fresh, n)));
    ++checked;
  });
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
