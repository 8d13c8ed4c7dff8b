// SPDX-License-Identifier: GPL-3.0-or-later
// The resize rules of the main window's areas.
#include "views/main_layout.h"

#include <gtest/gtest.h>

namespace zeltaro::views {
namespace {

class LayoutTest : public ::testing::Test {
 protected:
  LogPanes panes() { return {log, all, one, two, three}; }
  MainLayout layout;  // caption 23
  Pane log, all, one, two, three;
};

TEST_F(LayoutTest, AreasFollowTheWindow) {
  fitToWindowSize(layout, 1000, 700, true);
  EXPECT_EQ(layout.Panel3, (Rect{424, 216, 1000 - 424 - 8, 700 - 216 - 23 - 10}));
  EXPECT_EQ(layout.Panel4.height, 451);
  EXPECT_EQ(layout.Panel1.height, 112);  // "Config" on: the log area keeps its height
  EXPECT_EQ(layout.Panel1.width, 992);

  layOutLogArea(layout, panes());
  EXPECT_EQ(log.bounds, (Rect{200, 4, 992 - 200 - 6, 112 - 4 - 6}));
  EXPECT_EQ(three.bounds, log.bounds);

  layOutWatchListArea(layout);
  EXPECT_EQ(layout.Memo_List1.width, 562);
  EXPECT_EQ(layout.Memo_List2.width, 562);
  EXPECT_EQ(layout.Memo_List3, (Rect{3, 254, 562, 451 - 254 - 6}));
  layOutSettingsArea(layout);
  EXPECT_EQ(layout.Memo_pcre.height, 451 - 196 - 6);
}

TEST_F(LayoutTest, ConfigOffGivesTheLogAreaTheWholeWindow) {
  showConfig(layout, false, 700);
  EXPECT_FALSE(layout.Panel2Visible || layout.Panel3Visible || layout.Panel4Visible);
  EXPECT_EQ(layout.Panel1.height, 700 - 23 - 8);
  fitToWindowSize(layout, 900, 500, false);
  EXPECT_EQ(layout.Panel1.height, 500 - 23 - 8);

  showConfig(layout, true, 500);
  EXPECT_TRUE(layout.Panel2Visible && layout.Panel3Visible && layout.Panel4Visible);
  EXPECT_EQ(layout.Panel1.height, 112);  // held by the hidden Panel6
}

}  // namespace
}  // namespace zeltaro::views
