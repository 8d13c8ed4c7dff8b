#pragma once
#include "platform/message_box.h"

namespace zeltaro::platform {

// A QMessageBox that does not block the event loop (a station that runs headless must never
// wait for a click nobody can give), with the text also written to standard error.
class QtMessageBox final : public MessageBox {
 public:
  void show(Kind kind, std::string_view caption, std::string_view text) override;
};

}  // namespace zeltaro::platform
