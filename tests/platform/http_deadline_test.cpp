// SPDX-License-Identifier: GPL-3.0-or-later
// A page fetch against a server that drips its body one byte at a time: every byte comes well
// inside the idle time, yet the fetch ends at its total time.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "platform/qt_http_client.h"
#include "platform/stop_request.h"
#include "support/peak_memory.h"
#include "support/peer_process.h"

namespace zeltaro::platform {
namespace {

class CountingPump final : public MessagePump {
 public:
  void pump() override { ++pumps; }
  long pumps = 0;
};

TEST(HttpDeadline, DripServerEndsAtTheTotalTime) {
  testing::PeerProcess peer(testing::systemPython(),
                            {testing::testScript("support/hostile_peer.py"), "http-drip", "0.2"});
  ASSERT_TRUE(peer.ok()) << peer.error().toStdString();
  QtHttpClient::Limits limits;
  limits.idleTimeoutMs = 5000;
  limits.totalTimeoutMs = 2000;
  QtHttpClient client(limits);
  CountingPump pump;
  int packets = 0;
  testing::resetPeakMemory();
  const long before = testing::peakMemoryKiB();
  QElapsedTimer clock;
  clock.start();
  const HttpClient::Result r = client.get(
      "http://127.0.0.1:" + std::to_string(peer.port()) + "/drip", pump, [&packets] { ++packets; });
  const qint64 ms = clock.elapsed();
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "no complete response within 2000 ms");
  EXPECT_GE(ms, 2000);
  EXPECT_LT(ms, 3500);
  EXPECT_GE(packets, 5);      // the bytes did arrive, each inside the idle time
  EXPECT_GT(pump.pumps, 20);  // and the window kept running meanwhile
  EXPECT_LT(testing::peakMemoryKiB() - before, 16 * 1024);
}

TEST(HttpDeadline, AStopRequestEndsTheFetchAtOnce) {
  testing::PeerProcess peer(testing::systemPython(),
                            {testing::testScript("support/hostile_peer.py"), "http-drip", "0.2"});
  ASSERT_TRUE(peer.ok()) << peer.error().toStdString();
  QtHttpClient client;  // the default total time, a minute
  CountingPump pump;
  QElapsedTimer clock;
  clock.start();
  const HttpClient::Result r =
      client.get("http://127.0.0.1:" + std::to_string(peer.port()) + "/drip", pump, [&] {
        if (clock.elapsed() > 500) requestStop();
      });
  const qint64 ms = clock.elapsed();
  clearStopRequest();
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "stopped");
  EXPECT_LT(ms, 2000);
}

}  // namespace
}  // namespace zeltaro::platform
