// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/mail_message.h"

#include <gtest/gtest.h>

#include "alerts/iso2022jp.h"
#include "alerts/mail_send.h"
#include "alerts/mail_status.h"
#include "text/codec.h"

namespace zeltaro::alerts {
namespace {

using text::sj;
using Lines = std::vector<std::string>;

const platform::LocalDateTime kNow{2024, 2, 29, 9, 5, 7};

MailMessage compose(const MailSettings& s, std::string_view mailText = "", int count = 1,
                    std::string_view suffix = "") {
  return composeMail({s, mailText, count, suffix, kNow, 540});
}

std::string header(const MailMessage& m, std::string_view name) {
  for (const std::string& h : m.headerLines) {
    if (h.rfind(std::string(name) + ":", 0) == 0) return h;
  }
  return "(missing " + std::string(name) + ")";
}

TEST(MailCompose, WholeHeaderForATypicalMail) {
  MailSettings s;
  s.edtTo = "ja1abc@example.jp,jr2xyz@example.net";
  s.edtFrom = "  station@example.jp ";
  s.edtFromName = sj(" 山田 太郎 ");
  const MailMessage m = compose(s, "", 3, " 1'st(A)");
  EXPECT_EQ(m.headerLines, (Lines{
                               "From: =?iso-2022-jp?B?GyRCOzNFRBsoQiAbJEJCQE86GyhC?= "
                               "<station@example.jp>",
                               "Subject: ZELTARO V2 (3)  1'st(A)",
                               "To: ja1abc@example.jp, jr2xyz@example.net",
                               "Date: Thu, 29 Feb 2024 09:05:07 +0900",
                               "MIME-Version: 1.0",
                               "Content-Type: text/plain; charset=iso-2022-jp",
                               "Content-Transfer-Encoding:7bit",
                               "X-Mailer: Zeltaro",
                           }));
  EXPECT_EQ(m.envelopeFrom, "station@example.jp");
  EXPECT_EQ(m.recipients, (Lines{"ja1abc@example.jp", "jr2xyz@example.net"}));
  EXPECT_TRUE(m.bodyLines.empty());
}

TEST(MailCompose, Subject) {
  const struct {
    std::string subj;
    int count;
    std::string suffix;
    std::string line;
  } rows[] = {
      {"ZELTARO V2", 1, "", "Subject: ZELTARO V2"},
      {"ZELTARO V2", 0, "", "Subject: ZELTARO V2"},
      {"ZELTARO V2", 2, "", "Subject: ZELTARO V2 (2)"},
      {"ZELTARO V2", 1, " 1'st(B) 1'st(C)", "Subject: ZELTARO V2  1'st(B) 1'st(C)"},
      {sj("通知"), 1, "", "Subject: =?iso-2022-jp?B?GyRCRExDThsoQg==?="},
      {"ZELTARO V2", 3, sj(" 1'st(A) 通知"),
       "Subject: =?iso-2022-jp?B?WkVMVEFSTyBWMiAoMykgIDEnc3QoQSkgGyRCRExDThsoQg==?="},
  };
  for (const auto& r : rows) {
    MailSettings s;
    s.edtSubj = r.subj;
    EXPECT_EQ(header(compose(s, "", r.count, r.suffix), "Subject"), r.line) << r.line;
  }
}

TEST(MailCompose, Sender) {
  const struct {
    std::string name;
    std::string line;
  } rows[] = {
      {"", "From: me@example.jp"},
      {"   ", "From: me@example.jp"},
      {"Taro", "From: Taro <me@example.jp>"},
      {"Taro JA1ABC", "From: Taro JA1ABC <me@example.jp>"},
      // A comma would split the address list; such a name goes out quoted.
      {"Yamada, Taro \"JA1\"", "From: \"Yamada, Taro \\\"JA1\\\"\" <me@example.jp>"},
      {sj("送信者"), "From: =?iso-2022-jp?B?GyRCQXc/LjxUGyhC?= <me@example.jp>"},
  };
  for (const auto& r : rows) {
    MailSettings s;
    s.edtFrom = "me@example.jp";
    s.edtFromName = r.name;
    EXPECT_EQ(header(compose(s), "From"), r.line) << r.line;
  }
}

TEST(MailCompose, RecipientsSplitAtCommasInOrder) {
  MailSettings s;
  s.edtTo = " b@example.jp , a@example.jp,,c@example.jp, ";
  const MailMessage m = compose(s);
  EXPECT_EQ(m.recipients, (Lines{"b@example.jp", "a@example.jp", "c@example.jp"}));
  EXPECT_EQ(header(m, "To"), "To: b@example.jp, a@example.jp, c@example.jp");
}

TEST(MailCompose, LineBreaksCannotStartHeadersOrCommands) {
  MailSettings s;
  s.edtSubj = "Hi\r\nBcc: evil@example.com";
  s.edtFromName = "Taro\nBcc: evil@example.com";
  s.edtFrom = "me@example.jp\r\nRCPT TO:<evil@example.com>";
  s.edtTo = "a@example.jp\r\nRCPT TO:<evil@example.com>";
  const MailMessage m = compose(s, "", 1, "\r\nBcc: x@example.com");
  for (const std::string& h : m.headerLines) {
    EXPECT_EQ(h.find_first_of("\r\n"), std::string::npos) << h;
    EXPECT_NE(h.rfind("Bcc", 0), 0u) << h;
  }
  EXPECT_EQ(header(m, "Subject"), "Subject: Hi  Bcc: evil@example.com   Bcc: x@example.com");
  EXPECT_EQ(m.envelopeFrom, "me@example.jpRCPT TO:<evil@example.com>");
  EXPECT_EQ(m.recipients, (Lines{"a@example.jpRCPT TO:<evil@example.com>"}));
}

TEST(MailCompose, BodyMarkersBecomeLineBreaksOnlyInAsciiRuns) {
  // "目遏" and "目髻" are "L\n!" and "L\r!" in JIS: character codes, not markers.
  const std::string mailText = toIso2022Jp(sj("1_3_STN1 7,010\\r\\n目遏 目髻\\r\\n\\r\\n")) +
                               toIso2022Jp(sj("_2__STN2 ｶﾞ\\r\\n"));
  const MailMessage m = compose(MailSettings{}, mailText);
  EXPECT_EQ(m.bodyLines, (Lines{"1_3_STN1 7,010", "\x1b$BL\\n!\x1b(B \x1b$BL\\r!\x1b(B", "",
                                "_2__STN2 \x1b$B%+!+\x1b(B"}));
  EXPECT_EQ(mailBody("a\\rb\\nc\\\\r\\n"), "a\rb\nc\\\r\n");
}

TEST(SmtpTarget, FromTheSettings) {
  const struct {
    std::string port;
    std::uint32_t value;
  } ports[] = {{"25", 25}, {" 587 ", 587}, {"25a", 25}, {"abc", 0}, {"", 0}, {"99999", 99999}};
  for (const auto& p : ports) {
    MailSettings s;
    s.edtPort = p.port;
    EXPECT_EQ(smtpTarget(s).port, p.value) << p.port;
  }
  MailSettings s;
  s.edtSmtp = " smtp.example.jp ";
  s.edtSmtpID = " user ";
  s.edtSmtpPASS = " secret ";
  SmtpTarget t = smtpTarget(s);
  EXPECT_EQ(t.host, "smtp.example.jp");
  EXPECT_EQ(t.login, "user");
  EXPECT_EQ(t.password, "");
  EXPECT_FALSE(t.authLogin);
  s.chkAuth = true;
  t = smtpTarget(s);
  EXPECT_EQ(t.password, "secret");
  EXPECT_TRUE(t.authLogin);
}

TEST(MailCompose, DatesAndStatusHeader) {
  EXPECT_EQ(rfc5322Date({2024, 2, 29, 9, 5, 7}, 540), "Thu, 29 Feb 2024 09:05:07 +0900");
  EXPECT_EQ(rfc5322Date({2000, 1, 1, 0, 0, 0}, -300), "Sat, 01 Jan 2000 00:00:00 -0500");
  EXPECT_EQ(rfc5322Date({2023, 12, 31, 23, 59, 59}, 330), "Sun, 31 Dec 2023 23:59:59 +0530");
  EXPECT_EQ(mailStatusHeader({2024, 2, 1, 9, 5, 7}),
            "--  Send Mail status  2024/02/01 9:05:07  --");
}

TEST(MailStatus, PaneAndVisibility) {
  MailStatusModel form3;
  EXPECT_EQ(MailStatusModel::caption(), sj("Zeltaro  メール送信ステータス"));
  form3.addStatus("Connected.");
  form3.addLine("Recv: 250-one\r\n250 two\r\n");
  EXPECT_EQ(form3.Memo1, (Lines{"--  Connected.  --", "Recv: 250-one", "250 two"}));
  form3.showOnShiftCtrlDoubleClick(true, false);
  form3.showOnShiftCtrlDoubleClick(false, true);
  EXPECT_FALSE(form3.Visible);
  form3.showOnShiftCtrlDoubleClick(true, true);
  EXPECT_TRUE(form3.Visible);
}

}  // namespace
}  // namespace zeltaro::alerts
