// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/new_line_alerts.h"

#include <gtest/gtest.h>

#include "alerts/sound_alert.h"
#include "platform/line_connection.h"
#include "support/fixed_clock.h"
#include "support/recorders.h"
#include "support/unreachable_mail_server.h"

namespace zeltaro::alerts {
namespace {

using Lines = std::vector<std::string>;

class NewLineAlertsTest : public ::testing::Test {
 protected:
  NewLineAlertsTest() : sound(player, dialog, "/opt/zeltaro"), alerts(services()) {
    alerts.mail.edtSmtp = "mail.example.org";
    alerts.mail.chkMail = true;
  }
  AlertServices services() {
    return {.sound = &sound, .smtp = &smtp, .clock = &clock, .messageBox = &box};
  }
  platform::RecordingSoundPlayer player;
  platform::ScriptedFileDialog dialog;
  SoundAlert sound;
  zeltaro::testing::UnreachableMailServer smtp;
  platform::FixedClock clock{{2026, 12, 9, 7, 5, 3}};
  platform::RecordingMessageBox box;
  NewLineAlerts alerts;
  const Lines log{"1___JA1AAA 7,010 CW", "_2__JA2BBB 14,020 SSB", "__3_older line"};
};

TEST_F(NewLineAlertsTest, ASingleCheckSoundsAndMailsItsNewLinesUnlessThePatrolIsOn) {
  struct Case {
    const char* name;
    bool sound, mail, autoPatrol;
    std::size_t played;
    int mailed;
  };
  const Case cases[] = {
      {"sound and mail", true, true, false, 1, 1},
      {"the patrol mails at the cycle's end", true, true, true, 1, 0},
      {"mail off", true, false, false, 1, 0},
      {"sound off", false, true, false, 0, 1},
  };
  for (const Case& c : cases) {
    player.played.clear();
    smtp.opened.clear();
    alerts.MailText = "left over";
    alerts.chkAlert = c.sound;
    alerts.mail.chkMail = c.mail;
    alerts.singleCheckFound(log, 2, c.autoPatrol);
    EXPECT_EQ(player.played.size(), c.played) << c.name;
    EXPECT_EQ(static_cast<int>(smtp.opened.size()), c.mailed) << c.name;
    if (c.mailed) {
      EXPECT_EQ(alerts.MailText, log[0] + log[1]) << c.name << ": only the new lines";
      EXPECT_EQ(alerts.NewLineCount, 2) << c.name;
    }
  }
  EXPECT_TRUE(box.shown.empty()) << "a single check's mail failure stays silent";
}

TEST_F(NewLineAlertsTest, APatrolCycleWithoutNewLinesTellsNothing) {
  alerts.MailText = "left over";
  EXPECT_FALSE(alerts.patrolCycleFound(log, 0));
  EXPECT_EQ(alerts.MailText, "");
  EXPECT_TRUE(player.played.empty());
  EXPECT_EQ(smtp.opened.size(), 0u);
}

TEST_F(NewLineAlertsTest, APatrolCycleWithNewLinesSoundsMailsAndReportsAnUnreachableServer) {
  EXPECT_TRUE(alerts.patrolCycleFound(log, 5));  // more than the log holds: all of it
  EXPECT_EQ(alerts.MailText, log[0] + log[1] + log[2]);
  EXPECT_EQ(alerts.NewLineCount, 5);
  EXPECT_EQ(player.played.size(), 1u);
  EXPECT_EQ(smtp.opened.size(), 1u);
  EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(NewLineAlertsTest, ClearTurnsTheLampsGreenAndDropsTheMailText) {
  alerts.lamps.light(true, false, true);
  alerts.MailText = "pending";
  alerts.clear();
  EXPECT_EQ(alerts.lamps.masterLamp.fontColor, kLampGreen);
  EXPECT_EQ(alerts.lamps.list1Lamp.fontColor, kLampGreen);
  EXPECT_EQ(alerts.lamps.list3Lamp.fontColor, kLampGreen);
  EXPECT_EQ(alerts.MailText, "");
}

TEST(NewLineAlertsAbsent, WithoutServicesNothingIsSentOrPlayed) {
  NewLineAlerts alerts({});
  alerts.mail.chkMail = true;
  alerts.btnSoundTestClick();
  alerts.sendMail(MailOrigin::Button);
  EXPECT_TRUE(alerts.patrolCycleFound({"1___line"}, 1));
  EXPECT_EQ(alerts.MailText, "1___line");
}

}  // namespace
}  // namespace zeltaro::alerts
