// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/new_line_alerts.h"

#include <algorithm>

#include "alerts/iso2022jp.h"
#include "alerts/mail_send.h"
#include "alerts/sound_alert.h"
#include "platform/event_log.h"
#include "text/codec.h"

namespace zeltaro::alerts {

void NewLineAlerts::btnSoundTestClick() {
  if (services_.sound) services_.sound->btnSoundTestClick(edtSound);
}

void NewLineAlerts::btnSoundFileClick() {
  if (services_.sound) services_.sound->btnSoundFileClick(edtSound);
}

void NewLineAlerts::sendMail(MailOrigin origin) {
  if (!services_.smtp || !services_.clock) return;
  if (mailing_) {
    waiting_.push_back({origin, MailText, NewLineCount, SubjectSuffix});
    return;
  }
  mailing_ = true;
  WaitingMail next{origin, MailText, NewLineCount, SubjectSuffix};
  for (;;) {
    const SmtpResult r = alerts::sendMail(mail, next.text, next.count, next.suffix, *services_.smtp,
                                          *services_.clock, Form3);
    const bool boxed = next.origin != MailOrigin::SingleCheck && services_.messageBox;
    if (boxed) reportMailConnectionFailure(*services_.messageBox, r);
    // A mail that did not go leaves one line in the event log: the error box of a connection
    // failure is that line, every other failure (a refusal with the server's reply) is written
    // here.
    if (!r.accepted && !(boxed && !r.connected))
      platform::reportEvent("mail not sent: " + text::utf8FromCp932(r.error));
    if (waiting_.empty()) break;
    next = std::move(waiting_.front());
    waiting_.pop_front();
  }
  mailing_ = false;
}

void NewLineAlerts::collectMailText(const std::vector<std::string>& log, int newLines) {
  const std::size_t n = std::min(static_cast<std::size_t>(newLines), log.size());
  for (std::size_t i = 0; i < n; ++i) MailText += toIso2022Jp(log[i]);
}

void NewLineAlerts::singleCheckFound(const std::vector<std::string>& log, int newLines,
                                     bool autoPatrolOn) {
  if (chkAlert) btnSoundTestClick();
  if (!autoPatrolOn && mail.chkMail) {
    MailText.clear();
    collectMailText(log, newLines);
    if (!MailText.empty()) {
      NewLineCount = newLines;
      sendMail(MailOrigin::SingleCheck);
    }
  }
}

bool NewLineAlerts::patrolCycleFound(const std::vector<std::string>& log, int newLines) {
  MailText.clear();
  if (newLines > 0) collectMailText(log, newLines);
  if (MailText.empty()) return false;
  NewLineCount = newLines;
  if (chkAlert) btnSoundTestClick();
  if (mail.chkMail) sendMail(MailOrigin::PatrolCycle);
  return true;
}

void NewLineAlerts::clear() {
  lamps.clearColours();
  MailText.clear();
}

}  // namespace zeltaro::alerts
