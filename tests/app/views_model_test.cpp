// SPDX-License-Identifier: GPL-3.0-or-later
// The main window model's log view handlers: filter buttons, display modes, fonts, "Config",
// "CLR", resizing and the pane menu.
#include <gtest/gtest.h>

#include "app/main_model.h"
#include "platform/clipboard.h"
#include "support/recorders.h"
#include "text/codec.h"
#include "views/log_font.h"

namespace zeltaro::app {
namespace {

using Lines = std::vector<std::string>;
using views::PaneFont;
using views::Rect;

class ViewsModelTest : public ::testing::Test {
 protected:
  ViewsModelTest() : model(services()) {}
  MainServices services() {
    MainServices s;
    s.patrolLists = &lists;
    s.clipboard = &clipboardRecorder;
    return s;
  }
  // Records the fonts and the feeds the patrol lists are given.
  struct PatrolLists final : PatrolListsLink {
    explicit PatrolLists(ViewsModelTest& t) : test(t) {}
    void feedNewest() override { ++test.feeds; }
    void applyFont(const PaneFont& f) override { test.patrolFonts.push_back(f); }
    void stopPatrol(bool) override {}
    bool anyVisible() const override { return false; }
    void feed(bool, int) override {}
    void newSwitched(bool, bool) override {}
    void saveVisibleWindows() override {}
    ViewsModelTest& test;
  };
  std::array<bool, 5> shown() const {
    return {model.logViews.Memo_Log.visible, model.logViews.Memo_Log2.visible,
            model.logViews.Memo_Log3.visible, model.logViews.Memo_Log4.visible,
            model.logViews.Memo_Log5.visible};
  }
  std::vector<PaneFont> patrolFonts;
  int feeds = 0;
  PatrolLists lists{*this};
  platform::RecordingClipboard clipboardRecorder;
  Lines& clipboard = clipboardRecorder.copied;
  MainModel model;
};

TEST_F(ViewsModelTest, StartUpChecksTheRememberedFilterAndStacksThePanes) {
  model.logViews.Log123 = 4;
  model.logViews.Height = 400;  // caption 23: the log area keeps its 112 pixels
  model.startUp({"zeltaro"});
  EXPECT_TRUE(model.logViews.RadioButton5);
  EXPECT_FALSE(model.logViews.RadioButton1);
  EXPECT_EQ(shown(), (std::array<bool, 5>{false, false, true, true, true}));
  // Memo_Log2 is 112 - 4 - 6 = 102 pixels high.
  EXPECT_EQ(model.logViews.Memo_Log3.bounds, (Rect{200, 4, 638, 34}));
  EXPECT_EQ(model.logViews.Memo_Log5.bounds, (Rect{200, 72, 638, 34}));
  EXPECT_EQ(model.logViews.Memo_Log2.lines, model.logViews.Memo_Log.lines);  // the welcome text

  MainModel other;
  other.logViews.Log123 = 9;
  other.startUp({"zeltaro"});
  EXPECT_TRUE(other.logViews.RadioButton1);
  EXPECT_EQ(other.logViews.Log123, 9);  // only a filter button changes the remembered value
}

TEST_F(ViewsModelTest, FilterButtonsAndDisplayModes) {
  model.startUp({"zeltaro"});
  model.filterLogStacked();
  EXPECT_EQ(model.logViews.Log123, 4);
  EXPECT_EQ(shown(), (std::array<bool, 5>{false, false, true, true, true}));

  model.chooseDisplay1();
  EXPECT_EQ(shown(), (std::array<bool, 5>{true, false, false, false, false}));
  EXPECT_TRUE(model.logViews.radioDisp1);
  EXPECT_FALSE(model.logViews.radioDisp2);

  model.chooseDisplay2();
  EXPECT_EQ(shown(), (std::array<bool, 5>{false, false, true, true, true}));

  model.logViews.Width = 1200;
  model.logViews.Height = 900;
  model.fitToWindowSize();
  EXPECT_EQ(model.logViews.Log123, 4);
  EXPECT_EQ(model.logViews.Memo_Log3.bounds.width, 1200 - 8 - 200 - 6);

  model.filterLogList2();
  EXPECT_EQ(model.logViews.Log123, 2);
  EXPECT_TRUE(model.logViews.RadioButton3);
  EXPECT_FALSE(model.logViews.RadioButton5);
  EXPECT_EQ(shown(), (std::array<bool, 5>{false, false, false, true, false}));
  EXPECT_EQ(model.logViews.Memo_Log4.bounds, model.logViews.Memo_Log2.bounds);
}

TEST_F(ViewsModelTest, FontItemsReachThePanesAndThePatrolLists) {
  model.logViews.ComboBox2 = 14;  // "72   -96"
  model.applyLogFont();
  for (const views::Pane* p :
       {&model.logViews.Memo_Log, &model.logViews.Memo_Log2, &model.logViews.Memo_Log5})
    EXPECT_EQ(p->font, (PaneFont{72, -96}));
  ASSERT_EQ(patrolFonts.size(), 1u);
  EXPECT_EQ(views::rowHeight(patrolFonts[0]), 96);

  // A stored index outside the items selects none; the fonts stay.
  model.logViews.ComboBox2 = 15;
  model.applyLogFont();
  EXPECT_EQ(model.logViews.ComboBox2, -1);
  EXPECT_EQ(model.logViews.Memo_Log3.font, (PaneFont{72, -96}));
  EXPECT_EQ(patrolFonts.size(), 1u);

  MainModel fresh;
  fresh.logViews.ComboBox2 = 40;
  fresh.startUp({"zeltaro"});
  EXPECT_EQ(fresh.logViews.Memo_Log2.font, (PaneFont{12, -16}));  // the design font
}

TEST_F(ViewsModelTest, ColumnCountFollowsComboBox1) {
  model.logViews.WelcomeText = "x";
  model.logViews.Memo_Log.lines = {"1___AB x y", "1___A xx y"};
  model.logViews.ComboBox1 = 0;  // "2"
  model.applyColumnCount();
  EXPECT_EQ(model.logViews.Memo_Log2.lines, (Lines{"1___AB x y ", "1___A  xx y "}));
  model.logViews.ComboBox1 = 1;  // "3"
  model.applyColumnCount();
  EXPECT_EQ(model.logViews.Memo_Log2.lines, (Lines{"1___AB x  y ", "1___A  xx y "}));
  EXPECT_EQ(feeds, 2);
}

TEST_F(ViewsModelTest, ConfigSwitchesTheSettingsPanels) {
  model.startUp({"zeltaro"});
  model.logViews.CheckBox1 = false;
  model.applyConfigSwitch();
  EXPECT_FALSE(model.logViews.layout.Panel3Visible);
  EXPECT_EQ(model.logViews.layout.Panel1.height, 631 - 23 - 8);
  EXPECT_EQ(model.logViews.Memo_Log2.bounds.height, 600 - 4 - 6);

  model.logViews.CheckBox1 = true;
  model.applyConfigSwitch();
  EXPECT_TRUE(model.logViews.layout.Panel2Visible && model.logViews.layout.Panel3Visible &&
              model.logViews.layout.Panel4Visible);
  EXPECT_EQ(model.logViews.Memo_Log2.bounds.height, 102);
}

TEST_F(ViewsModelTest, ClearEmptiesThePanesAndTurnsTheLampsGreen) {
  model.logViews.WelcomeText = "x";
  model.logViews.Memo_Log.lines = {"1___a", "_2__b"};
  model.refreshViews();
  model.alerts.lamps.light(true, true, false);
  model.alerts.MailText = "mail";
  model.filterLogList3();

  model.clearLogs();
  for (const views::Pane* p :
       {&model.logViews.Memo_Log, &model.logViews.Memo_Log2, &model.logViews.Memo_Log3,
        &model.logViews.Memo_Log4, &model.logViews.Memo_Log5})
    EXPECT_TRUE(p->lines.empty());
  EXPECT_EQ(model.alerts.MailText, "");
  EXPECT_EQ(model.alerts.lamps.masterLamp.fontColor, alerts::kLampGreen);
  EXPECT_EQ(model.alerts.lamps.list1Lamp.fontColor, alerts::kLampGreen);
  EXPECT_EQ(model.alerts.lamps.list1Caption.fontColor, alerts::kLampGreen);
  EXPECT_EQ(model.alerts.lamps.stackedCaption.fontColor, alerts::kLampGreen);
  EXPECT_EQ(model.logViews.Log123, 3);
}

TEST_F(ViewsModelTest, MenuCopyAndSelectAllActOnTheShownAlignedPane) {
  model.startUp({"zeltaro"});
  model.logViews.Memo_Log.lines = {"1___a", "_2__b"};
  model.refreshViews();
  model.filterLogStacked();
  model.selectWholeLog();
  model.copySelection();
  EXPECT_EQ(clipboard, Lines{"1___a \r\n"});  // Memo_Log3 leads the stacked panes

  model.chooseDisplay1();  // only Memo_Log shows: the menu items do nothing
  model.copySelection();
  EXPECT_EQ(clipboard.size(), 1u);
  model.paneKeyDown(model.logViews.Memo_Log, 'A', true);
  model.paneKeyDown(model.logViews.Memo_Log, 'C', true);
  EXPECT_EQ(clipboard.back(), "1___a\r\n_2__b\r\n");

  model.prepareLogMenu();
  EXPECT_FALSE(model.logViews.logMenu.replaceEnabled);
  model.logViews.patrolListsReady = true;
  model.chooseDisplay2();
  model.prepareLogMenu();
  EXPECT_TRUE(model.logViews.logMenu.appendEnabled);
  EXPECT_EQ(model.logViews.logMenu.newItemCaption, text::sj("newで置換 (10件)  (&N)"));
}

}  // namespace
}  // namespace zeltaro::app
