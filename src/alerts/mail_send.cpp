// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/mail_send.h"

#include <cstdio>

#include "alerts/mail_message.h"

namespace zeltaro::alerts {

std::string mailStatusHeader(const platform::LocalDateTime& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return "--  Send Mail status  " + std::string(buf) + "  --";
}

SmtpResult sendMail(const MailSettings& settings, std::string_view MailText, int NewLineCount,
                    std::string_view SubjectSuffix, platform::LineConnection& conn,
                    const platform::Clock& clock, MailStatusModel& Form3) {
  Form3.clear();
  const platform::LocalDateTime now = clock.now();
  Form3.addLine(mailStatusHeader(now));
  const MailMessage message = composeMail(
      {settings, MailText, NewLineCount, SubjectSuffix, now, localUtcOffsetMinutes(now)});
  SmtpEvents events;
  events.status = [&Form3](std::string_view m) { Form3.addStatus(m); };
  events.logItem = [&Form3](std::string_view item) { Form3.addLine(item); };
  return smtpSend(conn, smtpTarget(settings), message, events);
}

void reportMailConnectionFailure(platform::MessageBox& box, const SmtpResult& result) {
  if (result.connected) return;
  box.show(platform::MessageBox::Kind::Error, "Zeltaro", result.error);
}

}  // namespace zeltaro::alerts
