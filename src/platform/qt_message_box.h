// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPointer>
#include <vector>

#include "platform/message_box.h"

class QMessageBox;

namespace zeltaro::platform {

// A QMessageBox that does not block the event loop (a station that runs headless must never
// wait for a click nobody can give), with the text also written to standard error. A message
// that is already on screen is raised rather than shown again: a mail server that stays down
// for days must not pile up one box per patrol cycle.
class QtMessageBox final : public MessageBox {
 public:
  void show(Kind kind, std::string_view caption, std::string_view text) override;
  // The boxes still open, for tests.
  std::size_t openBoxes() const;

 private:
  std::vector<QPointer<QMessageBox>> open_;
};

}  // namespace zeltaro::platform
