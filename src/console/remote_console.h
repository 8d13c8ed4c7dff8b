#pragma once
// The remote console as the program runs it: the listening server with the command set on the
// main window model, attached to the model's start-up steps (step 1 clears the pending input,
// step 7 listens on the console port with the command line's password) and writing each
// server event into the model's edtStatus.

#include <functional>
#include <string>
#include <string_view>

#include "app/main_links.h"
#include "console/command_set.h"
#include "console/console_server.h"

namespace zeltaro::app {
class MainModel;
}
namespace zeltaro::platform {
class MessageBox;
}

namespace zeltaro::console {

class RemoteConsole final : public app::ConsoleLink {
 public:
  // Must exist before the model's start-up sequence runs; it outlives neither the model nor
  // messages.
  RemoteConsole(app::MainModel& model, platform::MessageBox& messages);
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

  app::MainModel& model_;
  ConsoleServer server_;
  CommandSet commands_;
  Executor executor_{*this};
  std::function<void()> afterCommand_;
};

}  // namespace zeltaro::console
