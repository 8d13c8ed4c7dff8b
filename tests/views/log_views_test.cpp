// SPDX-License-Identifier: GPL-3.0-or-later
// The log panes: rebuild, selection kept, flags to panes, display modes and layout, fonts,
// the popup menu.
#include "views/log_views.h"

#include <gtest/gtest.h>

#include "text/codec.h"
#include "text/sjis.h"
#include "views/log_font.h"

namespace zeltaro::views {
namespace {

using Lines = std::vector<std::string>;

class PanesTest : public ::testing::Test {
 protected:
  LogPanes panes() { return {log, all, one, two, three}; }
  void refresh(int columns = 9) {
    refreshViews(panes(), columns, welcome, [this] { ++feeds; });
  }
  Pane log, all, one, two, three;
  std::string welcome = "welcome\r\n";
  int feeds = 0;
};

TEST_F(PanesTest, LinesGoToThePanesOfTheirFlags) {
  log.lines = {"1___a", "12__b", "___3_c", "_23_d"};
  refresh();
  EXPECT_EQ(all.lines, (Lines{"1___a  ", "12__b  ", "___3_c ", "_23_d  "}));
  EXPECT_EQ(one.lines, (Lines{"1___a  ", "12__b  "}));
  EXPECT_EQ(two.lines, (Lines{"12__b  ", "_23_d  "}));
  EXPECT_EQ(three.lines, (Lines{"_23_d  "}));
  EXPECT_EQ(log.lines, (Lines{"1___a", "12__b", "___3_c", "_23_d"}));  // as composed
  EXPECT_EQ(feeds, 1);
}

TEST_F(PanesTest, TheWelcomeTextIsLeftAlone) {
  log.lines = {"welcome"};
  all.lines = {"welcome"};
  all.selStart = 2;
  refresh();
  EXPECT_EQ(all.lines, Lines{"welcome"});
  EXPECT_EQ(all.selStart, 2);
  EXPECT_EQ(feeds, 0);  // not even the "new" feed
}

TEST_F(PanesTest, ASelectionKeepsItsTextWhenLinesArriveAtTheTop) {
  log.lines = {"1___STN1 7010", "1___STN2 7020", "_2__STN3 7030"};
  refresh();
  for (Pane* p : {&all, &one}) {
    const std::string t = paneText(*p);
    p->selStart = static_cast<int>(text::find(t, "STN2 7020") - 1);
    p->selLength = 9;
  }
  two.selStart = 4;  // on "STN3"
  two.selLength = 4;

  log.lines.insert(log.lines.begin(), {"1___STN4 7040", "12__STN5 7050", "1___STN6 7060"});
  refresh();
  EXPECT_EQ(selectedText(all), "STN2 7020");
  EXPECT_EQ(selectedText(one), "STN2 7020");
  EXPECT_EQ(selectedText(two), "STN3");
  EXPECT_EQ(selectedText(three), "");

  // A pane whose old first line is gone loses its selection.
  log.lines = {"1___STN9 7090"};
  refresh();
  EXPECT_EQ(all.selStart, 0);
  EXPECT_EQ(all.selLength, 0);
}

TEST_F(PanesTest, DisplayModesAndFiltersChooseThePanes) {
  struct Case {
    bool aligned;
    LogFilter filter;
    std::array<bool, 5> visible;  // Memo_Log ... Memo_Log5
  };
  const Case cases[] = {
      {false, LogFilter::Stacked, {true, false, false, false, false}},
      {false, LogFilter::All, {true, false, false, false, false}},
      {true, LogFilter::All, {false, true, false, false, false}},
      {true, LogFilter::List1, {false, false, true, false, false}},
      {true, LogFilter::List2, {false, false, false, true, false}},
      {true, LogFilter::List3, {false, false, false, false, true}},
      {true, LogFilter::Stacked, {false, false, true, true, true}},
  };
  for (const Case& c : cases) {
    log.firstVisibleLine = all.firstVisibleColumn = 7;
    ApplyDisplayMode(panes(), c.aligned, c.filter);
    const std::array<bool, 5> shown = {log.visible, all.visible, one.visible, two.visible,
                                       three.visible};
    EXPECT_EQ(shown, c.visible) << c.aligned << " " << static_cast<int>(c.filter);
    EXPECT_EQ(log.firstVisibleLine, 0);
    EXPECT_EQ(all.firstVisibleColumn, 0);
  }
}

TEST_F(PanesTest, StackedPanesShareTheHeightInThirds) {
  all.bounds = {200, 4, 638, 100};
  for (Pane* p : {&one, &two, &three}) p->bounds = all.bounds;
  LayOutLogPanes(panes(), true, LogFilter::Stacked);
  EXPECT_EQ(one.bounds, (Rect{200, 4, 638, 33}));
  EXPECT_EQ(two.bounds, (Rect{200, 37, 638, 33}));
  EXPECT_EQ(three.bounds, (Rect{200, 70, 638, 34}));

  // Any other filter puts them back on Memo_Log2.
  LayOutLogPanes(panes(), true, LogFilter::List2);
  for (Pane* p : {&one, &two, &three}) EXPECT_EQ(p->bounds, all.bounds);
  EXPECT_TRUE(two.visible);
  EXPECT_FALSE(one.visible);
}

TEST_F(PanesTest, MenuItemsActOnTheFirstVisibleAlignedPane) {
  ApplyDisplayMode(panes(), true, LogFilter::Stacked);
  EXPECT_EQ(menuPane(panes()), &one);
  ApplyDisplayMode(panes(), true, LogFilter::List3);
  EXPECT_EQ(menuPane(panes()), &three);
  ApplyDisplayMode(panes(), false, LogFilter::All);
  EXPECT_EQ(menuPane(panes()), nullptr);

  three.lines = {"1__3_a ", "__3_b "};
  selectAll(three);
  EXPECT_EQ(selectedText(three), "1__3_a \r\n__3_b \r\n");
}

TEST_F(PanesTest, PopupPatrolItemsNeedPatrolListsAndAnAlignedPane) {
  ApplyDisplayMode(panes(), true, LogFilter::All);
  LogMenu m = prepareLogMenu(panes(), false, 10, false);
  EXPECT_FALSE(m.replaceEnabled || m.appendEnabled || m.newItemEnabled);

  m = prepareLogMenu(panes(), true, 10, true);
  EXPECT_TRUE(m.replaceEnabled && m.appendEnabled && m.newItemEnabled);
  EXPECT_TRUE(m.newItemChecked);
  EXPECT_EQ(m.newItemCaption, text::sj("newで置換 (10件)  (&N)"));

  ApplyDisplayMode(panes(), false, LogFilter::All);
  m = prepareLogMenu(panes(), true, 3, false);
  EXPECT_FALSE(m.replaceEnabled || m.appendEnabled || m.newItemEnabled);
  EXPECT_EQ(m.newItemCaption, text::sj("newで置換 (3件)  (&N)"));
}

TEST(LogFont, ItemsReadAsTheirTextSays) {
  struct Case {
    int index;
    PaneFont font;
    int row;
  };
  const Case cases[] = {
      {0, {9, -12}, 12}, {3, {12, -16}, 16}, {12, {36, -48}, 48}, {14, {72, -96}, 96}};
  for (const Case& c : cases) {
    ASSERT_TRUE(fontOfItem(c.index)) << c.index;
    EXPECT_EQ(*fontOfItem(c.index), c.font) << c.index;
    EXPECT_EQ(rowHeight(*fontOfItem(c.index)), c.row) << c.index;
  }
  EXPECT_EQ(fontItems().size(), 15u);
  EXPECT_FALSE(fontOfItem(-1));
  EXPECT_FALSE(fontOfItem(15));
  EXPECT_EQ(parseFontItem("7x   -9pt"), (PaneFont{7, -9}));
  EXPECT_EQ(parseFontItem("9"), (PaneFont{9, 0}));
}

TEST(LogFilterSetting, UnknownNumbersActAsAll) {
  EXPECT_EQ(filterFromLog123(4), LogFilter::Stacked);
  EXPECT_EQ(filterFromLog123(1), LogFilter::List1);
  EXPECT_EQ(filterFromLog123(5), LogFilter::All);
  EXPECT_EQ(filterFromLog123(-1), LogFilter::All);
}

}  // namespace
}  // namespace zeltaro::views
