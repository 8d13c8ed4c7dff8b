// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/mail_message.h"

#include <cstdio>
#include <ctime>

#include "alerts/iso2022jp.h"
#include "text/sjis.h"

namespace zeltaro::alerts {
namespace {

// A CR or LF in a header text or an address would start a new header line or SMTP command
// (an injected "Bcc:" or "RCPT TO"); header texts get a blank instead, addresses lose them
// (withoutLineBreaks).
std::string blanksForLineBreaks(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

// An ASCII display name with characters that would break the address list goes out quoted.
std::string displayName(std::string_view trimmedName) {
  const std::string name = blanksForLineBreaks(trimmedName);
  for (char c : name) {
    if (static_cast<unsigned char>(c) >= 0x80) return encodeHeaderWord(name);
  }
  const std::string& word = name;
  if (word.find_first_of("()<>[]:;@\\,.\"") == std::string::npos) return word;
  std::string quoted = "\"";
  for (char c : word) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// Replaces backslash + letter by ctrl in the ASCII runs of an ISO-2022-JP text.
std::string replaceMarker(std::string_view s, char letter, char ctrl) {
  std::string out;
  out.reserve(s.size());
  bool kanji = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\x1b' && i + 2 < s.size()) {
      if (s[i + 1] == '$' && s[i + 2] == 'B') kanji = true;
      if (s[i + 1] == '(' && s[i + 2] == 'B') kanji = false;
    }
    if (!kanji && s[i] == '\\' && i + 1 < s.size() && s[i + 1] == letter) {
      out += ctrl;
      ++i;
      continue;
    }
    out += s[i];
  }
  return out;
}

}  // namespace

std::string withoutLineBreaks(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c != '\r' && c != '\n') out += c;
  }
  return out;
}

std::string mailSubject(std::string_view edtSubj, int newLineCount, std::string_view suffix) {
  std::string subject(edtSubj);
  if (newLineCount >= 2) subject += " (" + std::to_string(newLineCount) + ")";
  if (!suffix.empty()) {
    subject += ' ';
    subject += suffix;
  }
  return subject;
}

std::string mailBody(std::string_view mailText) {
  return replaceMarker(replaceMarker(mailText, 'r', '\r'), 'n', '\n');
}

std::string rfc5322Date(const platform::LocalDateTime& t, int utcOffsetMinutes) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  // Day of the week by Sakamoto's method.
  static constexpr int kMonthOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  const int month = t.month >= 1 && t.month <= 12 ? t.month : 1;
  const int y = month < 3 ? t.year - 1 : t.year;
  const int dow = ((y + y / 4 - y / 100 + y / 400 + kMonthOffset[month - 1] + t.day) % 7 + 7) % 7;
  const int off = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", kDays[dow], t.day,
                kMonths[month - 1], t.year, t.hour, t.minute, t.second,
                utcOffsetMinutes < 0 ? '-' : '+', off / 60 % 100, off % 60);
  return buf;
}

int localUtcOffsetMinutes(const platform::LocalDateTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  if (std::mktime(&tm) == static_cast<std::time_t>(-1)) return 0;
  return static_cast<int>(tm.tm_gmtoff / 60);
}

SmtpTarget smtpTarget(const MailSettings& s) {
  SmtpTarget t;
  t.host = std::string(text::trim(s.edtSmtp));
  for (char c : text::trim(s.edtPort)) {
    if (c < '0' || c > '9') break;
    // Saturates far above any port, so an absurd text still fails as a bad port.
    if (t.port < 1000000) t.port = t.port * 10 + static_cast<std::uint32_t>(c - '0');
  }
  t.login = std::string(text::trim(s.edtSmtpID));
  if (s.chkAuth) {
    t.password = std::string(text::trim(s.edtSmtpPASS));
    t.authLogin = true;
  }
  return t;
}

MailMessage composeMail(const MailInput& in) {
  const MailSettings& s = in.settings;
  MailMessage m;

  m.envelopeFrom = withoutLineBreaks(text::trim(s.edtFrom));
  const std::string_view name = text::trim(s.edtFromName);
  std::string from = "From: ";
  if (name.empty()) {
    from += m.envelopeFrom;
  } else {
    from += displayName(name) + " <" + m.envelopeFrom + ">";
  }

  std::string_view rest = s.edtTo;
  while (true) {
    const std::size_t comma = rest.find(',');
    const std::string address = withoutLineBreaks(text::trim(rest.substr(0, comma)));
    if (!address.empty()) m.recipients.push_back(address);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  std::string to = "To: ";
  for (std::size_t i = 0; i < m.recipients.size(); ++i) {
    if (i > 0) to += ", ";
    to += m.recipients[i];
  }

  const std::string subject = mailSubject(blanksForLineBreaks(s.edtSubj), in.NewLineCount,
                                          blanksForLineBreaks(in.SubjectSuffix));

  m.headerLines = {
      from,
      "Subject: " + encodeHeaderWord(subject),
      to,
      "Date: " + rfc5322Date(in.now, in.utcOffsetMinutes),
      "MIME-Version: 1.0",
      "Content-Type: text/plain; charset=iso-2022-jp",
      "Content-Transfer-Encoding:7bit",
      "X-Mailer: " + std::string(kMailerName),
  };
  m.bodyLines = text::splitLines(mailBody(in.MailText));
  return m;
}

}  // namespace zeltaro::alerts
