// SPDX-License-Identifier: GPL-3.0-or-later
// The mail exchange against servers that never stop talking or answer just inside every reply
// time: it ends within its total time and keeps only a bounded reply.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <string>
#include <vector>

#include "alerts/smtp_client.h"
#include "platform/qt_line_connection.h"
#include "support/peak_memory.h"
#include "support/peer_process.h"

namespace zeltaro::alerts {
namespace {

using namespace std::chrono_literals;

struct Exchange {
  SmtpResult result;
  std::vector<std::string> log;
  qint64 ms = 0;
  long peakGrowthKiB = 0;
};

Exchange exchangeWith(const QStringList& mode, std::chrono::milliseconds replyTimeout,
                      std::chrono::milliseconds total) {
  testing::PeerProcess peer(testing::systemPython(),
                            QStringList{testing::testScript("support/hostile_peer.py")} + mode);
  EXPECT_TRUE(peer.ok()) << peer.error().toStdString();
  platform::QtLineConnection conn(5s, replyTimeout, total);
  SmtpTarget target;
  target.host = "127.0.0.1";
  target.port = peer.port();
  MailMessage message;
  message.envelopeFrom = "ja1abc@example.net";
  message.recipients = {"a@example.net", "b@example.net", "c@example.net", "d@example.net"};
  message.headerLines = {"Subject: test"};
  message.bodyLines = {"line"};
  Exchange run;
  SmtpEvents events;
  events.logItem = [&run](std::string_view item) { run.log.emplace_back(item); };
  testing::resetPeakMemory();
  const long before = testing::peakMemoryKiB();
  QElapsedTimer clock;
  clock.start();
  run.result = smtpSend(conn, target, message, events);
  run.ms = clock.elapsed();
  run.peakGrowthKiB = testing::peakMemoryKiB() - before;
  return run;
}

TEST(SmtpAgainstHostileServers, EndlessContinuationIsCutAtTheReplyCap) {
  const Exchange run = exchangeWith({"smtp-endless-continuation"}, 5s, 10s);
  EXPECT_TRUE(run.result.connected);
  EXPECT_FALSE(run.result.accepted);
  EXPECT_EQ(run.result.error, "No reply to EHLO.");
  EXPECT_LT(run.ms, 10000);
  EXPECT_LT(run.peakGrowthKiB, 64 * 1024);
  // The greeting, EHLO, 256 continuation lines kept, then the exchange gives up.
  ASSERT_EQ(run.log.size(), 261u);
  EXPECT_EQ(run.log[0], "Stat: Connected.");
  EXPECT_EQ(run.log[1], "Recv: 220 hostile ESMTP");
  EXPECT_EQ(run.log[2], "Sent: EHLO " + platform::QtLineConnection().localHostName());
  EXPECT_EQ(run.log[3], "Recv: 250-" + std::string(200, 'X'));
  EXPECT_EQ(run.log[258], "Recv: 250-" + std::string(200, 'X'));
  EXPECT_EQ(run.log[259], "Stat: Reply too long.");
  EXPECT_EQ(run.log[260], "Stat: Disconnected.");
}

TEST(SmtpAgainstHostileServers, EndlessLineEndsTheExchangeWithoutFillingMemory) {
  const Exchange run = exchangeWith({"smtp-endless-line"}, 5s, 10s);
  EXPECT_FALSE(run.result.connected);
  EXPECT_EQ(run.result.error, "No reply to the greeting.");
  EXPECT_LT(run.ms, 10000);
  EXPECT_LT(run.peakGrowthKiB, 64 * 1024);
  EXPECT_EQ(run.log, (std::vector<std::string>{"Stat: Connected.", "Stat: Disconnected."}));
}

TEST(SmtpAgainstHostileServers, SlowRepliesEndAtTheTotalTime) {
  // Every reply comes in 0.6 s, well inside the 2 s reply time; the whole mail would take
  // about 7 s, the total time is 2.5 s.
  const Exchange run = exchangeWith({"smtp-slow", "0.6"}, 2s, 2500ms);
  EXPECT_TRUE(run.result.connected);
  EXPECT_FALSE(run.result.accepted);
  EXPECT_GE(run.ms, 2400);
  EXPECT_LT(run.ms, 4000);
  EXPECT_EQ(run.log.back(), "Stat: Disconnected.");
}

}  // namespace
}  // namespace zeltaro::alerts
