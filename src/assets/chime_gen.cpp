// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the default alert sound "chimes.wav": three descending bell tones (E6, C6, G5) that
// ring out over about a second. 16-bit PCM, mono, 22050 Hz. Made here rather than shipped, so the
// program owns every byte of it.
//
// Usage: zeltaro_chime_gen OUTPUT.wav

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kSeconds = 1.1;

struct Strike {
  double at;    // seconds
  double freq;  // Hz
};
constexpr Strike kStrikes[] = {{0.00, 1318.51}, {0.22, 1046.50}, {0.44, 783.99}};

std::vector<int16_t> synthesize() {
  const int n = static_cast<int>(kSeconds * kRate);
  std::vector<double> mix(n, 0.0);
  for (const Strike& s : kStrikes) {
    const int start = static_cast<int>(s.at * kRate);
    for (int i = start; i < n; ++i) {
      const double t = static_cast<double>(i - start) / kRate;
      const double attack = std::min(1.0, t / 0.004);  // no click at the strike
      const double w = 2.0 * std::numbers::pi * s.freq * t;
      // A bell: the fundamental with a faster-fading octave and twelfth.
      const double tone = std::exp(-4.0 * t) * std::sin(w) +
                          0.35 * std::exp(-7.0 * t) * std::sin(2.0 * w) +
                          0.15 * std::exp(-10.0 * t) * std::sin(3.0 * w);
      mix[i] += attack * tone;
    }
  }
  const int fade = kRate / 20;  // the last 50 ms fade to silence
  for (int k = 0; k < fade; ++k) mix[n - 1 - k] *= static_cast<double>(k) / fade;

  double peak = 0.0;
  for (double v : mix) peak = std::max(peak, std::abs(v));
  const double gain = peak > 0.0 ? 0.6 * 32767.0 / peak : 0.0;
  std::vector<int16_t> pcm(n);
  for (int i = 0; i < n; ++i) pcm[i] = static_cast<int16_t>(std::lround(mix[i] * gain));
  return pcm;
}

void putLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string wavFile(const std::vector<int16_t>& pcm) {
  const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
  std::string out = "RIFF";
  putLe(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  putLe(out, 16, 4);         // fmt chunk size
  putLe(out, 1, 2);          // PCM
  putLe(out, 1, 2);          // mono
  putLe(out, kRate, 4);      // sample rate
  putLe(out, kRate * 2, 4);  // byte rate
  putLe(out, 2, 2);          // block align
  putLe(out, 16, 2);         // bits per sample
  out += "data";
  putLe(out, dataBytes, 4);
  for (int16_t s : pcm) putLe(out, static_cast<uint16_t>(s), 2);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
    return 2;
  }
  const std::string wav = wavFile(synthesize());
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(wav.data(), static_cast<std::streamsize>(wav.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
