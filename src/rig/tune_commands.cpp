// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig/tune_commands.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "rig/mode_tables.h"
#include "rig/rig_maker.h"

namespace zeltaro::rig {

namespace {

constexpr int kIcomWaitMs = 10;
constexpr int kSerialWaitMs = 30;

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%08d" of the frequency in units of 10 Hz, or empty when it does not fit eight digits: a
// longer text would make a six-byte command that puts the rig's five-byte framing out of step.
std::string yaesuDigits(double megahertz) {
  const double t = std::floor(megahertz * 100000 + 0.0001);
  if (!(t >= 0 && t <= 99999999)) return {};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08ld", static_cast<long>(t));
  return buf;
}

// "FA%011d;" with the frequency in hertz, or empty when it does not fit eleven digits.
std::string faCommand(double megahertz) {
  const double h = std::floor(megahertz * 1000000 + 0.001);
  if (!(h >= 0 && h <= 99999999999.0)) return {};
  char buf[24];
  std::snprintf(buf, sizeof buf, "FA%011lld;", static_cast<long long>(h));
  return buf;
}

}  // namespace

double readMegahertz(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9')
      digits = true;
    else if (text[i] == '.' && !point)
      point = true;
    else
      return 0;
  }
  if (!digits) return 0;
  // from_chars, not strtod: the program runs in the desktop's locale, where strtod stops at the
  // decimal point of "7.0035" when the locale writes a comma. from_chars takes no "+".
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string icomFrame(int rigId, int pcId, char command, std::string_view data) {
  std::string f{'\xFE', '\xFE', static_cast<char>(rigId & 0xFF), static_cast<char>(pcId & 0xFF),
                command};
  f += data;
  f += '\xFD';
  return f;
}

std::string icomFrequencyBcd(double megahertz) {
  const double hz = megahertz * 1000000;
  if (!(hz >= 0) || !std::isfinite(hz) || hz >= 1e15) return {};
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, hz, std::chars_format::fixed, 0);
  std::string digits(buf, r.ptr);
  if (digits.size() < 10) digits.insert(0, 10 - digits.size(), '0');
  std::string bcd;
  std::size_t end = digits.size();
  for (; end >= 2; end -= 2)
    bcd += static_cast<char>((digits[end - 2] - '0') << 4 | (digits[end - 1] - '0'));
  if (end == 1) bcd += static_cast<char>(digits[0] - '0');
  return bcd;
}

std::string bytesFromHexPairs(std::string_view hex) {
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    int value = 0;
    for (std::size_t j = i; j < i + 2 && j < hex.size() && hexDigit(hex[j]) >= 0; ++j)
      value = value * 16 + hexDigit(hex[j]);
    bytes += static_cast<char>(value);
  }
  return bytes;
}

std::string upperHex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0x0F];
  }
  return hex;
}

std::vector<RigStep> buildTuneSteps(std::string_view frequencyText, std::string_view modeText,
                                    const settings::RigDirectSettings& rig) {
  std::vector<RigStep> steps;
  if (!isSerialMaker(rig.Maker)) return steps;
  const auto maker = static_cast<Maker>(rig.Maker);
  if (rig.RigTarvopc && maker != Maker::Icom) return steps;
  const double f = readMegahertz(frequencyText);
  const std::string_view* mode = findModeCommand(modeTable(maker), modeText, f);
  const auto port = [&](std::string bytes, int waitMs) {
    steps.push_back({RigStep::Route::Port, std::move(bytes), waitMs});
  };

  switch (maker) {
    case Maker::Icom: {
      const auto send = [&](const char* prefix, std::string frame) {
        if (rig.RigTarvopc)
          steps.push_back(
              {RigStep::Route::Companion, prefix + upperHex(frame) + "\r", kIcomWaitMs});
        else
          port(std::move(frame), kIcomWaitMs);
      };
      if (mode) send("ICOM_MODE_", icomFrame(rig.RigID, rig.PcID, '\x06', *mode));
      const std::string bcd = icomFrequencyBcd(f);
      if (!bcd.empty()) send("ICOM_FREQ_", icomFrame(rig.RigID, rig.PcID, '\x05', bcd));
      break;
    }
    case Maker::Yaesu1:
    case Maker::Yaesu2: {
      if (mode) port(bytesFromHexPairs(*mode), kSerialWaitMs);
      std::string digits = yaesuDigits(f);
      if (digits.empty()) break;
      if (maker == Maker::Yaesu1) {
        port(bytesFromHexPairs(digits + "01"), kSerialWaitMs);
      } else {
        std::string reversed;
        for (std::size_t i = digits.size(); i >= 2; i -= 2) reversed += digits.substr(i - 2, 2);
        port(bytesFromHexPairs(reversed + "0a"), kSerialWaitMs);
      }
      break;
    }
    case Maker::Yaesu3:
    case Maker::Kenwood1: {
      if (mode) port(std::string(*mode), kSerialWaitMs);
      std::string fa = faCommand(f);
      if (!fa.empty()) port(std::move(fa), kSerialWaitMs);
      break;
    }
    case Maker::Rigctld:
      break;
  }
  return steps;
}

}  // namespace zeltaro::rig
