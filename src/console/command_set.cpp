// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/command_set.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <vector>

#include "settings/profile_file.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::console {
namespace {

using Lines = std::vector<std::string>;

// Replies are written in UTF-8 here and sent as CP932; each literal is converted once.
#define SJ(literal)                                         \
  ([]() -> const std::string& {                             \
    static const std::string converted = text::sj(literal); \
    return converted;                                       \
  }())

const std::string& invalidReply() { return SJ("    不正なコマンドです\r\n"); }

std::string d3(std::size_t n) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%3zu", n);
  return buf;
}

std::string d(std::size_t n) { return std::to_string(n); }

bool startsWith(std::string_view s, std::string_view head) {
  return s.size() >= head.size() && s.substr(0, head.size()) == head;
}

// The entry's head, as many bytes as the pattern has, equals the (upper-cased) pattern.
bool headMatches(std::string_view entry, std::string_view upperPattern) {
  return startsWith(text::upperAZ(entry), upperPattern);
}

bool disabled(std::string_view entry) { return !entry.empty() && entry.front() == '*'; }

// "    List1 %3d: %s\r\n"
std::string listLine(int list, std::size_t number, std::string_view entry) {
  return "    List" + d(static_cast<std::size_t>(list)) + " " + d3(number) + ": " +
         std::string(entry) + "\r\n";
}

// The lists a digit selects: 0 all three, else that one.
std::vector<int> selected(int lists) {
  if (lists == 0) return {1, 2, 3};
  return {lists};
}

// The 0-based index at which a line longer than 78 bytes is cut: 78, or 77 when a double-byte
// character starts at the 78th byte.
std::size_t breakPoint(std::string_view s) {
  constexpr std::size_t kWidth = 78;
  std::size_t i = 0;
  while (i < kWidth) {
    const std::size_t len = text::charLength(s, i);
    if (i + len > kWidth) return i;
    i += len;
  }
  return kWidth;
}

const std::string kIndent(13, ' ');

}  // namespace

std::string formatLogLine(int number, std::string_view line) {
  std::string s = "    Log " + d3(static_cast<std::size_t>(number)) + ": " + std::string(line);
  if (s.size() <= 78) return s;
  const std::size_t cut = breakPoint(s);
  std::string out = s.substr(0, cut);
  std::string rest = kIndent + s.substr(cut);
  if (rest.size() > 78) {
    const std::size_t cut2 = breakPoint(rest);
    rest = rest.substr(0, cut2) + "\r\n" + kIndent + rest.substr(cut2);
  }
  return out + "\r\n" + rest;
}

void CommandSet::setList(int list, const std::string& text) {
  model_.listText(list) = text;
  // As an edit of the memo: its change handler keeps the counter in step.
  model_.listChanged(list);
}

std::string CommandSet::addEntry(int list, std::string_view entry) {
  Lines lines = text::splitLines(model_.listText(list));
  lines.emplace_back(entry);
  setList(list, text::joinLines(lines));
  const std::string n = d(static_cast<std::size_t>(list));
  return "    List" + n + SJ("に追加しました") + "\r\n" + listLine(list, lines.size(), entry);
}

std::string CommandSet::switchEntries(int lists, std::string_view pattern, bool enable) {
  std::size_t count = 0;
  std::string changedLines;
  for (int l : selected(lists)) {
    Lines lines = text::splitLines(model_.listText(l));
    bool changed = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      std::string& line = lines[i];
      if (!headMatches(line, pattern)) continue;
      if (enable)
        line.erase(0, 1);  // the pattern begins with "*", so the line does too
      else
        line.insert(0, 1, '*');
      changedLines += listLine(l, i + 1, line);
      ++count;
      changed = true;
    }
    if (changed) setList(l, text::joinLines(lines));
  }
  if (count == 0)
    return enable ? SJ("    有効にするデータはありません\r\n")
                  : SJ("    無効にするデータはありません\r\n");
  return (enable ? SJ("    有効にしました ") : SJ("    無効にしました ")) + d(count) + SJ("件") +
         "\r\n" + changedLines;
}

std::string CommandSet::killEntries(int lists, std::string_view pattern) {
  std::size_t count = 0;
  std::string collected;
  std::vector<int> order = selected(lists);
  std::reverse(order.begin(), order.end());
  for (int l : order) {
    Lines lines = text::splitLines(model_.listText(l));
    bool changed = false;
    for (std::size_t i = lines.size(); i-- > 0;) {
      const std::string& line = lines[i];
      if (!disabled(line)) continue;
      if (!pattern.empty()) {
        // The whole entry, case and blanks aside, must be the pattern.
        std::string squeezed = text::upperAZ(text::trimSpaces(line));
        std::erase(squeezed, ' ');
        if (squeezed != pattern) continue;
      }
      collected.insert(0, listLine(l, i + 1, line));
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
      ++count;
      changed = true;
    }
    if (changed) setList(l, text::joinLines(lines));
  }
  if (count == 0) return SJ("    削除する無効データはありません\r\n");
  return SJ("    無効データを削除しました ") + d(count) + SJ("件") + "\r\n" + collected;
}

std::string CommandSet::displayLists(int lists, std::string_view pattern) {
  std::string reply = lists == 0
                          ? SJ("    データ表示\r\n")
                          : "    List" + d(static_cast<std::size_t>(lists)) + SJ("データ") + "\r\n";
  std::array<std::size_t, 3> enabled{}, disabledCount{}, lineCount{};
  std::size_t listed = 0, allLines = 0;
  for (int l : selected(lists)) {
    const Lines lines = text::splitLines(model_.listText(l));
    const auto k = static_cast<std::size_t>(l - 1);
    lineCount[k] = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (!pattern.empty() && !headMatches(lines[i], pattern)) continue;
      reply += listLine(l, i + 1, lines[i]);
      ++listed;
      ++(disabled(lines[i]) ? disabledCount[k] : enabled[k]);
    }
  }
  // "D 0" counts the lines of all three lists in every case.
  if (lists == 0) {
    for (int l = 1; l <= 3; ++l) {
      const auto k = static_cast<std::size_t>(l - 1);
      allLines += lineCount[k];
    }
  }

  const bool starPattern = !pattern.empty() && pattern.front() == '*';
  if (lists == 0) {
    if (pattern.empty()) {
      reply += "\r\n" + SJ("    データ ") + d3(listed) + SJ("件                 (") + d3(allLines) +
               ")\r\n";
      for (int l = 1; l <= 3; ++l) {
        const auto k = static_cast<std::size_t>(l - 1);
        reply += "    List" + d(k + 1) + SJ(": 有効") + d3(enabled[k]) + SJ("件  無効") +
                 d3(disabledCount[k]) + SJ("件  (") + d3(lineCount[k]) + ")\r\n";
      }
    } else {
      reply += "\r\n" + SJ("    データ ") + d3(listed) + SJ("件      (") + d3(allLines) + ")\r\n";
      for (int l = 1; l <= 3; ++l) {
        const auto k = static_cast<std::size_t>(l - 1);
        reply += "    List" + d(k + 1) + (starPattern ? SJ(": 無効") : SJ(": 有効")) +
                 d3(starPattern ? disabledCount[k] : enabled[k]) + SJ("件  (") + d3(lineCount[k]) +
                 ")\r\n";
      }
    }
    return reply;
  }

  const auto k = static_cast<std::size_t>(lists - 1);
  const std::string n = d(k + 1);
  if (pattern.empty()) {
    reply += "\r\n" + SJ("    データ  ") + d3(enabled[k] + disabledCount[k]) + SJ("件") +
             "\r\n    List" + n + SJ(": 有効") + d3(enabled[k]) + SJ("件  無効") +
             d3(disabledCount[k]) + SJ("件  (") + d3(lineCount[k]) + ")\r\n";
  } else {
    const std::size_t shown = starPattern ? disabledCount[k] : enabled[k];
    reply += "\r\n" + SJ("    データ  ") + d3(shown) + SJ("件") + "\r\n    List" + n +
             (starPattern ? SJ(": 無効") : SJ(": 有効")) + d3(shown) + SJ("件  (") +
             d3(lineCount[k]) + ")\r\n";
  }
  return reply;
}

std::string CommandSet::displayLog(std::string_view line) {
  const std::vector<std::string>& log = model_.logLines();
  const std::size_t total = log.size();
  std::size_t m = total;
  const bool asked = line.size() > 6;
  if (asked) {
    std::size_t i = 6;
    while (i < line.size() && line[i] == ' ') ++i;
    std::size_t value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
      value = std::min<std::size_t>(value * 10 + static_cast<std::size_t>(line[i] - '0'),
                                    static_cast<std::size_t>(INT_MAX));
    m = value == 0 || value > total ? total : value;
  }
  std::string reply = SJ("    LOGデータ\r\n");
  for (std::size_t i = 0; i < m; ++i)
    reply += formatLogLine(static_cast<int>(i + 1), log[i]) + "\r\n";
  if (asked)
    reply += "\r\n" + SJ("    データ ") + d(m) + "/" + d(total) + SJ("件") + "\r\n";
  else
    reply += "\r\n" + SJ("    データ ") + d(total) + SJ("件") + "\r\n";
  return reply;
}

std::string CommandSet::save(SessionControl& session) {
  std::string reason;
  if (model_.saveSettings(&reason)) return SJ("    現在の設定を保存しました\r\n");
  // The window shows the error box; the console user hears of it too, and the failed line
  // does not linger in front of the next one.
  session.ClearPendingInput();
  std::string reply =
      "    " + settings::cannotWriteMessage(text::cp932FromUtf8(model_.settingsFile())) + "\r\n";
  if (!reason.empty()) reply += "    " + text::cp932FromUtf8(reason) + "\r\n";
  return reply;
}

std::string CommandSet::reload() {
  model_.reload();
  return SJ("    前回終了時または保存時の状態に戻しました\r\n");
}

std::string CommandSet::status() const {
  const ConsoleModel& m = model_;
  std::string r = SJ("    チェックボタンなどの状態\r\n");
  const int minutes = m.selectedInterval();
  if (m.intervalOff())
    r += "    X OFF\r\n";
  else if (minutes >= 2 && minutes <= 4)
    r += "    X ON" + std::to_string(minutes) + "\r\n";
  else
    r += "    X ON5\r\n";
  r += m.pageEnabled(1) ? "    U 1 ON  " : "    U 1 OFF ";
  r += m.pageEnabled(2) ? " ,  U 2 ON  " : " ,  U 2 OFF ";
  r += m.pageEnabled(3) ? " ,  U 3 ON\r\n" : " ,  U 3 OFF\r\n";
  r += m.soundAlert() ? "    V ON\r\n" : "    V OFF\r\n";
  r += m.mailForwarding() ? "    M ON\r\n" : "    M OFF\r\n";
  for (int l = 1; l <= 3; ++l) {
    const std::string n = d(static_cast<std::size_t>(l));
    r += "    L " + n + (m.listEnabledForUrl(l, 1) ? "1 ON " : "1 OFF");
    r += " ,  L " + n + (m.listEnabledForUrl(l, 2) ? "2 ON " : "2 OFF");
    r += " ,  L " + n + (m.listEnabledForUrl(l, 3) ? "3 ON\r\n" : "3 OFF\r\n");
  }
  r += m.configButton() ? "    Z CFG ON\r\n" : "    Z CFG OFF\r\n";
  return r;
}

std::string CommandSet::fixedCommand(const std::string& u, SessionControl& session, bool& matched) {
  matched = true;
  ConsoleModel& m = model_;
  if (u == "M ON" || u == "M OFF") {
    m.mailForwarding() = u == "M ON";
    return m.mailForwarding() ? SJ("    メール転送を開始しました\r\n")
                          : SJ("    メール転送を停止しました\r\n");
  }
  if (u == "V ON" || u == "V OFF") {
    m.soundAlert() = u == "V ON";
    return m.soundAlert() ? SJ("    音声アラートを開始しました\r\n")
                      : SJ("    音声アラートを停止しました\r\n");
  }
  if (u == "Q") {
    session.ClearPendingInput();
    session.CloseSession();
    return {};
  }
  if (u.size() == 5 && startsWith(u, "X ON") && u[4] >= '2' && u[4] <= '5') {
    const int minutes = u[4] - '0';
    // A click on the button that is already selected changes nothing.
    if (m.selectedInterval() != minutes || m.intervalOff()) m.clickIntervalButton(minutes);
    return SJ("    Zeltaroを開始しました(") + d(static_cast<std::size_t>(minutes)) +
           SJ("分毎)\r\n");
  }
  if (u == "X OFF") {
    if (!m.intervalOff()) m.clickIntervalOff();
    return SJ("    Zeltaroを停止しました\r\n");
  }
  // "L nm ON" / "L nm OFF"
  if ((u.size() == 7 || u.size() == 8) && startsWith(u, "L ") && u[2] >= '1' && u[2] <= '3' &&
      u[3] >= '1' && u[3] <= '3' && (u.substr(4) == " ON" || u.substr(4) == " OFF")) {
    const bool on = u.substr(4) == " ON";
    m.listEnabledForUrl(u[2] - '0', u[3] - '0') = on;
    return "    List" + std::string(1, u[2]) + " URL" + std::string(1, u[3]) +
           (on ? SJ("をオンに設定しました\r\n") : SJ("をオフに設定しました\r\n"));
  }
  if (u == "L ALL ON" || u == "L ALL OFF") {
    const bool on = u == "L ALL ON";
    for (int l = 1; l <= 3; ++l)
      for (int url = 1; url <= 3; ++url) m.listEnabledForUrl(l, url) = on;
    return on ? SJ("    List1～3 URL1～3をオンに設定しました\r\n")
              : SJ("    List1～3 URL1～3をオフに設定しました\r\n");
  }
  // "U n ON" / "U n OFF", n = 0 for all three
  if ((u.size() == 6 || u.size() == 7) && startsWith(u, "U ") && u[2] >= '0' && u[2] <= '3' &&
      (u.substr(3) == " ON" || u.substr(3) == " OFF")) {
    const bool on = u.substr(3) == " ON";
    bool* boxes[3] = {&m.pageEnabled(1), &m.pageEnabled(2), &m.pageEnabled(3)};
    if (u[2] == '0') {
      for (bool* b : boxes) *b = on;
      return on ? SJ("    URL1～3をオンに設定しました\r\n")
                : SJ("    URL1～3をオフに設定しました\r\n");
    }
    *boxes[u[2] - '1'] = on;
    return "    URL" + std::string(1, u[2]) +
           (on ? SJ("をオンに設定しました\r\n") : SJ("をオフに設定しました\r\n"));
  }
  if (u == "T M") {
    m.testMail();
    return SJ("    メール転送テストを実行しました\r\n");
  }
  if (u == "T V") {
    m.testSound();
    return SJ("    音声アラートテストを実行しました\r\n");
  }
  if (u.size() == 4 && startsWith(u, "T U") && u[3] >= '1' && u[3] <= '3') {
    std::string reply = "    URL" + std::string(1, u[3]) + SJ("巡回テストを実行しました\r\n");
    // While another check runs this one waits for its turn, and so does its reply.
    if (m.checkRunning()) {
      if (auto later = session.DeferReply()) {
        m.checkPageThen(u[3] - '0', [later, reply] { later(reply); });
        return reply;
      }
    }
    m.checkPage(u[3] - '0');
    return reply;
  }
  if (u == "R") return status();
  if (u == "Z CFG ON" || u == "Z CFG OFF") {
    const bool on = u == "Z CFG ON";
    if (m.configButton() != on) m.setConfigButton(on);
    return on ? SJ("    Configボタンをオンに設定しました\r\n")
              : SJ("    Configボタンをオフに設定しました\r\n");
  }
  matched = false;
  return {};
}

std::string CommandSet::ExecuteCommand(std::string_view line, SessionControl& session) {
  const std::string u = text::upperAZ(line);
  const auto digitAt2 = [&](char lo) { return u.size() > 2 && u[2] >= lo && u[2] <= '3'; };
  const int n = u.size() > 2 ? u[2] - '0' : 0;

  if (u.size() > 4 && startsWith(u, "A ") && digitAt2('1') && u[3] == ' ')
    return addEntry(n, line.substr(4));
  if (u.size() > 5 && startsWith(u, "C ") && digitAt2('0') && u[3] == ' ' && u[4] == '*')
    return switchEntries(n, std::string_view(u).substr(4), true);
  if (u.size() > 4 && startsWith(u, "C ") && digitAt2('0') && u[3] == ' ' && u[4] != '*')
    return switchEntries(n, std::string_view(u).substr(4), false);
  if (startsWith(u, "Z KILL ") && u.size() > 7 && u[7] >= '0' && u[7] <= '3') {
    const int k = u[7] - '0';
    if (u.size() == 8) return killEntries(k, {});
    if (u.size() > 10 && u[8] == ' ' && u[9] == '*')
      return killEntries(k, text::trimRight(std::string_view(u).substr(9)));
  }
  if (u == "Z SAVE") return save(session);
  if (u == "Z LOAD") return reload();
  if (u == "Z CLR") {
    model_.clearLog();
    return SJ("    LOGをクリアしました\r\n");
  }
  if (startsWith(u, "D")) {
    if (u.size() >= 3 && startsWith(u, "D ") && digitAt2('0') &&
        (u.size() == 3 || (u.size() > 4 && u[3] == ' ')))
      return displayLists(n, u.size() == 3 ? std::string_view() : std::string_view(u).substr(4));
    if (u == "D LOG" || startsWith(u, "D LOG ")) return displayLog(u);
    return invalidReply();
  }
  bool matched = false;
  std::string reply = fixedCommand(u, session, matched);
  if (matched) return reply;
  if (u.empty()) return "\r\n";
  if (u == "?") return greeting();
  return invalidReply();
}

}  // namespace zeltaro::console
