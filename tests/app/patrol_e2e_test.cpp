// SPDX-License-Identifier: GPL-3.0-or-later
// A page check with "new" on feeds the patrol windows, and a window's walk hands its rows to
// the transfer at the chosen interval: the main window's model, the patrol lists and a fake
// page server, with a transfer that records the lines.
#include <gtest/gtest.h>

#include "app/main_model.h"
#include "app/patrol_binding.h"
#include "app/spot_page.h"
#include "support/fake_http_client.h"
#include "support/fixed_clock.h"
#include "text/codec.h"

namespace zeltaro::app {
namespace {

using testing::Spot;
using testing::spotPage;

struct RecordingTransfer final : patrol::LineTransfer {
  std::vector<std::string> lines;
  void transferLine(std::string_view line) override { lines.emplace_back(line); }
};

const std::string kUrl1 = "http://127.0.0.1:1/one.html";

class PatrolEndToEnd : public ::testing::Test {
 protected:
  PatrolEndToEnd() : model(services()) {
    model.startUp({"zeltaro"});
    model.pageChecks.edtURL[0] = kUrl1;
    model.watchLists.Memo_List[0] = "STN1\r\n";
    model.watchLists.Memo_List[2] = "JA3\r\n";
    model.station.set(1).HAMLOG = "C:\\HAMLOG\\";
    model.station.set(2).HAMLOG = "C:\\HAMLOG\\";
    model.station.set(3).HAMLOG = "D:\\HAMLOG\\";
  }
  MainServices services() {
    MainServices s;
    s.http = &http;
    return s;
  }
  patrol::PatrolWindow& w(int n) { return binding.lists().window(n); }

  platform::FakeHttpClient http;
  MainModel model;
  platform::FixedClock clock{{2010, 5, 22, 14, 30, 0}};
  RecordingTransfer sent;
  PatrolListsBinding binding{model, clock, &sent};
};

TEST_F(PatrolEndToEnd, NewFeedFillsTheWindowsAndTheWalkTransfersAtTheInterval) {
  model.watchLists.Memo_List[0] = "STN1\r\nSTN2\r\n";
  http.setPage(kUrl1,
               spotPage({{"STN1", "7,010"}, {"JA3AAA", "14,020", "SSB"}, {"STN2", "7,020"}}));
  model.logViews.CheckBox2 = true;
  model.applyNewSwitch();  // nothing to feed yet: the log is the welcome text
  EXPECT_TRUE(w(1).CheckBox2 && w(2).CheckBox2 && w(3).CheckBox2);
  EXPECT_FALSE(binding.anyVisible());
  model.checkPage1();

  const std::string tail = text::sj(" CW  1001 Tokyo 12 tnx JA2YYY＠Aichi#2001 ");
  const std::string stn1 = "1___1 26/12/09 23:15 STN1   7,010 " + tail;
  const std::string stn2 = "1___3 26/12/09 23:15 STN2   7,020 " + tail;
  const std::string ja3 =
      "__3_2 26/12/09 23:15 JA3AAA 14,020 SSB 1001 Tokyo 12 tnx " + text::sj("JA2YYY＠Aichi#2001 ");
  ASSERT_EQ(model.logViews.Memo_Log2.lines, (std::vector<std::string>{stn1, ja3, stn2}));
  // Lists 1 and 2 share a folder: window 1; list 3 has its own: window 3.
  ASSERT_EQ(w(1).CheckListBox1, (std::vector<patrol::PatrolRow>{{stn1, true}, {stn2, true}}));
  EXPECT_TRUE(w(2).CheckListBox1.empty());
  ASSERT_EQ(w(3).CheckListBox1, (std::vector<patrol::PatrolRow>{{ja3, true}}));
  EXPECT_TRUE(w(1).Visible && !w(2).Visible && w(3).Visible);
  // Each new current row went across at once, window 3 first.
  EXPECT_EQ(sent.lines, (std::vector<std::string>{ja3, stn1}));

  // Window 1 walks at 2 seconds: a transfer every 21 ticks of 100 ms.
  sent.lines.clear();
  w(1).ComboBox1 = 1;
  w(1).chooseWatchSeconds();
  w(1).setPatrol(true);
  std::vector<int> at;
  for (int t = 1; t <= 43; ++t) {
    const std::size_t before = sent.lines.size();
    w(1).tick();
    if (sent.lines.size() > before) at.push_back(t);
  }
  EXPECT_EQ(at, (std::vector<int>{1, 22, 43}));
  EXPECT_EQ(sent.lines, (std::vector<std::string>{stn1, stn2, stn1}));

  // The next check brings a newer spot; the walk stays on its row and nothing is sent at once.
  w(1).setPatrol(false);
  sent.lines.clear();
  http.setPage(kUrl1, spotPage({{"STN1", "7,010"},
                                {"JA3AAA", "14,020", "SSB"},
                                {"STN2", "7,020"},
                                {"STN1", "21,074", "FT8"}}));
  model.checkPage1();
  ASSERT_EQ(w(1).rowCount(), 3);
  EXPECT_EQ(w(1).CheckListBox1[1].text, stn1);
  EXPECT_EQ(w(1).CurrentRow, 1);
  EXPECT_TRUE(sent.lines.empty());
}

TEST_F(PatrolEndToEnd, PanePopupItemsFeedFromTheFocusedPaneOnly) {
  http.setPage(kUrl1, spotPage({{"STN1", "7,010"}}));
  model.checkPage1();
  model.logViews.Memo_Log3.selStart = 3;
  model.prepareLogMenu();
  EXPECT_TRUE(model.logViews.logMenu.replaceEnabled);
  model.feedPatrolListsAppending(-1);
  EXPECT_TRUE(w(1).CheckListBox1.empty());
  model.feedPatrolListsAppending(1);
  EXPECT_EQ(w(1).rowCount(), 1);
  // Replacing with no line at all (Memo_Log5 is empty) empties the lists.
  model.feedPatrolListsReplacing(3);
  EXPECT_EQ(w(1).rowCount(), 0);
  // "new (件置換)" switches "new" on everywhere and feeds.
  model.toggleNewSwitch();
  EXPECT_TRUE(model.logViews.CheckBox2 && w(2).CheckBox2);
  EXPECT_EQ(w(1).rowCount(), 1);
  model.toggleNewSwitch();
  EXPECT_FALSE(model.logViews.CheckBox2);
  EXPECT_TRUE(w(2).CheckBox2);
  // The close sequence stores the visible windows.
  w(1).Left = 33;
  model.close();
  EXPECT_EQ(model.station.trans[0].Left, 33);
  EXPECT_EQ(model.station.trans[1].Left, 0);
}

}  // namespace
}  // namespace zeltaro::app
