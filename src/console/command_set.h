// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The remote console's command set: one command line in, one reply out. Every command acts on
// the program through ConsoleModel exactly as the matching click or edit in the main window
// would, change handling included, so a console user and a window user always see the same
// program.

#include <string>
#include <string_view>

#include "console/console_model.h"
#include "console/console_session.h"

namespace zeltaro::console {

class CommandSet final : public CommandExecutor {
 public:
  explicit CommandSet(ConsoleModel& model) : model_(model) {}

  // Runs one line (CP932, CR and LF removed) and returns the reply text, without the CR LF the
  // session adds; an empty reply sends nothing.
  std::string ExecuteCommand(std::string_view line, SessionControl& session);
  std::string execute(std::string_view line, SessionControl& session) override {
    return ExecuteCommand(line, session);
  }

 private:
  std::string addEntry(int list, std::string_view entry);
  std::string switchEntries(int lists, std::string_view pattern, bool enable);
  std::string killEntries(int lists, std::string_view pattern);
  std::string displayLists(int lists, std::string_view pattern);
  std::string displayLog(std::string_view line);
  std::string save(SessionControl& session);
  std::string reload();
  std::string status() const;
  // Switch, test and status commands of the fixed table; empty when the line is none of them.
  std::string fixedCommand(const std::string& upper, SessionControl& session, bool& matched);
  void setList(int list, const std::string& text);

  ConsoleModel& model_;
};

// One log line as "D LOG" shows it: "    Log %3d: %s", broken after 78 bytes (77 when a
// double-byte character would be cut) into at most three pieces, each continuation indented
// by 13 blanks, the pieces joined by CR LF. No CR LF at the end.
std::string formatLogLine(int number, std::string_view line);

}  // namespace zeltaro::console
