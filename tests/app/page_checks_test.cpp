// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/page_checks.h"

#include <gtest/gtest.h>

#include "alerts/new_line_alerts.h"
#include "app/log_views.h"
#include "app/patrol_clock.h"
#include "app/spot_page.h"
#include "platform/message_pump.h"
#include "settings/station_settings.h"
#include "support/fake_http_client.h"
#include "watchlists/watch_lists.h"

namespace zeltaro::app {
namespace {

using Lines = std::vector<std::string>;
using testing::Spot;
using testing::spotDisplay;
using testing::spotPage;

const std::string kUrl1 = "http://127.0.0.1:1/one.html";
const std::string kUrl2 = "http://127.0.0.1:1/two.html";

// The page checks over their own parts, without a main model.
class PageChecksTest : public ::testing::Test {
 protected:
  PageChecksTest() {
    services.http = &http;
    services.pump = &pump;
    checks.edtURL = {kUrl1, kUrl2, ""};
    checks.chkURL = {true, true, false};
    lists.text(1) = "JA1\r\n";
    lists.text(2) = "SSB\r\n";
    lists.text(3).clear();
    log.Memo_Log.lines.clear();
  }
  platform::FakeHttpClient http;
  platform::NullMessagePump pump;
  MainServices services;
  watchlists::WatchLists lists;
  PatrolClock clock;
  LogViews log{services};
  alerts::NewLineAlerts alerts{{}};
  settings::StationSettings station;
  PageChecks checks{{.services = services,
                     .lists = lists,
                     .clock = clock,
                     .log = log,
                     .alerts = alerts,
                     .station = station}};
  const Spot a{.call = "JA1AAA", .freq = "7,010"};
  const Spot b{.call = "JA2BBB", .freq = "14,020", .mode = "SSB"};
};

TEST_F(PageChecksTest, OnlyLinesNotYetInTheLogAreInsertedAndMarkedByTheirLists) {
  http.setPage(kUrl1, spotPage({a, b}));
  EXPECT_EQ(checks.UrlCheck(1), 2);
  EXPECT_EQ(log.Memo_Log.lines, (Lines{"1___" + spotDisplay(1, a), "_2__" + spotDisplay(2, b)}));
  EXPECT_EQ(alerts.lamps.list1Lamp.fontColor, alerts::kLampRed);

  EXPECT_EQ(checks.UrlCheck(1), 0) << "the same page again brings nothing new";
  EXPECT_EQ(log.Memo_Log.lines.size(), 2u);
}

// A page long enough for its records to be prepared by two threads: every matching record's
// line, in page order, each once.
TEST_F(PageChecksTest, ALongPageGivesEveryMatchingLineInPageOrder) {
  std::vector<Spot> spots;
  Lines expected;
  for (int i = 1; i <= 2500; ++i) {
    Spot s{.call = "JA2" + std::to_string(100000 + i), .freq = "7,0" + std::to_string(i % 90 + 10)};
    if (i % 37 == 0) s.call = "JA1" + std::to_string(i);
    if (i % 53 == 0) s.mode = "SSB";
    spots.push_back(s);
    const std::string marks = std::string(i % 37 == 0 ? "1" : "_") + (i % 53 == 0 ? "2" : "_");
    if (marks != "__") expected.push_back(marks + "__" + spotDisplay(i, s));
  }
  http.setPage(kUrl1, spotPage(spots));
  EXPECT_EQ(checks.UrlCheck(1), static_cast<int>(expected.size()));
  EXPECT_EQ(log.Memo_Log.lines, expected);
}

TEST_F(PageChecksTest, AListSwitchedOffForAUrlIsNotSearchedOnItsPages) {
  lists.enabledForUrl(2, 1) = false;
  http.setPage(kUrl1, spotPage({a, b}));
  EXPECT_EQ(checks.UrlCheck(1), 1);
  EXPECT_EQ(log.Memo_Log.lines, Lines{"1___" + spotDisplay(1, a)});
}

TEST_F(PageChecksTest, ACheckAskedForDuringACheckRunsAfterItThenItsCallback) {
  http.setPage(kUrl1, spotPage({a}));
  http.setPage(kUrl2, spotPage({b}));
  Lines order;
  bool asked = false;
  http.setDuringFetch([&](std::string_view address) {
    order.emplace_back(address);
    if (address == kUrl1 && !asked) {
      asked = true;
      EXPECT_TRUE(checks.checkRunning());
      EXPECT_FALSE(checks.atRest());
      checks.UrlCheckThen(2, [&] { order.push_back("done 2"); });
      EXPECT_EQ(order.size(), 1u) << "queued, not nested";
    }
  });
  checks.UrlCheck(1);
  EXPECT_EQ(order, (Lines{kUrl1, kUrl2, "done 2"}));
  EXPECT_TRUE(checks.atRest());
  EXPECT_FALSE(checks.checkRunning());
}

TEST_F(PageChecksTest, ACheckRestartsThePatrolCountdownAndKeepsThePatrolSwitch) {
  clock.selectInterval(2);
  for (int i = 0; i < 30; ++i) clock.countdown(true);
  http.setPage(kUrl1, spotPage({}));
  bool patrolDuringFetch = true;
  http.setDuringFetch([&](std::string_view) { patrolDuringFetch = clock.AutoPatrolOn; });
  checks.UrlCheck(1);
  EXPECT_FALSE(patrolDuringFetch) << "no cycle may start while a check runs";
  EXPECT_TRUE(clock.AutoPatrolOn);
  EXPECT_EQ(clock.PatrolTicks, 0);
}

TEST_F(PageChecksTest, APatrolCycleChecksTheSwitchedOnUrlsAndMailsOnceAtItsEnd) {
  alerts.mail.chkMail = true;
  http.setPage(kUrl1, spotPage({a}));
  http.setPage(kUrl2, spotPage({b}));
  EXPECT_EQ(checks.PatrolCycle(), 2);
  EXPECT_EQ(http.asked(), (Lines{kUrl1, kUrl2}));
  EXPECT_EQ(alerts.NewLineCount, 2);
  EXPECT_FALSE(clock.PatrolRunning);
}

TEST_F(PageChecksTest, AUrlIsUsableWhenOnWithAnAddressAndASearchingList) {
  EXPECT_TRUE(checks.isUsable(1));
  EXPECT_FALSE(checks.isUsable(3)) << "off and empty";
  checks.chkURL[2] = true;
  EXPECT_FALSE(checks.isUsable(3)) << "no address";
  checks.edtURL[2] = "  ";
  EXPECT_FALSE(checks.isUsable(3)) << "blank address";
  for (int l = 1; l <= 3; ++l) lists.enabledForUrl(l, 1) = false;
  EXPECT_FALSE(checks.isUsable(1)) << "no list searches its pages";
}

}  // namespace
}  // namespace zeltaro::app
