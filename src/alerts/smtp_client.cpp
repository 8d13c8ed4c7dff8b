// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/smtp_client.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "alerts/iso2022jp.h"
#include "text/sjis.h"

namespace zeltaro::alerts {
namespace {

// One reply may have this many lines and bytes at most (an EHLO reply has a few dozen);
// a server that sends more is not followed any further.
constexpr std::size_t kMaxReplyLines = 256;
constexpr std::size_t kMaxReplyBytes = 256 * 1024;

struct Reply {
  int code = 0;
  std::vector<std::string> lines;  // whole lines, code included
};

class Session {
 public:
  Session(platform::LineConnection& conn, const SmtpEvents& events,
          platform::LineConnection::Deadline deadline)
      : conn_(conn), events_(events), deadline_(deadline) {}

  void log(std::string_view item) const {
    if (events_.logItem) events_.logItem(item);
  }

  bool send(std::string_view line) {
    log("Sent: " + std::string(line));
    return conn_.write(std::string(line) + "\r\n");
  }

  // Reads one reply, continuation lines ("250-...") included, within the reply time and the
  // exchange's deadline, and within kMaxReplyLines and kMaxReplyBytes.
  bool read(Reply& reply) {
    reply = {};
    const auto deadline =
        std::min(std::chrono::steady_clock::now() + conn_.replyTimeout(), deadline_);
    std::string line;
    std::size_t bytes = 0;
    while (conn_.readLine(line, deadline)) {
      bytes += line.size();
      if (line.size() > platform::kMaxLineBytes || reply.lines.size() >= kMaxReplyLines ||
          bytes > kMaxReplyBytes) {
        log("Stat: Reply too long.");
        conn_.close({});  // the rest of the reply would be read as the next one
        return false;
      }
      log("Recv: " + line);
      reply.lines.push_back(line);
      if (line.size() < 3 || !isDigits(line.substr(0, 3))) return false;
      if (line.size() == 3 || line[3] != '-') {
        reply.code = std::stoi(line.substr(0, 3));
        return true;
      }
    }
    return false;
  }

  // Sends a command (unless empty) and checks the reply code; error holds what went wrong.
  bool command(std::string_view line, int expected, std::string& error, std::string_view shown) {
    if (!line.empty() && !send(line)) {
      error = "Sending " + std::string(shown) + " failed.";
      return false;
    }
    Reply reply;
    if (!read(reply)) {
      error = "No reply to " + std::string(shown) + ".";
      return false;
    }
    lastReply_ = reply;
    if (expected != 0 && reply.code != expected) {
      error = reply.lines.empty() ? "Unexpected reply." : reply.lines.back();
      return false;
    }
    return true;
  }

  const Reply& lastReply() const { return lastReply_; }

 private:
  static bool isDigits(std::string_view s) {
    for (char c : s) {
      if (c < '0' || c > '9') return false;
    }
    return true;
  }

  platform::LineConnection& conn_;
  const SmtpEvents& events_;
  platform::LineConnection::Deadline deadline_;
  Reply lastReply_;
};

// The mechanisms of "250-AUTH LOGIN PLAIN" or "250-AUTH=LOGIN" lines, upper-cased.
std::vector<std::string> authMechanisms(const Reply& ehlo) {
  std::vector<std::string> mechanisms;
  for (const std::string& line : ehlo.lines) {
    if (line.size() < 4) continue;
    const std::string keyword = text::upperAZ(line.substr(4));
    if (keyword.size() < 5 || keyword.compare(0, 4, "AUTH") != 0) continue;
    if (keyword[4] != ' ' && keyword[4] != '=') continue;
    std::string_view rest = std::string_view(keyword).substr(5);
    while (!rest.empty()) {
      const std::size_t sp = rest.find(' ');
      const std::string_view word = rest.substr(0, sp);
      if (!word.empty()) mechanisms.emplace_back(word);
      if (sp == std::string_view::npos) break;
      rest.remove_prefix(sp + 1);
    }
  }
  return mechanisms;
}

void transaction(Session& s, platform::LineConnection& conn, const SmtpTarget& target,
                 const MailMessage& message, SmtpResult& result) {
  std::string& error = result.error;
  const std::string host = conn.localHostName();
  std::vector<std::string> mechanisms;
  if (s.command("EHLO " + host, 250, error, "EHLO")) {
    mechanisms = authMechanisms(s.lastReply());
  } else {
    if (!conn.isOpen()) return;
    error.clear();
    if (!s.command("HELO " + host, 250, error, "HELO")) return;
  }
  if (!s.command("RSET", 0, error, "RSET")) return;

  bool loginOffered = false;
  for (const std::string& m : mechanisms) loginOffered = loginOffered || m == "LOGIN";
  if (target.authLogin && loginOffered) {
    if (!s.command("AUTH LOGIN", 334, error, "AUTH LOGIN")) return;
    if (!s.command(base64Limited(target.login), 334, error, "the login name")) return;
    if (!s.command(base64Limited(target.password), 235, error, "the password")) return;
  }

  if (!s.command("MAIL FROM:<" + withoutLineBreaks(message.envelopeFrom) + ">", 250, error,
                 "MAIL FROM")) {
    return;
  }
  for (const std::string& to : message.recipients) {
    if (!s.command("RCPT TO:<" + withoutLineBreaks(to) + ">", 250, error, "RCPT TO")) return;
  }
  if (!s.command("DATA", 354, error, "DATA")) return;

  std::string data;
  auto add = [&](const std::string& line) {
    s.log("Sent: " + line);
    data += line;
    data += "\r\n";
  };
  for (const std::string& h : message.headerLines) add(h);
  add("");
  for (const std::string& b : message.bodyLines) add(!b.empty() && b[0] == '.' ? "." + b : b);
  add(".");
  if (!conn.write(data)) {
    error = "Sending the message failed.";
    return;
  }
  if (!s.command("", 250, error, "the message")) return;
  result.accepted = true;
}

}  // namespace

SmtpResult smtpSend(platform::LineConnection& conn, const SmtpTarget& target,
                    const MailMessage& message, const SmtpEvents& events) {
  SmtpResult result;
  // The whole exchange, QUIT included, ends by this point whatever the server does.
  const auto deadline = std::chrono::steady_clock::now() + conn.exchangeTimeout();
  conn.setDeadline(deadline);
  struct ClearDeadline {
    platform::LineConnection& conn;
    ~ClearDeadline() { conn.setDeadline(platform::LineConnection::Deadline::max()); }
  } clearDeadline{conn};
  Session s(conn, events, deadline);
  if (!conn.open(target.host, target.port, events.status, result.error)) return result;
  s.log("Stat: Connected.");
  if (!s.command("", 220, result.error, "the greeting")) {
    conn.close(events.status);
    s.log("Stat: Disconnected.");
    return result;
  }
  result.connected = true;

  transaction(s, conn, target, message, result);

  // QUIT without waiting for its reply.
  if (conn.isOpen()) s.send("QUIT");
  conn.close(events.status);
  s.log("Stat: Disconnected.");
  return result;
}

}  // namespace zeltaro::alerts
