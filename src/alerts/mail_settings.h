// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mail settings of the main window, named after their controls. Texts are CP932 bytes.

#include <string>

namespace zeltaro::alerts {

struct MailSettings {
  bool chkMail = false;     // send mail on new lines
  std::string edtTo;        // recipient addresses separated by commas
  std::string edtFrom;      // sender address
  std::string edtFromName;  // sender's display name, may hold kanji
  std::string edtSubj = "ZELTARO V2";
  std::string edtSmtp;         // SMTP server host name
  std::string edtPort = "25";  // decimal, leading digits count
  bool chkAuth = false;        // SMTP authentication (AUTH LOGIN)
  std::string edtSmtpID;       // login name
  std::string edtSmtpPASS;     // password
};

}  // namespace zeltaro::alerts
