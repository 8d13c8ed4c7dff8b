// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/mail_status.h"

#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::alerts {

std::string MailStatusModel::caption() { return text::sj("Zeltaro  メール送信ステータス"); }

void MailStatusModel::addLine(std::string_view text) {
  std::vector<std::string> lines = text::splitLines(text);
  if (lines.empty()) lines.emplace_back();
  for (std::string& l : lines) Memo1.push_back(std::move(l));
}

void MailStatusModel::addStatus(std::string_view message) {
  addLine("--  " + std::string(message) + "  --");
}

}  // namespace zeltaro::alerts
