// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sending the notification mail (btnChkMailClick and the completion steps of a check or a
// patrol cycle), logged into the mail status window.

#include <string>
#include <string_view>

#include "alerts/mail_settings.h"
#include "alerts/mail_status.h"
#include "alerts/smtp_client.h"
#include "platform/clock.h"
#include "platform/line_connection.h"
#include "platform/message_box.h"

namespace zeltaro::alerts {

// Composes the mail from the settings and the hand-over of the notification step and sends it
// over conn. Form3's pane is cleared first and then holds the log of this mail. A connection
// failure comes back in the result (connected false) for the caller to report or not; any
// later failure only shows in the log. MailText, NewLineCount and SubjectSuffix are the
// caller's and stay as they are.
SmtpResult sendMail(const MailSettings& settings, std::string_view MailText, int NewLineCount,
                    std::string_view SubjectSuffix, platform::LineConnection& conn,
                    const platform::Clock& clock, MailStatusModel& Form3);

// "--  Send Mail status  2024/02/01 9:05:07  --" (short date, long time).
std::string mailStatusHeader(const platform::LocalDateTime& t);

// The standard error box for a mail server that could not be reached, as a patrol cycle and
// the mail button report it; nothing when the connection was made.
void reportMailConnectionFailure(platform::MessageBox& box, const SmtpResult& result);

}  // namespace zeltaro::alerts
