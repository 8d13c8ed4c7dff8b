// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What tells the operator about new notification lines: the sound, the lamps and the mail,
// with the mail's hand-over (MailText, NewLineCount, SubjectSuffix). Texts are CP932 bytes,
// MailText is ISO-2022-JP.

#include <deque>
#include <string>
#include <vector>

#include "alerts/lamps.h"
#include "alerts/mail_settings.h"
#include "alerts/mail_status.h"

namespace zeltaro::platform {
class Clock;
class LineConnection;
class MessageBox;
}  // namespace zeltaro::platform

namespace zeltaro::alerts {

class SoundAlert;

// Where a mail is sent from: the error rules differ.
enum class MailOrigin { SingleCheck, PatrolCycle, Button };

// Any left null is absent: no sound, no mail, no error box. clock is needed with smtp.
struct AlertServices {
  SoundAlert* sound = nullptr;
  platform::LineConnection* smtp = nullptr;  // the mail server connection
  const platform::Clock* clock = nullptr;
  platform::MessageBox* messageBox = nullptr;
};

class NewLineAlerts {
 public:
  explicit NewLineAlerts(AlertServices services) : services_(services) {}

  // "TEST" beside the sound file, and the sound of a check that found lines.
  void btnSoundTestClick();
  void btnSoundFileClick();
  // Sends MailText, NewLineCount and SubjectSuffix as they stand. A server that cannot be
  // reached is reported in the error box, except after a single check, where it stays silent.
  // The exchange lets the window run meanwhile; a mail asked for then (a check that found
  // lines, the mail button) is sent after the running one, over the one connection.
  void sendMail(MailOrigin origin);
  // A mail exchange is running.
  bool mailing() const { return mailing_; }

  // A single check inserted newLines (>= 1) at the top of log: the sound, and the mail of
  // those lines unless the automatic patrol is on.
  void singleCheckFound(const std::vector<std::string>& log, int newLines, bool autoPatrolOn);
  // A patrol cycle ended having inserted newLines at the top of log: false when there is
  // nothing to tell (no sound, no mail), else the sound and the mail.
  bool patrolCycleFound(const std::vector<std::string>& log, int newLines);

  // "CLR": the lamps green again and the mail text dropped.
  void clear();

  bool chkAlert = true;  // the sound is on
  std::string edtSound = "chimes.wav";
  Lamps lamps;
  MailSettings mail;      // chkMail, edtTo, edtFrom ... edtSmtpPASS
  MailStatusModel Form3;  // the mail status window's pane
  std::string MailText;
  int NewLineCount = 0;
  std::string SubjectSuffix;

 private:
  // Appends the first newLines lines of log to MailText.
  void collectMailText(const std::vector<std::string>& log, int newLines);

  struct WaitingMail {
    MailOrigin origin;
    std::string text;
    int count;
    std::string suffix;
  };

  AlertServices services_;
  bool mailing_ = false;
  std::deque<WaitingMail> waiting_;
};

}  // namespace zeltaro::alerts
