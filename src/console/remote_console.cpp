// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/remote_console.h"

namespace zeltaro::console {

RemoteConsole::RemoteConsole(ConsoleModel& model, platform::MessageBox& messages)
    : model_(model), server_(messages), commands_(model) {
  ConsoleSession& session = server_.session();
  session.setExecutor(&executor_);
  session.setStatusListener([this](const std::string& event) { model_.showConsoleStatus(event); });
  model_.attachConsole(this);
}

void RemoteConsole::clearPendingInput() { server_.session().ClearPendingInput(); }

// The password is known once the command line has been parsed, which the start-up sequence
// does after clearing the input; the session needs it only from listening on.
void RemoteConsole::listen() {
  server_.session().setPassword(model_.consolePassword());
  server_.listen(model_.consolePort());
}

std::string RemoteConsole::Executor::execute(std::string_view line, SessionControl& session) {
  std::string reply = owner_.commands_.ExecuteCommand(line, session);
  if (owner_.afterCommand_) owner_.afterCommand_();
  return reply;
}

RemoteConsole::~RemoteConsole() { model_.attachConsole(nullptr); }

}  // namespace zeltaro::console
