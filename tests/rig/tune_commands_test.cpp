// SPDX-License-Identifier: GPL-3.0-or-later
// The bytes each rig family is sent for a spot, whole, for every mode row at a frequency below
// and above 8 MHz.

#include "rig/tune_commands.h"

#include <gtest/gtest.h>

#include "rig/rig_maker.h"
#include "rig/rigctld_protocol.h"
#include "support/decimal_comma_locale.h"

namespace zeltaro::rig {

void PrintTo(const RigStep& s, std::ostream* os) {
  *os << (s.route == RigStep::Route::Port ? "port " : "companion ") << upperHex(s.bytes) << " wait "
      << s.waitMs;
}

namespace {

using Route = RigStep::Route;

// "FE FE 6E" -> the bytes.
std::string hex(std::string_view spaced) {
  std::string bytes;
  for (std::size_t i = 0; i < spaced.size();) {
    if (spaced[i] == ' ') {
      ++i;
      continue;
    }
    bytes += static_cast<char>(std::stoi(std::string(spaced.substr(i, 2)), nullptr, 16));
    i += 2;
  }
  return bytes;
}

settings::RigDirectSettings rigOf(Maker maker) {
  settings::RigDirectSettings rig;
  rig.Maker = static_cast<std::int32_t>(maker);
  return rig;
}

struct ModeCase {
  Maker maker;
  const char* mode;
  const char* at7;   // mode command at 7.00350 MHz ("" none); hex bytes, or text for text rigs
  const char* at14;  // ... at 14.02500 MHz
};

// The frequency command of each family at 7.00350 and 14.02500 MHz.
struct FrequencyCase {
  Maker maker;
  std::string at7, at14;
  int waitMs;
  bool text;
};
const FrequencyCase kFrequency[] = {
    {Maker::Icom, hex("FE FE 6E 50 05 00 35 00 07 00 FD"), hex("FE FE 6E 50 05 00 50 02 14 00 FD"),
     10, false},
    {Maker::Yaesu1, hex("00 70 03 50 01"), hex("01 40 25 00 01"), 30, false},
    {Maker::Yaesu2, hex("50 03 70 00 0A"), hex("00 25 40 01 0A"), 30, false},
    {Maker::Yaesu3, "FA00007003500;", "FA00014025000;", 30, true},
    {Maker::Kenwood1, "FA00007003500;", "FA00014025000;", 30, true},
};

const ModeCase kModes[] = {
    {Maker::Icom, "LSB", "FE FE 6E 50 06 00 FD", "FE FE 6E 50 06 00 FD"},
    {Maker::Icom, "USB", "FE FE 6E 50 06 01 FD", "FE FE 6E 50 06 01 FD"},
    {Maker::Icom, "AM", "FE FE 6E 50 06 02 FD", "FE FE 6E 50 06 02 FD"},
    {Maker::Icom, "CW", "FE FE 6E 50 06 03 FD", "FE FE 6E 50 06 03 FD"},
    {Maker::Icom, "RTTY", "FE FE 6E 50 06 04 FD", "FE FE 6E 50 06 04 FD"},
    {Maker::Icom, "FM", "FE FE 6E 50 06 05 FD", "FE FE 6E 50 06 05 FD"},
    {Maker::Icom, "WFM", "FE FE 6E 50 06 06 FD", "FE FE 6E 50 06 06 FD"},
    {Maker::Icom, "PSK", "FE FE 6E 50 06 12 FD", "FE FE 6E 50 06 12 FD"},
    {Maker::Icom, "PSKR", "FE FE 6E 50 06 13 FD", "FE FE 6E 50 06 13 FD"},
    {Maker::Icom, "SSB", "FE FE 6E 50 06 00 FD", "FE FE 6E 50 06 01 FD"},
    {Maker::Icom, "LSB0", "FE FE 6E 50 06 00 00 FD", "FE FE 6E 50 06 00 00 FD"},
    {Maker::Icom, "LSB1", "FE FE 6E 50 06 00 01 FD", "FE FE 6E 50 06 00 01 FD"},
    {Maker::Icom, "LSB2", "FE FE 6E 50 06 00 02 FD", "FE FE 6E 50 06 00 02 FD"},
    {Maker::Icom, "USB0", "FE FE 6E 50 06 01 00 FD", "FE FE 6E 50 06 01 00 FD"},
    {Maker::Icom, "USB1", "FE FE 6E 50 06 01 01 FD", "FE FE 6E 50 06 01 01 FD"},
    {Maker::Icom, "USB2", "FE FE 6E 50 06 01 02 FD", "FE FE 6E 50 06 01 02 FD"},
    {Maker::Icom, "AM0", "FE FE 6E 50 06 02 00 FD", "FE FE 6E 50 06 02 00 FD"},
    {Maker::Icom, "AM1", "FE FE 6E 50 06 02 01 FD", "FE FE 6E 50 06 02 01 FD"},
    {Maker::Icom, "AM2", "FE FE 6E 50 06 02 02 FD", "FE FE 6E 50 06 02 02 FD"},
    {Maker::Icom, "CW0", "FE FE 6E 50 06 03 00 FD", "FE FE 6E 50 06 03 00 FD"},
    {Maker::Icom, "CW1", "FE FE 6E 50 06 03 01 FD", "FE FE 6E 50 06 03 01 FD"},
    {Maker::Icom, "CW2", "FE FE 6E 50 06 03 02 FD", "FE FE 6E 50 06 03 02 FD"},
    {Maker::Icom, "RTY0", "FE FE 6E 50 06 04 00 FD", "FE FE 6E 50 06 04 00 FD"},
    {Maker::Icom, "RTY1", "FE FE 6E 50 06 04 01 FD", "FE FE 6E 50 06 04 01 FD"},
    {Maker::Icom, "RTY2", "FE FE 6E 50 06 04 02 FD", "FE FE 6E 50 06 04 02 FD"},
    {Maker::Icom, "FM0", "FE FE 6E 50 06 05 00 FD", "FE FE 6E 50 06 05 00 FD"},
    {Maker::Icom, "FM1", "FE FE 6E 50 06 05 01 FD", "FE FE 6E 50 06 05 01 FD"},
    {Maker::Icom, "FM2", "FE FE 6E 50 06 05 02 FD", "FE FE 6E 50 06 05 02 FD"},
    {Maker::Icom, "SSB0", "FE FE 6E 50 06 00 00 FD", "FE FE 6E 50 06 01 00 FD"},
    {Maker::Icom, "SSB1", "FE FE 6E 50 06 00 01 FD", "FE FE 6E 50 06 01 01 FD"},
    {Maker::Icom, "SSB2", "FE FE 6E 50 06 00 02 FD", "FE FE 6E 50 06 01 02 FD"},
    {Maker::Icom, "usb", "", ""},
    {Maker::Icom, "", "", ""},

    {Maker::Yaesu1, "LSB", "00 00 00 00 07", "00 00 00 00 07"},
    {Maker::Yaesu1, "USB", "01 00 00 00 07", "01 00 00 00 07"},
    {Maker::Yaesu1, "CW", "02 00 00 02 07", "02 00 00 02 07"},
    {Maker::Yaesu1, "CWR", "03 00 00 00 07", "03 00 00 00 07"},
    {Maker::Yaesu1, "AM", "04 00 00 04 07", "04 00 00 04 07"},
    {Maker::Yaesu1, "FM", "08 00 00 07 07", "08 00 00 07 07"},
    {Maker::Yaesu1, "DIG", "0A 00 00 00 07", "0A 00 00 00 07"},
    {Maker::Yaesu1, "PKT", "0C 00 00 00 07", "0C 00 00 00 07"},
    {Maker::Yaesu1, "SSB", "00 00 00 00 07", "01 00 00 00 07"},
    {Maker::Yaesu1, "PSK", "", ""},
    {Maker::Yaesu1, "", "", ""},

    {Maker::Yaesu2, "LSB", "00 00 00 00 0C", "00 00 00 00 0C"},
    {Maker::Yaesu2, "USB", "00 00 00 01 0C", "00 00 00 01 0C"},
    {Maker::Yaesu2, "CWW", "00 00 00 02 0C", "00 00 00 02 0C"},
    {Maker::Yaesu2, "CWN", "00 00 00 03 0C", "00 00 00 03 0C"},
    {Maker::Yaesu2, "AMW", "00 00 00 04 0C", "00 00 00 04 0C"},
    {Maker::Yaesu2, "AMN", "00 00 00 05 0C", "00 00 00 05 0C"},
    {Maker::Yaesu2, "FMW", "00 00 00 06 0C", "00 00 00 06 0C"},
    {Maker::Yaesu2, "FMN", "00 00 00 07 0C", "00 00 00 07 0C"},
    {Maker::Yaesu2, "SSB", "00 00 00 00 0C", "00 00 00 01 0C"},
    {Maker::Yaesu2, "CW", "00 00 00 02 0C", "00 00 00 02 0C"},
    {Maker::Yaesu2, "AM", "00 00 00 04 0C", "00 00 00 04 0C"},
    {Maker::Yaesu2, "FM", "00 00 00 07 0C", "00 00 00 07 0C"},
    {Maker::Yaesu2, "RTTY-L", "00 00 00 08 0C", "00 00 00 08 0C"},
    {Maker::Yaesu2, "RTTY-U", "00 00 00 09 0C", "00 00 00 09 0C"},
    {Maker::Yaesu2, "PKT-L", "00 00 00 0A 0C", "00 00 00 0A 0C"},
    {Maker::Yaesu2, "PKT-F", "00 00 00 0B 0C", "00 00 00 0B 0C"},
    {Maker::Yaesu2, "RTTY", "", ""},

    {Maker::Yaesu3, "LSB", "MD1;", "MD1;"},
    {Maker::Yaesu3, "USB", "MD2;", "MD2;"},
    {Maker::Yaesu3, "CW", "MD3;", "MD3;"},
    {Maker::Yaesu3, "FM", "MD4;", "MD4;"},
    {Maker::Yaesu3, "AM", "MD5;", "MD5;"},
    {Maker::Yaesu3, "FSK", "MD6;", "MD6;"},
    {Maker::Yaesu3, "RTTY", "MD6;", "MD6;"},
    {Maker::Yaesu3, "CWR", "MD7;", "MD7;"},
    {Maker::Yaesu3, "FSKR", "MD9;", "MD9;"},
    {Maker::Yaesu3, "SSB", "MD1;", "MD2;"},
    {Maker::Yaesu3, "PSK", "", ""},

    {Maker::Kenwood1, "LSB", "MD1;", "MD1;"},
    {Maker::Kenwood1, "USB", "MD2;", "MD2;"},
    {Maker::Kenwood1, "CW", "MD3;", "MD3;"},
    {Maker::Kenwood1, "FM", "MD4;", "MD4;"},
    {Maker::Kenwood1, "AM", "MD5;", "MD5;"},
    {Maker::Kenwood1, "FSK", "MD6;", "MD6;"},
    {Maker::Kenwood1, "RTTY", "MD6;", "MD6;"},
    {Maker::Kenwood1, "CWR", "MD7;", "MD7;"},
    {Maker::Kenwood1, "FSKR", "MD9;", "MD9;"},
    {Maker::Kenwood1, "SSB", "MD1;", "MD2;"},
    {Maker::Kenwood1, "", "", ""},
};

TEST(TuneSteps, EveryModeRowOfEveryFamilyBelowAndAbove8MHz) {
  for (const ModeCase& c : kModes) {
    const FrequencyCase& fc = kFrequency[static_cast<int>(c.maker)];
    for (const bool high : {false, true}) {
      SCOPED_TRACE(std::string("maker ") + std::to_string(static_cast<int>(c.maker)) + " mode '" +
                   c.mode + (high ? "' at 14.02500" : "' at 7.00350"));
      const std::string_view modeCommand = high ? c.at14 : c.at7;
      std::vector<RigStep> expected;
      if (!modeCommand.empty())
        expected.push_back(
            {Route::Port, fc.text ? std::string(modeCommand) : hex(modeCommand), fc.waitMs});
      expected.push_back({Route::Port, high ? fc.at14 : fc.at7, fc.waitMs});
      EXPECT_EQ(buildTuneSteps(high ? "14.02500" : "7.00350", c.mode, rigOf(c.maker)), expected);
    }
  }
}

TEST(TuneSteps, IcomThroughTheCompanionAsHexText) {
  settings::RigDirectSettings rig = rigOf(Maker::Icom);
  rig.RigTarvopc = true;
  const std::vector<RigStep> expected{
      {Route::Companion, "ICOM_MODE_FEFE6E500603FD\r", 10},
      {Route::Companion, "ICOM_FREQ_FEFE6E50050035000700FD\r", 10},
  };
  EXPECT_EQ(buildTuneSteps("7.00350", "CW", rig), expected);

  // The other families have no companion route: nothing at all.
  for (const Maker m : {Maker::Yaesu1, Maker::Yaesu2, Maker::Yaesu3, Maker::Kenwood1}) {
    settings::RigDirectSettings other = rigOf(m);
    other.RigTarvopc = true;
    EXPECT_TRUE(buildTuneSteps("7.00350", "CW", other).empty());
  }
}

TEST(TuneSteps, IcomAddressesUseTheLowByte) {
  settings::RigDirectSettings rig = rigOf(Maker::Icom);
  rig.RigID = 0x1A4;
  rig.PcID = 0xE0;
  const std::vector<RigStep> expected{{Route::Port, hex("FE FE A4 E0 05 00 35 00 07 00 FD"), 10}};
  EXPECT_EQ(buildTuneSteps("7.00350", "", rig), expected);
}

TEST(TuneSteps, FrequencyEdges) {
  struct Case {
    Maker maker;
    const char* freq;
    std::string bytes;  // the frequency command, "" none
  };
  const Case cases[] = {
      {Maker::Icom, "1295.00000", hex("FE FE 6E 50 05 00 00 00 95 12 FD")},
      // Eleven digits: the first one alone forms the last byte.
      {Maker::Icom, "10368.10000", hex("FE FE 6E 50 05 00 00 10 68 03 01 FD")},
      {Maker::Icom, "abc", hex("FE FE 6E 50 05 00 00 00 00 00 FD")},
      {Maker::Icom, " 0.13750 ", hex("FE FE 6E 50 05 00 75 13 00 00 FD")},
      {Maker::Icom, "-7.00350", ""},
      {Maker::Yaesu1, "430.12345", hex("43 01 23 45 01")},
      {Maker::Yaesu2, "430.12345", hex("45 23 01 43 0A")},
      // Nine digits would make a six-byte command that puts the rig out of step.
      {Maker::Yaesu1, "1295.00000", ""},
      {Maker::Yaesu2, "1295.00000", ""},
      {Maker::Kenwood1, "1295.00000", "FA01295000000;"},
      {Maker::Yaesu3, "7.0035x", "FA00000000000;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.freq);
    std::vector<RigStep> expected;
    if (!c.bytes.empty())
      expected.push_back({Route::Port, c.bytes, c.maker == Maker::Icom ? 10 : 30});
    EXPECT_EQ(buildTuneSteps(c.freq, "", rigOf(c.maker)), expected);
  }
}

// Qt adopts the desktop's locale at start; on a decimal-comma desktop the rig must still be
// tuned to the spot's kilohertz, not to whole megahertz.
TEST(TuneSteps, SameBytesUnderADecimalCommaLocale) {
  const testing::DecimalCommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no decimal-comma locale is generated on this machine";
  for (const FrequencyCase& fc : kFrequency) {
    std::vector<RigStep> expected{{Route::Port, fc.at7, fc.waitMs}};
    EXPECT_EQ(buildTuneSteps("7.00350", "", rigOf(fc.maker)), expected);
  }
  settings::RigDirectSettings rig = rigOf(Maker::Icom);
  rig.RigTarvopc = true;
  const std::vector<RigStep> companion{
      {Route::Companion, "ICOM_FREQ_FEFE6E50050035000700FD\r", 10}};
  EXPECT_EQ(buildTuneSteps("7.00350", "", rig), companion);
  EXPECT_EQ(rigctldTuneCommands("7.00350", "CW"),
            (std::vector<std::string>{"M CW 0\n", "F 7003500\n"}));
}

TEST(TuneSteps, UnknownMakerSendsNothing) {
  for (const std::int32_t maker : {-1, 5, 6}) {
    settings::RigDirectSettings rig;
    rig.Maker = maker;
    EXPECT_TRUE(buildTuneSteps("7.00350", "CW", rig).empty());
  }
}

TEST(HexPairs, ReadAsTheRigLinkReadsThem) {
  EXPECT_EQ(bytesFromHexPairs("0a0C"), hex("0A 0C"));
  EXPECT_EQ(bytesFromHexPairs("zz1g"), hex("00 01"));
  EXPECT_EQ(bytesFromHexPairs("123"), hex("12 03"));
  EXPECT_EQ(bytesFromHexPairs(""), "");
  EXPECT_EQ(upperHex(hex("FE 0a 00")), "FE0A00");
}

}  // namespace
}  // namespace zeltaro::rig
