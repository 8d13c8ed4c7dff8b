#pragma once
// The main window's model: its controls as named state, and its handlers. The Qt window binds
// to these fields and forwards its events here, so that a click, a timer tick and a console
// command all run the same code.

#include <cstdint>
#include <string>
#include <vector>

namespace zeltaro::app {

class MainModel {
 public:
  MainModel();

  // ---- Start-up ----
  // The start-up sequence of the main window (also run again by the console's reload).
  // args is the whole command line, program path first.
  void startUp(const std::vector<std::string>& args);
  // Closing the main window (also on SIGTERM/SIGINT): stores what has to survive the run.
  void close();

  // ---- Timer1 (every 1000 ms while Timer1Enabled) ----
  void Timer1Timer();

  // ---- Named state ----
  std::string caption;  // the main window's caption, CP932
  std::vector<std::string> Memo_Log;   // the notification log, newest first
  std::vector<std::string> Memo_Log2;  // all lines as arranged for display
  std::string WelcomeText;
  // The program window activated last: each window writes its own id here on activation.
  const void* LastActiveWindow = nullptr;
  std::uint16_t consolePort = 0;
  std::string consolePassword;
  bool Timer1Enabled = false;
};

}  // namespace zeltaro::app
