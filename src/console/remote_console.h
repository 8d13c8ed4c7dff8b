// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The remote console as the program runs it: the listening server with the command set on the
// program's model, attached to its start-up steps (step 1 clears the pending input, step 7
// listens on the console port with the command line's password) and showing each server event
// in its status field.

#include <functional>
#include <string>
#include <string_view>

#include "console/command_set.h"
#include "console/console_model.h"
#include "console/console_server.h"

namespace zeltaro::platform {
class MessageBox;
}

namespace zeltaro::console {

class RemoteConsole final : public ConsoleStartup {
 public:
  // Must exist before the model's start-up sequence runs; it outlives neither the model nor
  // messages.
  RemoteConsole(ConsoleModel& model, platform::MessageBox& messages);
  ~RemoteConsole() override;
  RemoteConsole(const RemoteConsole&) = delete;
  RemoteConsole& operator=(const RemoteConsole&) = delete;

  ConsoleServer& server() { return server_; }
  // Runs after every command line, before its reply goes out: the window shows the controls
  // the command may have changed.
  void setAfterCommand(std::function<void()> f) { afterCommand_ = std::move(f); }
  // The console speaks UTF-8 ("/charset=utf-8") instead of Shift-JIS.
  void setUtf8(bool on) { server_.session().setUtf8(on); }

  // The model's start-up steps.
  void clearPendingInput() override;
  void listen() override;

 private:
  // The command set as the session calls it, with the after-command step.
  class Executor final : public CommandExecutor {
   public:
    explicit Executor(RemoteConsole& owner) : owner_(owner) {}
    std::string execute(std::string_view line, SessionControl& session) override;

   private:
    RemoteConsole& owner_;
  };

  ConsoleModel& model_;
  ConsoleServer server_;
  CommandSet commands_;
  Executor executor_{*this};
  std::function<void()> afterCommand_;
};

}  // namespace zeltaro::console
