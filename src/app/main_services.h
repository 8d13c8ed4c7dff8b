// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The services the main window's model and its parts use; the program passes the real ones,
// tests their fakes.

#include "app/main_links.h"

namespace zeltaro::platform {
class Browser;
class Clipboard;
class Clock;
class HttpClient;
class LineConnection;
class MessageBox;
class MessagePump;
}  // namespace zeltaro::platform
namespace zeltaro::alerts {
class SoundAlert;
}

namespace zeltaro::app {

struct MainServices {
  platform::MessagePump* pump = nullptr;
  platform::HttpClient* http = nullptr;
  platform::Browser* browser = nullptr;
  const platform::Clock* clock = nullptr;
  alerts::SoundAlert* sound = nullptr;
  platform::LineConnection* smtp = nullptr;  // the mail server connection
  platform::MessageBox* messageBox = nullptr;
  platform::Clipboard* clipboard = nullptr;
  // The other parts of the program; the console comes later (it needs the model).
  ConsoleLink* console = nullptr;
  PatrolListsLink* patrolLists = nullptr;
  RigLink* rig = nullptr;
  FirstQsoChecker* firstQso = nullptr;
  TransferLink* transfer = nullptr;
};

}  // namespace zeltaro::app
