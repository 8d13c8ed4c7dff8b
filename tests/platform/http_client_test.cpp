// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt_http_client.h"
#include "support/closed_port.h"
#include "support/peer_process.h"
#include "text/codec.h"

namespace zeltaro::platform {
namespace {

using testing::PeerProcess;
using text::sj;

const std::string kPlain =
    "<html><body><LineStart>a</LineEnd>junk<LineStart>b</LineEnd></body></html>\n";

std::string allBytes() {
  std::string s;
  for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
  return s;
}

std::string expectedRequest(const std::string& target, const std::string& host) {
  return "GET " + target +
         " HTTP/1.0\r\n"
         "Host: " +
         host +
         "\r\n"
         "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
         "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
         "Content-type: application/x-www-form-urlencoded\r\n"
         "\r\n";
}

std::unique_ptr<PeerProcess> startServer() {
  return std::make_unique<PeerProcess>(testing::systemPython(),
                                       QStringList{testing::testScript("platform/http_server.py")});
}

class HttpClientTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = startServer().release(); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(server_->ok()) << server_->error().toStdString(); }

  static std::string url(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server_->port()) + path;
  }

  static PeerProcess* server_;
  NullMessagePump pump_;
};

PeerProcess* HttpClientTest::server_ = nullptr;

TEST_F(HttpClientTest, DeliversTheFinalBodyAndStatusAsSent) {
  struct Case {
    const char* path;
    int status;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"/plain", 200, kPlain},
      {"/sjis", 200, sj("<p>日本語のページ ソ 表 予定</p>\r\n")},
      {"/bytes", 200, allBytes()},
      {"/lf", 200, "bare line ends\n"},
      {"/missing", 404, "<h1>Not here</h1>"},
      {"/redirect", 200, kPlain},  // 302 to a path on the same host
      {"/redirect-abs", 200, sj("<p>日本語のページ ソ 表 予定</p>\r\n")},  // 301, absolute
      {"/dir/jump", 200, "landed in dir"},  // 300, relative to the folder
      {"/see-other", 303, "see body"},      // 303 is not followed
      {"/length", 200, "hello"},  // Content-Length ends it while the server keeps the line open
  };
  // A short idle limit makes a fetch that waits for a close it should not need fail fast.
  QtHttpClient client({.idleTimeoutMs = 5000});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    int packets = 0;
    const auto r = client.get(url(c.path), pump_, [&] { ++packets; });
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.body, c.body);
    EXPECT_GE(packets, 1);
  }
}

TEST_F(HttpClientTest, SendsTheRequestBytesExactly) {
  QtHttpClient client;
  const std::string host = "127.0.0.1";
  auto r = client.get(url("/echo/html/40CW.html?band=40&mode=CW"), pump_, {});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.body, expectedRequest("/echo/html/40CW.html?band=40&mode=CW", host));

  // The target is cut after 256 bytes.
  const std::string longTail(300, 'x');
  r = client.get(url("/echo/" + longTail), pump_, {});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.body, expectedRequest("/echo/" + std::string(250, 'x'), host));

  // A host name is looked up, and the Host line carries the name without the port.
  r = client.get("http://localhost:" + std::to_string(server_->port()) + "/echo", pump_, {});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.body, expectedRequest("/echo", "localhost"));
}

TEST_F(HttpClientTest, FailuresReturnNotOkWithAReason) {
  QtHttpClient client({.idleTimeoutMs = 300, .maxResponseBytes = 1u << 20});
  const testing::ClosedPort closed;
  ASSERT_NE(closed.port(), 0);
  // The reason shows which guard stopped the fetch (an endless body must hit the size cap, not
  // just run out of time).
  struct Case {
    std::string address;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {url("/silent"), "nothing received for 300 ms"},
      {url("/endless"), "response larger than 1048576 bytes"},
      {url("/truncated"), "connection closed before the end of the body"},
      {url("/empty"), "connection closed without a response"},
      {url("/garbage"), "not an HTTP response"},
      {url("/loop"), "too many redirects"},
      {url("/redirect-https"), "unsupported redirect: https://127.0.0.1/plain"},
      {"http://127.0.0.1:" + std::to_string(closed.port()) + "/", "cannot connect to 127.0.0.1:"},
      {"", "unsupported address"},
      {"https://127.0.0.1/", "unsupported address"},
      {"ftp://127.0.0.1/", "unsupported address"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    const auto r = client.get(c.address, pump_, {});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.body.empty());
  }
  // The client is still fine afterwards.
  const auto r = client.get(url("/plain"), pump_, {});
  EXPECT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.body, kPlain);
}

TEST(HttpAddressTest, ParsesSchemeHostPortAndTarget) {
  struct Case {
    std::string address;
    std::string host;
    int port;
    std::string target;
  };
  const std::vector<Case> good = {
      {"http://spots.example/html/40CW.html", "spots.example", 80, "/html/40CW.html"},
      {"http://spots.example", "spots.example", 80, "/"},
      {"http://spots.example/", "spots.example", 80, "/"},
      {"http://spots.example:8080/a/b?x=1&y=2", "spots.example", 8080, "/a/b?x=1&y=2"},
      {"http://spots.example:8080", "spots.example", 8080, "/"},
      {"http://spots.example:/a", "spots.example", 80, "/a"},
      {"HTTP://Spots.Example/A", "Spots.Example", 80, "/A"},
      {"http://[::1]:81/x", "[::1]", 81, "/x"},
      {"http://h/a b ", "h", 80, "/a b "},  // taken unchanged, no trimming
      {"http://h/" + std::string(300, 'p'), "h", 80, "/" + std::string(255, 'p')},
  };
  for (const Case& c : good) {
    SCOPED_TRACE(c.address);
    const auto a = parseHttpAddress(c.address);
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->host, c.host);
    EXPECT_EQ(a->port, c.port);
    EXPECT_EQ(a->target, c.target);
  }

  const std::vector<std::string> bad = {
      "",
      "https://spots.example/",
      "ftp://spots.example/",
      "spots.example/html/40CW.html",
      "http:/spots.example/",
      "http://",
      "http:///path",
      "http://:80/",
      "http://spots.example:0/",
      "http://spots.example:65536/",
      "http://spots.example:8o/",
      "http://spots example/",
      "http://spots.example/a\r\nX-Injected: 1",  // would forge a request line
  };
  NullMessagePump pump;
  QtHttpClient client;
  for (const std::string& address : bad) {
    SCOPED_TRACE(address);
    EXPECT_FALSE(parseHttpAddress(address).has_value());
    const auto r = client.get(address, pump, {});
    EXPECT_FALSE(r.ok);
  }
}

// A pump or a packet callback that starts a second fetch while the first is on the wire, as a
// console command arriving during a check does.
TEST(HttpClientOverlapTest, ASecondGetWaitsForTheFirst) {
  for (const bool fromPacket : {false, true}) {
    SCOPED_TRACE(fromPacket ? "started from the packet callback" : "started from the pump");
    const auto server = startServer();
    ASSERT_TRUE(server->ok()) << server->error().toStdString();
    const std::string base = "http://127.0.0.1:" + std::to_string(server->port());

    QtHttpClient client({.idleTimeoutMs = 5000});
    HttpClient::Result inner;
    bool started = false;
    auto startInner = [&] {
      if (started) return;
      started = true;
      NullMessagePump quiet;
      inner = client.get(base + "/plain", quiet, {});
    };
    struct StartingPump : MessagePump {
      std::function<void()> action;
      void pump() override {
        if (action) action();
      }
    } pump;
    if (!fromPacket) pump.action = startInner;

    const auto outer = client.get(base + "/slow", pump, [&] {
      if (fromPacket) startInner();
    });

    ASSERT_TRUE(started);
    EXPECT_TRUE(outer.ok) << outer.error;
    EXPECT_EQ(outer.body, "slow start|slow end");
    EXPECT_TRUE(inner.ok) << inner.error;
    EXPECT_EQ(inner.body, kPlain);

    QByteArray log;
    QElapsedTimer wait;
    wait.start();
    while (!log.contains("END /plain") && wait.elapsed() < 5000) log = server->readOutput(100);
    EXPECT_EQ(log.toStdString(), "REQ /slow\nEND /slow\nREQ /plain\nEND /plain\n");
  }
}

}  // namespace
}  // namespace zeltaro::platform
