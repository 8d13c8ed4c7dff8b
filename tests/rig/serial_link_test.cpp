// SPDX-License-Identifier: GPL-3.0-or-later
// The rig link against a simulated radio on a pty: the bytes a tune sends, in order, and the
// line settings the radio sees; a device held by another program; a radio that goes away.

#include <gtest/gtest.h>

#include <fstream>

#include "platform/message_box.h"
#include "rig/radio_sim.h"
#include "rig/rig_control.h"
#include "rig/termios_serial_device.h"
#include "support/temp_dir.h"
#include "support/recorders.h"

namespace zeltaro::rig {
namespace {

using platform::RecordingMessageBox;

struct Rig {
  explicit Rig(const std::string& device) {
    settings.Device = device;
    settings.Use = true;
  }
  settings::RigDirectSettings settings;
  settings::TarvopcSettings companion;
  TermiosSerialDevice serial;
  RecordingMessageBox box;
  RigControl control{settings, companion, services()};

  RigServices services() {
    RigServices s;
    s.serial = &serial;
    s.messageBox = &box;
    return s;
  }
};

TEST(SerialLink, EachFamilyOnThePortItsRadioExpects) {
  struct Case {
    int maker, bps;
    const char* family;
    const char* freq;
    const char* mode;
    std::string expected;
  };
  const Case cases[] = {
      {0, 1, "icom", "7.00350", "SSB",
       "FEFE6E500600FD 9600 8N1 none\n"
       "FEFE6E50050035000700FD 9600 8N1 none\n"},
      {1, 3, "yaesu", "7.00350", "CW",
       "0200000207 38400 8N2 none\n"
       "0070035001 38400 8N2 none\n"},
      // A 0A byte must reach the radio untouched (no newline translation on the port).
      {2, 0, "yaesu", "7.00350", "LSB",
       "000000000C 4800 8N2 none\n"
       "500370000A 4800 8N2 none\n"},
      {3, 2, "text", "14.02500", "SSB",
       "4D44323B 19200 8N2 none\n"
       "464130303031343032353030303B 19200 8N2 none\n"},
      // Bps out of range runs at 9600.
      {4, 7, "text", "7.00350", "PSK", "464130303030373030333530303B 9600 8N2 none\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.family) + " maker " + std::to_string(c.maker));
    zeltaro::testing::TempDir dir;
    RadioSim radio(dir.file("rig"), c.family);
    ASSERT_TRUE(radio.ready());
    Rig rig(dir.file("rig"));
    rig.settings.Maker = c.maker;
    rig.settings.Bps = c.bps;
    rig.control.openAtStart();
    ASSERT_TRUE(rig.control.link().isOpen());
    rig.control.tune(c.freq, c.mode);
    const int n = static_cast<int>(std::count(c.expected.begin(), c.expected.end(), '\n'));
    EXPECT_EQ(radio.lines(n), c.expected);
    EXPECT_TRUE(rig.box.shown.empty());
  }
}

TEST(SerialLink, DeviceHeldByAnotherProgramIsRefusedWithOneBox) {
  zeltaro::testing::TempDir dir;
  RadioSim radio(dir.file("ttyRIG"), "icom", /*hold=*/true);
  ASSERT_TRUE(radio.ready());
  Rig rig(dir.file("ttyRIG"));
  EXPECT_EQ(rig.control.link().OpenRigPort(rig.settings), 1);
  EXPECT_FALSE(rig.control.link().isOpen());
  ASSERT_EQ(rig.box.shown.size(), 1u);
  EXPECT_EQ(rig.box.shown[0].kind, RecordingMessageBox::Kind::Error);
  EXPECT_EQ(rig.box.shown[0].caption, "Zeltaro");
  EXPECT_EQ(rig.box.shown[0].text, dir.file("ttyRIG") + " open error        ");
  // Writes on the closed port do nothing.
  EXPECT_EQ(rig.control.link().WriteRigBytes("\x01"), 1);
}

TEST(SerialLink, OnceOpenAnotherOpenerIsRefused) {
  zeltaro::testing::TempDir dir;
  RadioSim radio(dir.file("rig"), "icom");
  ASSERT_TRUE(radio.ready());
  Rig rig(dir.file("rig"));
  ASSERT_EQ(rig.control.link().OpenRigPort(rig.settings), 0);
  TermiosSerialDevice other;
  EXPECT_EQ(other.open(dir.file("rig"), {}), OpenResult::OpenFailed);
  rig.control.close();
  EXPECT_EQ(other.open(dir.file("rig"), {}), OpenResult::Ok);
}

TEST(SerialLink, SetupFailuresNameTheDeviceAndTheStep) {
  zeltaro::testing::TempDir dir;
  std::ofstream(dir.file("plain")) << "not a terminal";
  struct Case {
    std::string device, text;
    int com = 0;
  } cases[] = {
      {dir.file("missing"), dir.file("missing") + " open error        "},
      {dir.file("plain"), dir.file("plain") + " set 1 error        "},
      // A negative port number in the settings file names no port: not the first one.
      {"", "/dev/ttyS-1 open error        ", -1},
  };
  for (const Case& c : cases) {
    Rig rig(c.device);
    rig.settings.Com = c.com;
    EXPECT_EQ(rig.control.link().OpenRigPort(rig.settings), 1);
    ASSERT_EQ(rig.box.shown.size(), 1u);
    EXPECT_EQ(rig.box.shown[0].text, c.text);
  }
}

TEST(SerialLink, RadioThatGoesAwayIsReopenedAtTheNextTune) {
  zeltaro::testing::TempDir dir;
  const std::string link = dir.file("rig");
  Rig rig(link);
  {
    RadioSim radio(link, "icom");
    ASSERT_TRUE(radio.ready());
    rig.control.openAtStart();
    rig.control.tune("7.00350", "CW");
    EXPECT_EQ(radio.lines(2),
              "FEFE6E500603FD 9600 8N1 none\n"
              "FEFE6E50050035000700FD 9600 8N1 none\n");
    radio.unplug();
    // Must come back (the write fails at once) and close the port, without a box.
    rig.control.tune("14.02500", "USB");
    EXPECT_FALSE(rig.control.link().isOpen());
    EXPECT_TRUE(rig.control.link().lost());
    rig.control.tune("14.02500", "USB");  // still gone: nothing, no box
  }
  RadioSim back(link, "icom");
  ASSERT_TRUE(back.ready());
  rig.control.tune("14.02500", "USB");
  EXPECT_EQ(back.lines(2),
            "FEFE6E500601FD 9600 8N1 none\n"
            "FEFE6E50050050021400FD 9600 8N1 none\n");
  EXPECT_TRUE(rig.box.shown.empty());
}

}  // namespace
}  // namespace zeltaro::rig
