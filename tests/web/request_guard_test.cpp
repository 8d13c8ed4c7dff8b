// SPDX-License-Identifier: GPL-3.0-or-later
// The web console's first look at a request (its head alone) and its sessions: what is refused
// before a body is read, and how logins, tokens, idle sessions and lockouts behave over time.

#include <gtest/gtest.h>

#include <string>

#include "web/request_check.h"
#include "web/sessions.h"

namespace zeltaro::web {
namespace {

std::string head(const std::string& line, const std::string& fields = "Host: h\r\n") {
  return line + "\r\n" + fields + "\r\n";
}

TEST(RequestHeadTest, RefusesWhatMustNotBeReadOrServed) {
  struct Case {
    std::string head;
    int status;
  };
  const Case cases[] = {
      {head("GET / HTTP/1.1"), 0},
      {head("GET /app.js?v=1 HTTP/1.1"), 0},
      {head("POST /api/login HTTP/1.1", "Content-Length: 1048576\r\n"), 0},
      {head("POST /api/login HTTP/1.1", "Content-Length: 1048577\r\n"), 413},
      {head("POST /api/login HTTP/1.1", "Content-Length: 2097152\r\n"), 413},
      {head("POST /api/login HTTP/1.1", "Content-Length: 99999999999999999999\r\n"), 400},
      {head("POST /api/login HTTP/1.1", "Content-Length: 1\r\nContent-Length: 2\r\n"), 400},
      {head("POST /api/login HTTP/1.1", "Content-Length: -1\r\n"), 400},
      {head("POST /api/login HTTP/1.1", "Transfer-Encoding: chunked\r\n"), 411},
      {head("GET / HTTP/1.1", "Content-Length: 5\r\n"), 400},
      {head("GET /../etc/passwd HTTP/1.1"), 400},
      {head("GET /a/.. HTTP/1.1"), 400},
      {head("GET /./app.js HTTP/1.1"), 400},
      {head("GET /%2e%2e/x HTTP/1.1"), 400},
      {head("GET /api%2Fstate HTTP/1.1"), 400},
      {head("GET /api%2fstate HTTP/1.1"), 400},
      {head("GET /a%5c..%5cb HTTP/1.1"), 400},
      {head("GET /a\\b HTTP/1.1"), 400},
      {head("GET /x%00 HTTP/1.1"), 400},
      {head("GET /%252e%252e HTTP/1.1"), 400},
      {head("GET http://other/ HTTP/1.1"), 400},
      {head("GET * HTTP/1.1"), 400},
      {head("PUT / HTTP/1.1"), 405},
      {head("GET / HTTP/2.0"), 505},
      {head("GET / HTTP/1.1", "Bad Field\r\n"), 400},
      {head("GET / HTTP/1.1", std::string("X: a\x01"
                                          "b\r\n")),
       400},
      {head("GET / HTTP/1.1", "X: " + std::string(kMaxHeadBytes, 'a') + "\r\n"), 431},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.head.substr(0, 80));
    EXPECT_EQ(checkRequestHead(c.head).status, c.status);
  }
}

TEST(RequestHeadTest, ReadsWhatTheConsoleNeedsFromTheHead) {
  const RequestHead h = checkRequestHead(
      head("GET /ws HTTP/1.1",
           "Host: 10.0.0.2:8080\r\nUpgrade: WebSocket\r\nConnection: keep-alive, Upgrade\r\n"
           "Cookie: a=1; zeltaro_session=abc ; b=2\r\nOrigin: http://10.0.0.2:8080\r\n"));
  EXPECT_EQ(h.status, 0);
  EXPECT_TRUE(h.webSocket);
  EXPECT_EQ(h.path, "/ws");
  EXPECT_EQ(h.host, "10.0.0.2:8080");
  EXPECT_EQ(h.origin, "http://10.0.0.2:8080");
  EXPECT_EQ(cookieValue(h.cookie, "zeltaro_session"), "abc");
  EXPECT_EQ(cookieValue(h.cookie, "zeltaro"), "");
  EXPECT_EQ(headEnd("GET / HTTP/1.1\r\nHost: h\r\n\r\nbody"), 27u);
  EXPECT_EQ(headEnd("GET / HTTP/1.1\r\nHost: h\r\n"), std::string::npos);
}

TEST(RequestHeadTest, OnlyLoopbackHostsCountAsThisMachine) {
  const std::pair<const char*, bool> rows[] = {
      {"127.0.0.1", true},
      {"127.0.0.1:8080", true},
      {"127.1.2.3:80", true},
      {"localhost:8080", true},
      {"LOCALHOST", true},
      {"[::1]:8080", true},
      {"[::1]", true},
      {"evil.example:8080", false},
      {"127.0.0.1.evil.example", false},
      {"128.0.0.1", false},
      {"127.0.0.256", false},
      {"127.0.0", false},
      {"192.168.1.2:8080", false},
      {"[::2]", false},
      {"[::1]x", false},
      {"", false},
      {"localhost.evil", false},
  };
  for (const auto& [host, loopback] : rows) EXPECT_EQ(loopbackHost(host), loopback) << host;
}

class SessionsTest : public ::testing::Test {
 protected:
  Sessions::Clock::time_point now{};
  int issued = 0;
  Sessions sessions{"Secret", [this] { return "r" + std::to_string(++issued); },
                    [this] { return now; }};
};

TEST_F(SessionsTest, ALoginGivesASessionWhoseTokenAloneMatches) {
  EXPECT_EQ(sessions.login("a", "wrong").outcome, Sessions::Login::Wrong);
  // Letter case is not compared, as the telnet console does not compare it.
  const Sessions::LoginResult r = sessions.login("a", "SECRET");
  ASSERT_EQ(r.outcome, Sessions::Login::Accepted);
  EXPECT_NE(r.id, r.token);
  EXPECT_EQ(sessions.touch(r.id), r.token);
  EXPECT_TRUE(sessions.tokenMatches(r.id, r.token));
  EXPECT_FALSE(sessions.tokenMatches(r.id, ""));
  EXPECT_FALSE(sessions.tokenMatches(r.id, r.id));
  EXPECT_FALSE(sessions.tokenMatches("", r.token));
  EXPECT_FALSE(sessions.touch("").has_value());
  sessions.logout(r.id);
  EXPECT_FALSE(sessions.touch(r.id).has_value());
}

TEST_F(SessionsTest, ASessionEndsAfterTwelveHoursWithoutARequest) {
  const Sessions::LoginResult r = sessions.login("a", "secret");
  now += std::chrono::hours(11);
  EXPECT_TRUE(sessions.touch(r.id).has_value());  // and its idle time starts again
  now += std::chrono::hours(11);
  EXPECT_TRUE(sessions.touch(r.id).has_value());
  now += std::chrono::hours(12) + std::chrono::seconds(1);
  EXPECT_FALSE(sessions.tokenMatches(r.id, r.token));
  EXPECT_FALSE(sessions.touch(r.id).has_value());
}

TEST_F(SessionsTest, FiveWrongPasswordsLockThatAddressOutForAMinute) {
  for (int i = 0; i < 4; ++i) EXPECT_EQ(sessions.login("a", "x").outcome, Sessions::Login::Wrong);
  EXPECT_EQ(sessions.login("a", "x").outcome, Sessions::Login::LockedOut);
  EXPECT_EQ(sessions.login("a", "secret").outcome, Sessions::Login::LockedOut);
  // Another address is not locked out.
  EXPECT_EQ(sessions.login("b", "secret").outcome, Sessions::Login::Accepted);
  now += std::chrono::seconds(59);
  EXPECT_EQ(sessions.login("a", "secret").outcome, Sessions::Login::LockedOut);
  now += std::chrono::seconds(2);
  EXPECT_EQ(sessions.login("a", "secret").outcome, Sessions::Login::Accepted);
  // A right password starts the count again.
  for (int i = 0; i < 4; ++i) sessions.login("a", "x");
  EXPECT_EQ(sessions.login("a", "secret").outcome, Sessions::Login::Accepted);
  EXPECT_EQ(sessions.login("a", "x").outcome, Sessions::Login::Wrong);
}

TEST_F(SessionsTest, TheOldestSessionGoesWhenTooManyAreOpen) {
  const std::string first = sessions.login("a", "secret").id;
  for (std::size_t i = 1; i < Sessions::kMaxSessions; ++i) {
    now += std::chrono::seconds(1);
    sessions.login("a", "secret");
  }
  EXPECT_TRUE(sessions.touch(first).has_value());  // now the newest in use
  now += std::chrono::seconds(1);
  sessions.login("a", "secret");
  EXPECT_EQ(sessions.count(), Sessions::kMaxSessions);
  EXPECT_TRUE(sessions.touch(first).has_value());
}

}  // namespace
}  // namespace zeltaro::web
