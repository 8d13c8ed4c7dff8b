// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog's model: what each control shows of its setting, what closing stores
// from what was typed, and the controls that depend on others.

#include "settings_dialog/dialog_model.h"

#include <gtest/gtest.h>

#include <set>

#include "settings/key_table.h"
#include "text/codec.h"

namespace zeltaro::settingsdialog {
namespace {

struct Fixture {
  settings::StationSettings station;
  settings::RoleSlots roles;
  SettingsDialogModel model;
  DialogTarget target() { return {station, roles}; }
  std::string& edit(int n) { return model.text("Edit" + std::to_string(n)); }
};

TEST(SettingsDialogModel, TypedValuesAreStoredAndShownAgainConverted) {
  struct Case {
    const char* control;
    const char* typed;
    std::int32_t stored;
    const char* shownAgain;
    std::int32_t (*read)(const Fixture&);
  };
  const auto newCount = [](const Fixture& f) { return f.station.shared.NEW_STNS; };
  const auto minutes = [](const Fixture& f) { return f.station.shared.TIMEOVER_MIN; };
  const auto call = [](const Fixture& f) { return f.roles.HTTP_CALL; };
  const auto date = [](const Fixture& f) { return f.roles.HTTP_DATE; };
  const auto rmks = [](const Fixture& f) { return f.roles.HTTP_RMKS; };
  const auto rigId = [](const Fixture& f) { return f.station.rigDirect.RigID; };
  const auto pcId = [](const Fixture& f) { return f.station.rigDirect.PcID; };
  const Case cases[] = {
      {"Edit26", "500", 200, "200", newCount},
      {"Edit26", "0", 1, "1", newCount},
      {"Edit26", "", 1, "1", newCount},
      {"Edit26", "12x", 12, "12", newCount},
      {"Edit26", "99999999999", 200, "200", newCount},
      {"Edit13", "25", 4, "04", call},
      {"Edit30", "0", 2, "02", date},
      {"Edit30", "7", 7, "07", date},
      {"Edit33", "20", 20, "20", rmks},
      {"Edit33", "abc", 10, "10", rmks},
      {"Edit18", "6E", 110, "6E", rigId},
      {"Edit18", "6e", 110, "6E", rigId},
      {"Edit34", "zz", 0, "00", pcId},
      {"Edit34", "A", 10, "0A", pcId},
      // The age test can use 0 ... 1439 minutes only.
      {"Edit27", "2000", 1439, "1439", minutes},
      {"Edit27", "90", 90, "90", minutes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.control) + " typed \"" + c.typed + "\"");
    Fixture f;
    f.model.fillFromSettings(f.target());
    *std::get<std::string*>(f.model.field(c.control)) = c.typed;
    f.model.closeAndApply(f.target());
    EXPECT_EQ(c.read(f), c.stored);
    f.model.fillFromSettings(f.target());
    EXPECT_EQ(*std::get<std::string*>(f.model.field(c.control)), c.shownAgain);
  }
}

TEST(SettingsDialogModel, FirstStartShowsTheDefaults) {
  Fixture f;
  f.model.fillFromSettings(f.target());
  const std::pair<int, const char*> edits[] = {
      {1, "1"},   {2, "9999999999"}, {9, " 1'st(A)"}, {11, " 1'st(C)"},
      {18, "6E"}, {34, "50"},        {30, "02"},      {31, "03"},
      {33, "10"}, {26, "10"},        {27, "180"},     {19, "4"},
      {32, "10"}, {21, "127.0.0.1"}, {22, "10001"},   {23, "PSK=SSB,RTTY=SSB,SSTV=SSB"}};
  for (const auto& [n, text] : edits) EXPECT_EQ(f.edit(n), text) << "Edit" << n;
  // RS_SEL 2 "両方", RMKS_SEL 0 "なし", MICHI_WR 0 "なし".
  const bool radios[11] = {false, false, false, true,  false, false,
                           false, true,  false, false, true};
  for (std::size_t i = 1; i <= 10; ++i)
    EXPECT_EQ(f.model.checked("RadioButton" + std::to_string(i)), radios[i]) << i;
  // All bands and all modes on; conditions off; transfer and rig on.
  for (int box = 36; box <= 101; ++box)
    EXPECT_TRUE(f.model.checked("CheckBox" + std::to_string(box))) << "CheckBox" << box;
  for (int box : {1, 2, 3, 4, 16, 19, 105, 106})
    EXPECT_FALSE(f.model.checked("CheckBox" + std::to_string(box))) << box;
  for (int box : {23, 24, 29, 22, 32, 103})
    EXPECT_TRUE(f.model.checked("CheckBox" + std::to_string(box))) << box;
  EXPECT_EQ(f.model.choice("ComboBox1"), 0);
  EXPECT_EQ(f.model.choice("ComboBox2"), 0);
  EXPECT_EQ(f.model.choice("ComboBox4"), 1);
  EXPECT_EQ(f.model.text("ComboBox3"), "/dev/ttyS0");
}

TEST(SettingsDialogModel, RadioGroupsShowOtherValuesOnTheirCatchAllButton) {
  struct Case {
    std::int32_t rs, rmks, michi;
    int rsButton, rmksButton, michiButton;
  };
  const Case cases[] = {
      {0, 1, 1, 1, 8, 5}, {1, 2, 2, 2, 9, 6}, {7, 5, 9, 4, 9, 7}, {-1, 0, 0, 4, 10, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rs);
    Fixture f;
    f.station.shared.RS_SEL = c.rs;
    f.station.shared.RMKS_SEL = c.rmks;
    f.station.shared.MICHI_WR = c.michi;
    f.model.fillFromSettings(f.target());
    for (int b = 1; b <= 10; ++b)
      EXPECT_EQ(f.model.checked("RadioButton" + std::to_string(b)),
                b == c.rsButton || b == c.rmksButton || b == c.michiButton)
          << "RadioButton" << b;
  }
  // Closing stores the chosen button's value: "Remarks2" of the remarks group is 2.
  Fixture f;
  f.model.fillFromSettings(f.target());
  f.model.checked("RadioButton10") = false;
  f.model.checked("RadioButton9") = true;
  f.model.checked("RadioButton3") = false;
  f.model.checked("RadioButton4") = true;
  f.model.checked("RadioButton7") = false;
  f.model.checked("RadioButton5") = true;
  f.model.closeAndApply(f.target());
  EXPECT_EQ(f.station.shared.RMKS_SEL, 2);
  EXPECT_EQ(f.station.shared.RS_SEL, 3);
  EXPECT_EQ(f.station.shared.MICHI_WR, 1);
}

TEST(SettingsDialogModel, BandBoxesAreTheBitsOfEachList) {
  Fixture f;
  f.station.set(2).RigFreq = (1 << 0) | (1 << 3) | (1 << 14);
  f.model.fillFromSettings(f.target());
  for (int box = 71; box <= 84; ++box)
    EXPECT_EQ(f.model.checked("CheckBox" + std::to_string(box)), box == 71 || box == 74) << box;
  EXPECT_TRUE(f.model.checked("CheckBox100"));
  EXPECT_TRUE(f.model.checked("CheckBox99"));
  EXPECT_TRUE(f.model.checked("CheckBox101"));
  // List 1: 1.2G (bit 13) and "他" (bit 14) off; list 3: only 135K on.
  f.model.checked("CheckBox70") = false;
  f.model.checked("CheckBox99") = false;
  for (int box = 86; box <= 98; ++box) f.model.checked("CheckBox" + std::to_string(box)) = false;
  f.model.checked("CheckBox101") = false;
  f.model.closeAndApply(f.target());
  EXPECT_EQ(f.station.set(1).RigFreq, 8191);
  EXPECT_EQ(f.station.set(2).RigFreq, 16393);
  EXPECT_EQ(f.station.set(3).RigFreq, 1);
}

TEST(SettingsDialogModel, KeyListSelectsTheStoredNameOrFallsBackToHome) {
  Fixture f;
  f.station.shared.KEY_DATA = "F5";
  f.model.fillFromSettings(f.target());
  EXPECT_EQ(f.model.choice("ComboBox1"), 11);
  f.model.choice("ComboBox1") = 19;
  f.model.closeAndApply(f.target());
  EXPECT_EQ(f.station.shared.KEY_DATA, "A");
  EXPECT_EQ(f.station.shared.keyIndex, 19);

  f.station.shared.KEY_DATA = "home";  // names are case-sensitive
  f.station.shared.keyIndex = 5;
  f.model.fillFromSettings(f.target());
  EXPECT_EQ(f.model.choice("ComboBox1"), 0);
  EXPECT_EQ(f.station.shared.KEY_DATA, "HOME");
  EXPECT_EQ(f.station.shared.keyIndex, 0);
}

TEST(SettingsDialogModel, RigGroupAndCodeBoxesFollowTheirControls) {
  struct Case {
    int maker;
    bool companion, addressEnabled, listsEnabled;
  };
  const Case cases[] = {{0, false, true, true},
                        {1, false, false, true},
                        {1, true, true, false},
                        {4, false, false, true},
                        {0, true, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.maker) + (c.companion ? " companion" : ""));
    Fixture f;
    f.model.fillFromSettings(f.target());
    f.model.choice("ComboBox2") = c.maker;
    f.model.applyMakerChoice();
    f.model.checked("CheckBox106") = c.companion;
    f.model.applyCompanionChoice();
    EXPECT_EQ(f.model.addressEnabled, c.addressEnabled);
    EXPECT_EQ(f.model.rigListsEnabled, c.listsEnabled);
  }
  // Filled from settings, the dependent state follows at once.
  Fixture f;
  f.station.set(2).Code = true;
  f.station.rigDirect.Maker = 2;
  f.model.fillFromSettings(f.target());
  EXPECT_EQ(f.model.anyVisible, (std::array<bool, 4>{false, false, true, false}));
  EXPECT_FALSE(f.model.addressEnabled);
  f.model.checked("CheckBox18") = true;
  f.model.applyCodeChoice(3);
  f.model.checked("CheckBox17") = false;
  f.model.applyCodeChoice(2);
  EXPECT_EQ(f.model.anyVisible, (std::array<bool, 4>{false, false, false, true}));
}

TEST(SettingsDialogModel, SerialPortTextBecomesComOrDevice) {
  struct Case {
    const char* typed;
    std::int32_t com;
    const char* device;
  };
  const Case cases[] = {{"/dev/ttyUSB0", 7, "/dev/ttyUSB0"},
                        {"/dev/ttyS4", 4, ""},
                        {"COM3", 2, ""},
                        {"COM31", 7, "COM31"},
                        {"", 7, "/dev/old"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Fixture f;
    f.station.rigDirect.Com = 7;
    f.station.rigDirect.Device = "/dev/old";
    f.model.fillFromSettings(f.target());
    EXPECT_EQ(f.model.text("ComboBox3"), "/dev/old");
    f.model.text("ComboBox3") = c.typed;
    f.model.closeAndApply(f.target());
    EXPECT_EQ(f.station.rigDirect.Com, c.com);
    EXPECT_EQ(f.station.rigDirect.Device, c.device);
  }
}

TEST(SettingsDialogModel, ListControlsReachTheirOwnConditionSet) {
  Fixture f;
  f.model.fillFromSettings(f.target());
  f.model.checked("CheckBox8") = true;    // list 2 Use
  f.model.checked("CheckBox11") = true;   // list 3 No.
  f.edit(4) = "500";                      // list 2 Num_H
  f.edit(11) = " 1'st(Z)";                // list 3 subject suffix
  f.model.checked("CheckBox27") = false;  // list 3 transfer
  f.model.checked("CheckBox41") = false;  // list 1 RTTY
  f.model.checked("CheckBox56") = false;  // list 3 others
  f.edit(24) = "FT8=SSB";                 // list 2 mode conversion
  f.model.text("StaticText3") = "/x/";    // list 3 folder
  const CloseResult r = f.model.closeAndApply(f.target());
  EXPECT_TRUE(r.foldersChanged);
  EXPECT_TRUE(f.station.set(2).Use);
  EXPECT_FALSE(f.station.set(1).Use);
  EXPECT_TRUE(f.station.set(3).Num);
  EXPECT_EQ(f.station.set(2).Num_H, "500");
  EXPECT_EQ(f.station.set(3).Text, " 1'st(Z)");
  EXPECT_FALSE(f.station.set(3).Trans);
  EXPECT_FALSE(f.station.set(1).M_RTTY);
  EXPECT_FALSE(f.station.set(3).M_OTHERS);
  EXPECT_TRUE(f.station.set(2).M_OTHERS);
  EXPECT_EQ(f.station.set(2).ModeConv, "FT8=SSB");
  EXPECT_EQ(f.station.set(3).HAMLOG, "/x/");
  EXPECT_FALSE(f.model.closeAndApply(f.target()).foldersChanged);
}

TEST(SettingsDialogModel, DesignNamesShowTheirKeys) {
  // The design's control names against the file's keys, so that a name moved to another row
  // or list shows here.
  struct Case {
    const char* control;
    const char* section;
    const char* key;
    int n;
  };
  const Case cases[] = {
      {"CheckBox4", "First_#", "Use", 1},       {"CheckBox8", "First_#", "Use", 2},
      {"CheckBox12", "First_#", "Use", 3},      {"Edit5", "First_#", "Num_L", 3},
      {"CheckBox17", "First_#", "Code", 2},     {"CheckBox21", "First_#", "Any", 3},
      {"Edit10", "First_#", "Text", 2},         {"CheckBox27", "First_#", "Trans", 3},
      {"CheckBox49", "First_#", "M_OTHERS", 2}, {"CheckBox57", "First_#", "RigFreq", 1},
      {"CheckBox98", "First_#", "RigFreq", 3},  {"CheckBox100", "First_#", "RigFreq", 2},
      {"Edit25", "First_#", "ModeConv", 3},     {"StaticText2", "First_#", "HAMLOG#", 2},
      {"Edit30", "First", "HTTP_DATE", 0},      {"Edit7", "First", "HTTP_FREQ", 0},
      {"Edit33", "First", "HTTP_RMKS", 0},      {"Edit19", "First", "COL_CALL", 0},
      {"RadioButton4", "First", "RS_SEL", 0},   {"RadioButton9", "First", "RMKS_SEL", 0},
      {"RadioButton7", "First", "MICHI_WR", 0}, {"ComboBox1", "First", "KEY_DATA", 0},
      {"CheckBox32", "First", "MOUSE_SEL", 0},  {"Edit26", "First", "NEW_STNS", 0},
      {"Edit27", "First", "TIMEOVER_MIN", 0},   {"CheckBox104", "Tarvopc", "QTH", 0},
      {"Edit22", "Tarvopc", "PORT", 0},         {"ComboBox2", "RigDirect", "Maker", 0},
      {"ComboBox3", "RigDirect", "Device", 0},  {"ComboBox4", "RigDirect", "Bps", 0},
      {"Edit34", "RigDirect", "PcID", 0},       {"CheckBox106", "RigDirect", "RigTarvopc", 0},
  };
  for (const Case& c : cases) {
    const ControlRow* row = controlRow(c.control);
    ASSERT_NE(row, nullptr) << c.control;
    EXPECT_STREQ(row->row->section, c.section) << c.control;
    EXPECT_STREQ(row->row->key, c.key) << c.control;
    EXPECT_EQ(row->n, c.n) << c.control;
  }
  // Band bit 14 ("他") of list 2 sits on a box of its own.
  EXPECT_EQ(controlRow("First_#", "RigFreq", 2, 14)->control, "CheckBox100");
  EXPECT_EQ(controlRow("First_#", "RigFreq", 2, 14)->param, 14);
  EXPECT_STREQ(controlRow("First_#", "Use", 3)->caption, "List 3 に抽出条件を追加する");
}

TEST(SettingsDialogModel, EveryControlHasItsFieldAndEveryCaptionOrHintIsThere) {
  SettingsDialogModel model;
  std::set<std::string> seen;
  for (const ControlRow& r : controlRows()) {
    EXPECT_TRUE(seen.insert(r.control).second) << "twice: " << r.control;
    EXPECT_FALSE(std::holds_alternative<std::monostate>(model.field(r.control))) << r.control;
    EXPECT_TRUE(*r.caption || *r.hint) << r.control;
  }
  for (const char* unknown : {"CheckBox0", "CheckBox107", "Edit35", "Edit", "Label1", "Edit1x"})
    EXPECT_TRUE(std::holds_alternative<std::monostate>(model.field(unknown))) << unknown;
}

}  // namespace
}  // namespace zeltaro::settingsdialog
