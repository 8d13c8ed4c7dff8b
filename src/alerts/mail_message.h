// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Composition of the notification mail: a pure function from the settings and the collected
// lines to the message and the server to send it to, so it can be checked without a network.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "alerts/mail_settings.h"
#include "platform/clock.h"

namespace zeltaro::alerts {

inline constexpr std::string_view kMailerName = "Zeltaro";

struct MailMessage {
  std::vector<std::string> headerLines;  // without line ends
  std::vector<std::string> bodyLines;    // without line ends, before dot-stuffing
  std::string envelopeFrom;              // MAIL FROM address
  std::vector<std::string> recipients;   // RCPT TO addresses, in order
};

struct SmtpTarget {
  std::string host;
  std::uint32_t port = 0;  // 0 when edtPort starts with no digit; may exceed 65535
  std::string login;
  std::string password;  // empty unless authentication is on
  bool authLogin = false;
};

struct MailInput {
  const MailSettings& settings;
  std::string_view MailText;  // ISO-2022-JP, "\r\n" markers still in it
  int NewLineCount = 0;
  std::string_view SubjectSuffix;
  platform::LocalDateTime now;
  int utcOffsetMinutes = 0;  // of now, for the Date header
};

MailMessage composeMail(const MailInput& in);
SmtpTarget smtpTarget(const MailSettings& s);

// The subject before encoding: edtSubj, " (n)" for two or more lines, then " " + suffix.
std::string mailSubject(std::string_view edtSubj, int newLineCount, std::string_view suffix);
// MailText with its "\r" and "\n" markers turned into CR and LF, in ASCII runs only.
std::string mailBody(std::string_view mailText);
// "Thu, 01 Feb 2024 09:05:07 +0900".
std::string rfc5322Date(const platform::LocalDateTime& t, int utcOffsetMinutes);
// s without its CR and LF bytes: an address must never start a new header line or command.
std::string withoutLineBreaks(std::string_view s);

// The offset from UTC, in minutes, of the machine's local time t.
int localUtcOffsetMinutes(const platform::LocalDateTime& t);

}  // namespace zeltaro::alerts
