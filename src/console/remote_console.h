#pragma once
// The remote console as the program runs it: the listening server with the command set on the
// main window model, hung on the model's start-up steps (step 1 clears the pending input,
// step 7 listens on the console port with the command line's password) and writing each
// server event into the model's edtStatus.

#include "console/command_set.h"
#include "console/console_server.h"

namespace zeltaro::app {
class MainModel;
}
namespace zeltaro::platform {
class MessageBox;
}

namespace zeltaro::console {

class RemoteConsole {
 public:
  // Must exist before the model's start-up sequence runs; it outlives neither the model nor
  // messages.
  RemoteConsole(app::MainModel& model, platform::MessageBox& messages);
  ~RemoteConsole();
  RemoteConsole(const RemoteConsole&) = delete;
  RemoteConsole& operator=(const RemoteConsole&) = delete;

  ConsoleServer& server() { return server_; }

 private:
  app::MainModel& model_;
  ConsoleServer server_;
  CommandSet commands_;
};

}  // namespace zeltaro::console
