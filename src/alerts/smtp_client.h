// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The SMTP exchange for one mail: greeting, EHLO (HELO as fallback), RSET, AUTH LOGIN when
// wanted and offered, MAIL FROM, RCPT TO per recipient, DATA with dot-stuffing, QUIT.

#include <functional>
#include <string>
#include <string_view>

#include "alerts/mail_message.h"
#include "platform/line_connection.h"

namespace zeltaro::alerts {

struct SmtpEvents {
  // Progress of the client ("Connecting to ...", "Disconnected.").
  std::function<void(std::string_view)> status;
  // Every line of the exchange: "Recv: ...", "Sent: ...", connect and disconnect notices.
  std::function<void(std::string_view)> logItem;
};

struct SmtpResult {
  bool connected = false;  // false: the opening failed and error says why
  bool accepted = false;   // the server took the message
  std::string error;       // the first failure, also after the opening
};

// Runs the whole exchange on conn and always leaves it closed. A failure while opening (no
// connection, no 220 greeting) comes back with connected false; a later failure ends the
// exchange but the disconnect still happens.
SmtpResult smtpSend(platform::LineConnection& conn, const SmtpTarget& target,
                    const MailMessage& message, const SmtpEvents& events);

}  // namespace zeltaro::alerts
