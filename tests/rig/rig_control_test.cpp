// SPDX-License-Identifier: GPL-3.0-or-later
// When the rig port opens and closes, and where the companion's window focus goes. The device
// and the window are recording fakes: what matters here is the decision, not the I/O.

#include "rig/rig_control.h"

#include <gtest/gtest.h>

#include "rig/companion_window.h"
#include "rig/serial_device.h"
#include "support/serial_recorder.h"

namespace zeltaro::rig {
namespace {

using zeltaro::testing::RecordingSerialDevice;

struct Fixture {
  settings::RigDirectSettings rig;
  settings::TarvopcSettings companion;
  RecordingSerialDevice device;
  RigControl control{rig, companion, services()};
  RigServices services() {
    RigServices s;
    s.serial = &device;
    s.wait = [](int) {};
    return s;
  }
};

TEST(RigControl, OpensAtStartOnlyForDirectSerialControl) {
  struct Case {
    bool use, tarvopc;
    int maker;
    const char* log;
  };
  const Case cases[] = {
      {true, false, 0, "open /dev/ttyS0 9600/1\n"},
      {true, false, 4, "open /dev/ttyS0 9600/2\n"},
      {false, false, 0, ""},
      {true, true, 0, ""},
      {true, false, 5, ""},  // rigctld owns the port
  };
  for (const Case& c : cases) {
    Fixture f;
    f.rig.Use = c.use;
    f.rig.RigTarvopc = c.tarvopc;
    f.rig.Maker = c.maker;
    f.control.openAtStart();
    EXPECT_EQ(f.device.log, c.log);
  }
}

TEST(RigControl, SettingsDialogReopensOnlyWhenThePortChanges) {
  struct Case {
    const char* name;
    void (*change)(settings::RigDirectSettings&);
    const char* log;  // after the open at start
  };
  const Case cases[] = {
      {"RigID only", [](settings::RigDirectSettings& r) { r.RigID = 0x94; }, ""},
      {"speed", [](settings::RigDirectSettings& r) { r.Bps = 3; },
       "close\nopen /dev/ttyUSB0 38400/1\n"},
      {"device", [](settings::RigDirectSettings& r) { r.Device = "/dev/ttyUSB1"; },
       "close\nopen /dev/ttyUSB1 9600/1\n"},
      {"maker", [](settings::RigDirectSettings& r) { r.Maker = 2; },
       "close\nopen /dev/ttyUSB0 9600/2\n"},
      {"companion route on", [](settings::RigDirectSettings& r) { r.RigTarvopc = true; },
       "close\n"},
      {"off", [](settings::RigDirectSettings& r) { r.Use = false; }, "close\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    f.rig.Use = true;
    f.rig.Device = "/dev/ttyUSB0";
    f.control.openAtStart();
    f.device.log.clear();
    const settings::RigDirectSettings before = f.rig;
    c.change(f.rig);
    f.control.settingsDialogClosed(before);
    EXPECT_EQ(f.device.log, c.log);
  }
  // Direct control switched on in the dialog.
  Fixture f;
  const settings::RigDirectSettings before = f.rig;
  f.rig.Use = true;
  f.control.settingsDialogClosed(before);
  EXPECT_EQ(f.device.log, "open /dev/ttyS0 9600/1\n");
  f.control.close();
  EXPECT_EQ(f.device.log, "open /dev/ttyS0 9600/1\nclose\n");
}

class RecordingWindow final : public CompanionWindow {
 public:
  explicit RecordingWindow(bool present) : present_(present) {}
  bool find() override { return present_; }
  void activate(bool movePointer) override {
    log += movePointer ? "companion+pointer" : "companion";
  }
  void activateLastActive() override { log += "last active"; }
  std::string log;

 private:
  bool present_;
};

TEST(RigControl, CompanionWindowFocus) {
  struct Case {
    bool present, focusSel, mouseSel, patrolVisible;
    const char* log;
  };
  const Case cases[] = {
      {true, true, true, false, "companion+pointer"},
      {true, true, false, false, "companion"},
      {true, false, true, false, "last active"},
      {true, true, true, true, ""},
      {false, true, true, false, ""},
  };
  for (const Case& c : cases) {
    RecordingWindow window(c.present);
    settings::RigDirectSettings rig;
    settings::TarvopcSettings companion;
    RecordingSerialDevice device;
    RigServices s;
    s.serial = &device;
    s.companionWindow = &window;
    RigControl control(rig, companion, s);
    control.focusCompanionWindow(c.focusSel, c.mouseSel, c.patrolVisible);
    EXPECT_EQ(window.log, c.log);
  }
}

TEST(CompanionTitle, PrefixAndOneOfTheScreens) {
  EXPECT_TRUE(isCompanionTitle("Tarvopc Ver1.2 - OPERATE"));
  EXPECT_TRUE(isCompanionTitle("Tarvopc - VOICE CQ"));
  EXPECT_FALSE(isCompanionTitle("Tarvopc Ver1.2"));
  EXPECT_FALSE(isCompanionTitle("TarvopcX - OPERATE"));
  EXPECT_FALSE(isCompanionTitle("Notes: Tarvopc - OPERATE"));
}

}  // namespace
}  // namespace zeltaro::rig
