// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Spot pages in the default record format, for model tests.

#include <string>
#include <vector>

namespace zeltaro::testing {

struct Spot {
  std::string call, freq, mode = "CW", code = "1001", qth = "Tokyo", comment = "tnx";
  std::string date = "2026/12/09", time = "23:15";
};

inline std::string spotRecord(int number, const Spot& s) {
  return "<LineStart><!--" + std::to_string(number) + "--></LineStart><Date>" + s.date +
         "</Date><Time>" + s.time + "</Time><CallSignTo>" + s.call + "</CallSignTo><Freq>" +
         s.freq + "</Freq><Mode>" + s.mode + "</Mode><Qth>" + s.code + "</Qth><QthName>" + s.qth +
         "</QthName><Distance>12</Distance><Comments>" + s.comment +
         "</Comments><CallSignFrom>JA2YYY</CallSignFrom><font title='Aichi'><QthFrom>2001"
         "</QthFrom></LineEnd>\r\n";
}

inline std::string spotPage(const std::vector<Spot>& spots) {
  std::string page = "<html><body>\r\n<h1>Spots</h1>\r\n";
  int n = 1;
  for (const Spot& s : spots) page += spotRecord(n++, s);
  return page + "</body></html>\r\n";
}

// The display text the default Body gives such a record.
inline std::string spotDisplay(int number, const Spot& s) {
  return std::to_string(number) + " " + s.date.substr(2) + "\\r\\n" + s.time + " " + s.call +
         "\\r\\n" + s.freq + " " + s.mode + "\\r\\n" + s.code + " " + s.qth + " 12 " + s.comment +
         "\\r\\nJA2YYY\x81\x97"
         "Aichi#2001\\r\\n\\r\\n";
}

}  // namespace zeltaro::testing
