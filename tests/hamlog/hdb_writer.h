// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes QSO files in HAMLOG's hamlog.hdb layout for tests and benchmarks: a 32-byte header,
// one 32-byte descriptor per field ended by 0x0D, fixed-width records with a flag byte, 0x1A
// at the end. The call's three fields are given as they are stored, so a test states the
// stored form and the call it expects back.

#include <cstdint>
#include <string>
#include <vector>

namespace zeltaro::testing {

struct HdbQso {
  std::string calls;       // CALLS: the first 8 characters of the call
  std::string ign;         // IGN, as stored (overflow left, portable part right)
  std::uint16_t flag = 0;  // FLAG: 0x08 foreign station, 0x02 portable part in front
  std::string code{}, freq{}, mode{}, remarks1{}, remarks2{};
  bool deleted = false;
};

// A plain call that fits CALLS.
inline HdbQso plainQso(std::string call, std::string freq, std::string mode,
                       std::string code = {}) {
  return HdbQso{std::move(call), {}, 0, std::move(code), std::move(freq), std::move(mode)};
}

struct HdbWidths {
  int calls = 8, ign = 12, date = 4, time = 2, code = 6, gl = 6, qsl = 3, flag = 2, his = 3, my = 3,
      freq = 7, mode = 4, name = 12, qth = 28, rmk1 = 54, rmk2 = 54;
};

inline std::string hdbFile(const std::vector<HdbQso>& qsos, const HdbWidths& w = {}) {
  struct Field {
    const char* name;
    int width;
  };
  const Field fields[] = {{"CALLS", w.calls}, {"IGN", w.ign}, {"DATE", w.date}, {"TIME", w.time},
                          {"CODE", w.code},   {"GL", w.gl},   {"QSL", w.qsl},   {"FLAG", w.flag},
                          {"HIS", w.his},     {"MY", w.my},   {"FREQ", w.freq}, {"MODE", w.mode},
                          {"NAME", w.name},   {"QTH", w.qth}, {"RMK1", w.rmk1}, {"RMK2", w.rmk2}};
  int width = 1;
  for (const Field& f : fields) width += f.width;
  const int headerLength = 32 + 32 * 16 + 1;

  auto le = [](std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  std::string out;
  out += '\x03';
  out += "\x7d\x05\x11";  // last update 2025-05-17
  le(out, static_cast<std::uint32_t>(qsos.size()), 4);
  le(out, headerLength, 2);
  le(out, static_cast<std::uint32_t>(width), 2);
  out.append(20, '\0');
  int offset = 1;
  for (const Field& f : fields) {
    std::string d(32, '\0');
    d.replace(0, std::string(f.name).size(), f.name);
    d[11] = 'C';
    d[12] = static_cast<char>(offset);  // dBase keeps the field's offset here
    d[16] = static_cast<char>(f.width);
    out += d;
    offset += f.width;
  }
  out += '\x0D';

  auto text = [&out](const std::string& s, int width) {
    std::string t = s.substr(0, static_cast<std::size_t>(width));
    t.resize(static_cast<std::size_t>(width), ' ');
    out += t;
  };
  for (const HdbQso& q : qsos) {
    out += q.deleted ? '*' : ' ';
    text(q.calls, w.calls);
    text(q.ign, w.ign);
    out += std::string("\x14\x19\x05\x11", 4).substr(0, static_cast<std::size_t>(w.date));
    out += std::string("\x0c\x1e", 2).substr(0, static_cast<std::size_t>(w.time));
    text(q.code, w.code);
    text("", w.gl);
    text("J  ", w.qsl);
    std::string flag;
    le(flag, q.flag, 2);
    flag.resize(static_cast<std::size_t>(w.flag), '\0');
    out += flag;
    text("599", w.his);
    text("599", w.my);
    text(q.freq, w.freq);
    text(q.mode, w.mode);
    text("", w.name);
    text("", w.qth);
    text(q.remarks1, w.rmk1);
    text(q.remarks2, w.rmk2);
  }
  out += '\x1A';
  return out;
}

}  // namespace zeltaro::testing
