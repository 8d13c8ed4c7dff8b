// SPDX-License-Identifier: GPL-3.0-or-later
// "T U1" while another check runs: its check waits for its turn, and the reply waits for the
// check. A slow page server shows the order.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/console_binding.h"
#include "app/main_model.h"
#include "app/spot_page.h"
#include "console/remote_console.h"
#include "console_fixture.h"
#include "platform/qt_http_client.h"
#include "platform/qt_message_pump.h"
#include "support/peer_process.h"
#include "text/codec.h"
#include "support/recorders.h"

namespace zeltaro::console {
namespace {

using zeltaro::testing::Spot;

TEST(ConsoleCheckOrder, TestCheckRepliesAfterItsOwnCheckHasRun) {
  QTemporaryDir pages;
  ASSERT_TRUE(pages.isValid());
  const Spot one{"JA1AAA", "7,010"}, two{"JA2BBB", "7,020"};
  for (const auto& [name, spot] : {std::pair{"url1.html", one}, std::pair{"url2.html", two}}) {
    QFile f(QDir(pages.path()).filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(zeltaro::testing::spotPage({spot})));
  }
  zeltaro::testing::PeerProcess web(
      zeltaro::testing::systemPython(),
      {zeltaro::testing::testScript("support/hostile_peer.py"), "http-slow", "0.8", pages.path()});
  ASSERT_TRUE(web.ok()) << web.error().toStdString();
  const std::string base = "http://127.0.0.1:" + std::to_string(web.port()) + "/";

  platform::QtMessagePump pump;
  platform::QtHttpClient http;
  app::MainServices services;
  services.pump = &pump;
  services.http = &http;
  app::MainModel model(services);
  model.pageChecks.edtURL[0] = base + "url1.html";
  model.pageChecks.edtURL[1] = base + "url2.html";
  model.watchLists.Memo_List[0] = "JA1AAA\r\nJA2BBB\r\n";
  model.watchLists.Memo_List[2].clear();
  platform::RecordingMessageBox messages;
  app::ConsoleBinding binding(model);
  RemoteConsole console(binding, messages);
  model.consolePort = 23;
  {
    testing::AnyConsolePort any;
    console.listen();
  }
  ASSERT_TRUE(console.server().isListening());

  testing::TestClient client(console.server().port());
  ASSERT_TRUE(client.waitReceived(testing::greetingFixture().size()));
  client.received.clear();
  const std::string reply = "T U1\r\n" + text::sj("    URL1巡回テストを実行しました\r\n") + "\r\n";
  std::vector<std::string> logWhenReplied;
  QObject::connect(&client.socket, &QTcpSocket::readyRead, &client.socket, [&] {
    if (client.received.size() > 6 && logWhenReplied.empty())
      logWhenReplied = model.logViews.Memo_Log.lines;
  });
  client.send("T U1\r\n");
  model.checkPage2();  // the console's check arrives while this one waits for the page
  ASSERT_TRUE(client.waitReceived(reply.size()));
  EXPECT_EQ(client.received, reply);

  // By the time the reply came, URL1's page had been processed, after URL2's.
  ASSERT_EQ(logWhenReplied.size(), 2u);
  EXPECT_EQ(logWhenReplied[0], "1___" + zeltaro::testing::spotDisplay(1, one));
  EXPECT_EQ(logWhenReplied[1], "1___" + zeltaro::testing::spotDisplay(1, two));
  EXPECT_EQ(web.readOutput(500),
            "REQ /url2.html\nEND /url2.html\nREQ /url1.html\nEND /url1.html\n");
}

}  // namespace
}  // namespace zeltaro::console
