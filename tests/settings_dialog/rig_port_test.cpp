// SPDX-License-Identifier: GPL-3.0-or-later
// Closing the settings dialog and the rig port: a change that does not touch the port keeps it
// open; another port closes it and opens the new one. Two simulated radios on ptys.

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "rig/radio_sim.h"
#include "rig/rig_control.h"
#include "rig/termios_serial_device.h"
#include "settings_dialog/dialog_model.h"
#include "support/recorders.h"
#include "support/serial_recorder.h"
#include "support/temp_dir.h"

namespace zeltaro::settingsdialog {
namespace {

struct Station {
  settings::StationSettings station;
  settings::RoleSlots roles;
  rig::TermiosSerialDevice port;
  testing::RecordingSerialDevice device{&port};
  platform::RecordingMessageBox box;
  rig::RigControl control{station.rigDirect, station.tarvopc, services()};
  SettingsDialogModel dialog;

  rig::RigServices services() {
    rig::RigServices s;
    s.serial = &device;
    s.messageBox = &box;
    s.wait = [](int) {};
    return s;
  }
  // Opens the dialog, lets edit change its controls and closes it as the window does.
  template <class F>
  void editInDialog(F edit) {
    dialog.fillFromSettings({station, roles});
    edit(dialog);
    const CloseResult r = dialog.closeAndApply({station, roles});
    control.settingsDialogClosed(r.rigBefore);
  }
};

TEST(SettingsDialogRigPort, KeptOpenUnlessThePortSettingsChange) {
  testing::TempDir dir;
  rig::RadioSim radioA(dir.file("rigA"), "icom");
  rig::RadioSim radioB(dir.file("rigB"), "icom");
  ASSERT_TRUE(radioA.ready());
  ASSERT_TRUE(radioB.ready());
  Station s;
  s.station.rigDirect.Use = true;
  s.station.rigDirect.Device = dir.file("rigA");
  s.control.openAtStart();
  const std::string openA = "open " + dir.file("rigA") + " 9600/1\n";
  const std::string openB = "open " + dir.file("rigB") + " 9600/1\n";
  ASSERT_EQ(s.device.log, openA);

  // Only the rig's address: the port stays open, and the next tune uses the new address.
  s.editInDialog([](SettingsDialogModel& d) { d.text("Edit18") = "70"; });
  EXPECT_EQ(s.device.log, openA);
  EXPECT_EQ(s.station.rigDirect.RigID, 0x70);
  s.control.tune("7.00350", "CW");
  EXPECT_EQ(radioA.lines(2),
            "FEFE70500603FD 9600 8N1 none\n"
            "FEFE7050050035000700FD 9600 8N1 none\n");

  // Another port: closed, and the new one opened.
  s.editInDialog([&](SettingsDialogModel& d) { d.text("ComboBox3") = dir.file("rigB"); });
  EXPECT_EQ(s.device.log, openA + "close\n" + openB);
  s.control.tune("14.02500", "SSB");
  EXPECT_EQ(radioB.lines(2),
            "FEFE70500601FD 9600 8N1 none\n"
            "FEFE7050050050021400FD 9600 8N1 none\n");

  // The companion route: the port closes and stays closed.
  s.editInDialog([](SettingsDialogModel& d) { d.checked("CheckBox106") = true; });
  EXPECT_EQ(s.device.log, openA + "close\n" + openB + "close\n");
  EXPECT_TRUE(s.box.shown.empty());
}

}  // namespace
}  // namespace zeltaro::settingsdialog
