// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig/companion_texts.h"

#include <array>

#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::rig {

namespace {

bool isAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool containsAny(std::string_view s, std::initializer_list<const char*> utf8Words) {
  for (const char* w : utf8Words)
    if (text::find(s, text::sj(w)) != 0) return true;
  return false;
}

}  // namespace

std::uint16_t companionPort(std::string_view portText) {
  std::uint32_t value = 0;
  for (const char c : portText) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
    if (value > 65535) return 0;
  }
  return static_cast<std::uint16_t>(value);
}

std::optional<std::string> companionDatagram(std::string_view text) {
  if (text.size() >= 255) return std::nullopt;
  std::string d(text);
  d += '\0';
  return d;
}

bool isMichiNoEkiCode(std::string_view code) {
  return containsAny(code, {"都-", "道-", "府-", "県-", "神奈川-", "和歌山-", "鹿児島-"});
}

std::string filterQth(std::string_view qth) {
  if (!qth.empty() && isAsciiAlnum(static_cast<unsigned char>(qth.front()))) return {};
  if (!containsAny(qth, {"都", "道", "府", "県", "市"})) return {};
  return std::string(qth);
}

std::vector<std::string> forwardSpotTexts(const SpotForCompanion& spot,
                                          const settings::TarvopcSettings& options,
                                          const MichiNoEkiLookup& lookup) {
  std::string code = spot.code;
  if (isMichiNoEkiCode(code)) {
    for (int list = 1; list <= 3; ++list) {
      const auto i = static_cast<std::size_t>(list - 1);
      if (i < spot.flags.size() && spot.flags[i] != '_') {
        std::optional<std::string> found;
        if (lookup) found = lookup(list, code);
        code = found ? *found : std::string();
        break;
      }
    }
  } else if (!code.empty() && !(code.front() >= '0' && code.front() <= '9')) {
    code.clear();
  }
  std::vector<std::string> texts;
  if (options.QTH) texts.push_back("QTH " + filterQth(spot.qth) + "\r");
  if (options.CODE) texts.push_back("CODE " + code + "\r");
  if (options.CALL) texts.push_back("CALL " + spot.call + "\r");
  if (options.QTH || options.CODE || options.CALL) texts.push_back(spot.lastRemarkText + "\r");
  return texts;
}

}  // namespace zeltaro::rig

namespace zeltaro::rig {

bool isCompanionTitle(std::string_view title) {
  if (!title.starts_with("Tarvopc ")) return false;
  for (const std::string_view s : {"- OPERATE", "- CONFIG", "- VOICE CQ", "- LOAD", "- SAVE"})
    if (title.find(s) != std::string_view::npos) return true;
  return false;
}

}  // namespace zeltaro::rig
