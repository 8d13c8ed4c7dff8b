// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/transfer_line.h"

#include <charconv>
#include <cstdio>

#include "hamlog/number_text.h"
#include "rig/companion_texts.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::transfer {

namespace {

bool startsWithDigit(std::string_view s) { return !s.empty() && s[0] >= '0' && s[0] <= '9'; }

std::string twoDigits(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", ((v % 100) + 100) % 100);
  return b;
}

}  // namespace

std::string frequencyFieldText(std::string_view kHz) {
  std::string digits;
  for (const char c : text::trim(kHz))
    if (c != ',') digits += c;
  const double v = hamlog::readLeadingDecimal(digits);
  int decimals = 0;
  if (v < 1000)
    decimals = 6;
  else if (v < 10000)
    decimals = 5;
  else if (v < 100000)
    decimals = 4;
  else if (v < 1000000)
    decimals = 3;
  else if (v < 10000000)
    decimals = 2;
  else if (v < 100000000)
    decimals = 1;
  // Not printf: the program runs in the user's locale, HAMLOG wants a decimal point.
  char buf[400];
  const auto r =
      std::to_chars(buf, buf + sizeof buf, v * 0.001, std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) return {};
  return std::string(text::trim(std::string_view(buf, std::size_t(r.ptr - buf))));
}

Transfer::Transfer(const settings::StationSettings& station, TransferServices services)
    : station_(station), s_(std::move(services)), input_(station, s_.input) {}

hamlog::MichiEntry Transfer::lookUp(std::string_view code, int list) const {
  if (s_.michi) return s_.michi(code, list);
  return {std::string(code), {}};
}

void Transfer::TransferLine(std::string_view line) {
  if (running_) {
    waiting_.emplace_back(line);
    return;
  }
  struct Running {
    Transfer& t;
    explicit Running(Transfer& transfer) : t(transfer) { t.running_ = true; }
    ~Running() { t.running_ = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
  } running(*this);
  // The window runs during the transfer: the log line the text came from may change meanwhile
  // (a cleared log, a reload), so the transfer carries its own copy.
  carry(std::string(line));
  while (!waiting_.empty()) {
    const std::string next = std::move(waiting_.front());
    waiting_.pop_front();
    carry(next);
  }
}

void Transfer::carry(std::string_view rawLine) {
  const std::string_view line = text::trim(rawLine);
  if (line.empty()) return;
  input_.HamlogFocusWindow = 0;
  const Columns cols(line);
  const settings::SharedFirstSettings& shared = station_.shared;
  const settings::TarvopcSettings& companion = station_.tarvopc;

  std::string mode;
  if (auto n = cols.valid(shared.COL_MODE)) mode = cols.trimmed(*n);
  const bool cw = mode == "CW";
  const bool forwarding = companion.CALL || companion.CODE || companion.QTH;
  RigSide& rig = *s_.input.rig;
  OwnWindows& own = *s_.input.own;

  if (!cw && companion.CLEAR) rig.sendToCompanion("CLR \r");

  // The folder each list's fields went into in this transfer: equal folders get one entry.
  std::array<std::string, 3> recorded;
  bool first = true;
  for (int list = 1; list <= 3; ++list) {
    const std::size_t i = std::size_t(list - 1);
    if (i >= line.size() || line[i] == '_' || !station_.set(list).Trans) continue;
    const std::string& folder = station_.set(list).HAMLOG;
    // An empty recorded folder entered nothing, so it stands for no HAMLOG.
    auto enteredAlready = [&](std::size_t j) {
      return !recorded[j].empty() && recorded[j] == folder;
    };
    if (list == 2 && enteredAlready(0)) continue;
    if (list == 3 && (enteredAlready(0) || enteredAlready(1))) continue;
    if (first) input_.FindHamlogWindows();
    first = false;
    enterIntoList(list, cols, recorded);
  }

  if (!cw && companion.CLEAR) {
    const bool patrol = input_.patrolWindowVisible();
    if (forwarding) rig.focusCompanionWindow(shared.FOCUS_SEL, shared.MOUSE_SEL, patrol);
    if (input_.HamlogFocusWindow != 0 && shared.FOCUS_SEL)
      input_.focusHamlogWindow(input_.HamlogFocusWindow);
    else if (!patrol)
      own.raiseLastActive();
  }

  rig::SpotForCompanion spot;
  if (auto n = cols.valid(shared.COL_CALL)) spot.call = cols.trimmed(*n);
  if (auto n = cols.valid(shared.COL_CODE)) spot.code = cols.trimmed(*n);
  if (auto n = cols.valid(shared.COL_QTH)) spot.qth = cols.trimmed(*n);
  spot.flags = std::string(line.substr(0, 3));
  spot.lastRemarkText = LastRemarkText;
  const rig::MichiNoEkiLookup numeric =
      [this](int list, std::string_view code) -> std::optional<std::string> {
    return lookUp(code, list).code;
  };
  for (const std::string& t : rig::forwardSpotTexts(spot, companion, numeric))
    rig.sendToCompanion(t);

  if (cw && forwarding)
    rig.focusCompanionWindow(shared.FOCUS_SEL, shared.MOUSE_SEL, input_.patrolWindowVisible());
}

void Transfer::enterIntoList(int list, const Columns& cols, std::array<std::string, 3>& recorded) {
  const settings::SharedFirstSettings& shared = station_.shared;
  const std::size_t i = std::size_t(list - 1);
  const std::string& folder = station_.set(list).HAMLOG;
  auto send = [&](int field, std::string_view t) { input_.SendHamlogField(field, t, list); };
  auto newEntry = [&] {
    if (recorded[i].empty()) send(kFieldNewEntry, "");
  };
  auto stepRan = [&] { recorded[i] = folder; };

  if (auto n = cols.valid(shared.COL_CALL)) {
    newEntry();
    const std::string call = cols.trimmed(*n);
    send(kFieldCallFirst, call);
    send(kFieldCall, call);
    stepRan();
  }
  if (auto n = cols.valid(shared.COL_FREQ)) {
    newEntry();
    send(kFieldFreq, frequencyFieldText(cols.trimmed(*n)));
    stepRan();
  }
  if (auto n = cols.valid(shared.COL_MODE)) {
    newEntry();
    send(kFieldMode, cols.trimmed(*n));
    stepRan();
  }
  if (auto n = cols.valid(shared.COL_CODE)) {
    newEntry();
    std::string code = cols.trimmed(*n);
    if (hamlog::isMichiNoEkiCode(code)) {
      const hamlog::MichiEntry entry = lookUp(code, list);
      send(kFieldCode, entry.code);
      std::string station = entry.station.empty() ? code : entry.station;
      if (shared.MICHI_FUKA) station = text::sj("道の駅 ") + station;
      Remark1Lead.clear();
      Remark2Lead.clear();
      if (shared.MICHI_WR == 1) {
        Remark1Lead = station;
        send(kFieldRemarks1, station);
      } else if (shared.MICHI_WR == 2) {
        Remark2Lead = station;
        send(kFieldRemarks2, station);
      }
    } else {
      if (!startsWithDigit(code)) code.clear();
      send(kFieldCode, code);
      Remark1Lead.clear();
      Remark2Lead.clear();
    }
    stepRan();
  }
  if (auto n = cols.valid(shared.COL_QTH)) {
    send(kFieldQth, rig::filterQth(cols.trimmed(*n)));
    stepRan();
  }
  const int rmks = columnNumber(shared.COL_RMKS);
  if (!shared.COL_RMKS.empty() && shared.RMKS_SEL != 0 && rmks >= 2 && rmks <= 20) {
    std::string t(text::trim(comment(cols, std::size_t(rmks))));
    const bool one = shared.RMKS_SEL == 1;
    const std::string& lead = one ? Remark1Lead : Remark2Lead;
    if (!lead.empty()) t = lead + text::sj("　") + t;
    LastRemarkText = (one ? "RMK1 " : "RMK2 ") + t;
    send(one ? kFieldRemarks1 : kFieldRemarks2, t);
    stepRan();
  }
  if (cols.valid(shared.COL_CALL)) {
    const platform::LocalDateTime now = s_.clock->now();
    send(kFieldBeforeDate, "");
    send(kFieldDate, twoDigits(now.year) + "/" + twoDigits(now.month) + "/" + twoDigits(now.day));
    send(kFieldTime, twoDigits(now.hour) + ":" + twoDigits(now.minute) + "J");
  }
  input_.FinishHamlogEntry(list);
}

std::string Transfer::comment(const Columns& cols, std::size_t n) const {
  if (n > cols.count()) return {};
  const std::string_view line = cols.line();
  const std::size_t at = text::find(line, text::sj("＠"));
  if (at == 0) return std::string(cols.raw(n));
  const std::size_t s = text::find(line, "km ") != 0 ? n : n - 1;
  const std::size_t atColumn = cols.columnAt(at - 1);
  if (atColumn <= s) return {};
  // From the start of column s to the end of the last column before the "＠" one.
  return std::string(line.substr(cols.start(s), cols.end(atColumn - 1) - cols.start(s)));
}

}  // namespace zeltaro::transfer
