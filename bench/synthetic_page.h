// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Synthetic spot pages in the default record format, for the benchmarks.

#include <cstdio>
#include <string>
#include <vector>

namespace zeltaro::bench {

inline std::string callSign(int i) {
  static const char* prefixes[] = {"JA", "JH", "JR", "JE", "JF", "JG", "JI", "JJ", "JK", "JL"};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%s%d%c%c%c", prefixes[i % 10], i % 10, 'A' + (i / 10) % 26,
                'A' + (i / 260) % 26, 'A' + (i / 6760) % 26);
  return buf;
}

inline std::string syntheticRecord(int i) {
  char freq[16];
  std::snprintf(freq, sizeof freq, "%d,%03d", 7 + (i % 4) * 7, i % 1000);
  const char* modes[] = {"CW", "SSB", "FT8", "RTTY"};
  // "東京都 千代田区" in CP932, so the page carries double-byte text as real pages do.
  const std::string qth = "\x93\x8c\x8b\x9e\x93\x73\x20\x90\xe7\x91\xe3\x93\x63\x8b\xe6";
  return "<tr><td><LineStart><!--" + std::to_string(i) + "--></LineStart></td><td><Date>2026/12/" +
         std::to_string(1 + i % 28) + "</Date></td><td><Time>" + std::to_string(10 + i % 14) + ":" +
         std::to_string(10 + i % 50) + "</Time></td><td><CallSignTo>" + callSign(i) +
         "</CallSignTo></td><td><Freq>" + freq + "</Freq></td><td><Mode>" + modes[i % 4] +
         "</Mode></td><td><Qth>" + std::to_string(100100 + i % 900) + "</Qth></td><td><QthName>" +
         qth + "</QthName></td><td><Distance>" + std::to_string(i % 2000) +
         "km</Distance></td><td><Comments>tnx fb qso 5nn &amp; 73</Comments></td><td>"
         "<CallSignFrom>" +
         callSign(i * 7 + 3) + "</CallSignFrom></td><td><font title='" + qth + "'><QthFrom>" +
         std::to_string(200100 + i % 700) + "</QthFrom></font></td></LineEnd></tr>\r\n";
}

inline std::string syntheticPage(int records) {
  std::string page = "<html><head><title>spots</title></head><body><table>\r\n";
  for (int i = 0; i < records; ++i) page += syntheticRecord(i);
  return page + "</table></body></html>\r\n";
}

// A watch list of 300 entries for a page of `records` records: mostly stations that are not on
// the page, every 30th one that is; every other entry also asks for CW.
inline std::string watchList(int records, int offset, int step) {
  std::string list;
  for (int i = 0; i < 300; ++i) {
    const int station = i % 30 == 0 ? (i * step + offset) % records : 100000 + i * step + offset;
    list += callSign(station) + (i % 2 ? " CW" : "") + "\r\n";
  }
  return list;
}

}  // namespace zeltaro::bench
