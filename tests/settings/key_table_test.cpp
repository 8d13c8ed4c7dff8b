// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/key_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/station_settings.h"

namespace zeltaro::settings {
namespace {

TEST(KeyNameTable, NamesAndCodesInDialogOrder) {
  struct Row {
    int index;
    const char* name;
    int code;
  };
  const Row rows[] = {
      {0, "HOME", 0x24}, {1, "ESC", 0x1B}, {2, "TAB", 0x09}, {6, "DOWN", 0x28}, {7, "F1", 0x70},
      {18, "F12", 0x7B}, {19, "A", 0x41},  {44, "Z", 0x5A},  {45, "0", 0x30},   {54, "9", 0x39},
      {55, ";", 0xBB},   {59, ":", 0xBA},  {61, "@", 0xC0},  {63, "\\", 0xDC},  {66, "_", 0xDF},
  };
  const auto& table = keyNameTable();
  for (const Row& r : rows) {
    EXPECT_EQ(table[static_cast<std::size_t>(r.index)].name, r.name) << r.index;
    EXPECT_EQ(table[static_cast<std::size_t>(r.index)].code, r.code) << r.name;
  }
  std::set<std::string_view> names;
  for (const KeyName& k : table) names.insert(k.name);
  EXPECT_EQ(names.size(), table.size()) << "a name twice would hide its second entry";
}

TEST(KeyNameTable, LookUpIsExactAndCaseSensitive) {
  EXPECT_EQ(findKeyName("HOME"), 0);
  EXPECT_EQ(findKeyName("F10"), 16);
  EXPECT_EQ(findKeyName("]"), 64);
  EXPECT_EQ(findKeyName("home"), -1);
  EXPECT_EQ(findKeyName("F1 "), -1);
  EXPECT_EQ(findKeyName(""), -1);
}

TEST(SettingsPath, ExtensionBecomesIni) {
  EXPECT_EQ(settingsPathFor("/opt/zeltaro/zeltaro"), "/opt/zeltaro/zeltaro.ini");
  EXPECT_EQ(settingsPathFor("/opt/ham/ZELTARO.exe"), "/opt/ham/ZELTARO.ini");
  EXPECT_EQ(settingsPathFor("/opt/v2.11/zeltaro"), "/opt/v2.11/zeltaro.ini")
      << "a dot in a folder name is no extension";
  EXPECT_EQ(settingsPathFor("/opt/.zeltaro"), "/opt/.zeltaro.ini");
}

TEST(StationSettings, FirstStartDefaultsOfTheConditionSets) {
  const StationSettings s;
  const char* suffixes[] = {" 1'st(A)", " 1'st(B)", " 1'st(C)"};
  for (int n = 1; n <= 3; ++n) {
    const FirstQsoConditionSet& c = s.set(n);
    EXPECT_EQ(c.Text, suffixes[n - 1]);
    EXPECT_FALSE(c.Use || c.Any || c.Num || c.Band || c.Mode || c.Code || c.Subj) << n;
    EXPECT_TRUE(c.Trans && c.Rig) << n;
    EXPECT_EQ(c.RigFreq, 0x7FFF) << "all 15 bands";
    EXPECT_TRUE(c.M_SSB && c.M_CW && c.M_FM && c.M_AM && c.M_PSK && c.M_RTTY && c.M_OTHERS);
    EXPECT_EQ(c.ModeConv, "PSK=SSB,RTTY=SSB,SSTV=SSB");
  }
}

}  // namespace
}  // namespace zeltaro::settings
