// SPDX-License-Identifier: GPL-3.0-or-later
// The mail exchange against a server whose every reply line comes from the input: reply codes,
// continuation lines, the AUTH mechanisms of the EHLO reply.
#include <deque>
#include <string>

#include "alerts/smtp_client.h"
#include "platform/line_connection.h"

namespace {

// A connection whose received lines are the input's lines; what is written is dropped.
class ScriptedConnection final : public zeltaro::platform::LineConnection {
 public:
  explicit ScriptedConnection(std::string_view script) {
    while (!script.empty()) {
      const std::size_t lf = script.find('\n');
      std::string line(script.substr(0, lf));
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.size() > zeltaro::platform::kMaxLineBytes) break;  // the real one stops there
      lines_.push_back(std::move(line));
      if (lf == std::string_view::npos) break;
      script.remove_prefix(lf + 1);
    }
  }
  bool open(std::string_view, std::uint32_t, const StatusFn&, std::string&) override {
    open_ = true;
    return true;
  }
  bool write(std::string_view) override { return open_; }
  bool readLine(std::string& line, Deadline) override {
    if (!open_ || lines_.empty()) return false;
    line = std::move(lines_.front());
    lines_.pop_front();
    return true;
  }
  void close(const StatusFn&) override { open_ = false; }
  bool isOpen() const override { return open_; }
  std::chrono::milliseconds replyTimeout() const override { return std::chrono::seconds(1); }
  std::string localHostName() const override { return "fuzz.example"; }

 private:
  std::deque<std::string> lines_;
  bool open_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zeltaro::alerts;
  ScriptedConnection conn(std::string_view(reinterpret_cast<const char*>(data), size));
  SmtpTarget target;
  target.host = "127.0.0.1";
  target.port = 25;
  target.authLogin = size > 0 && (data[0] & 1);
  target.login = "ja1abc";
  target.password = "s3cret";
  MailMessage message;
  message.envelopeFrom = "station@example.org";
  message.recipients = {"op@example.org", "phone@example.org"};
  message.headerLines = {"Subject: x"};
  message.bodyLines = {"line", ".dot"};
  std::size_t logged = 0;
  SmtpEvents events;
  events.logItem = [&logged](std::string_view item) { logged += item.size(); };
  (void)smtpSend(conn, target, message, events);
  return 0;
}
