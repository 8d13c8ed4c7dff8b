// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hand-over of one log-format line into HAMLOG's input window: the patrol lists walk their
// rows into it, one at a time.

#include <string_view>

namespace zeltaro::patrol {

class LineTransfer {
 public:
  virtual ~LineTransfer() = default;
  // line: CP932, four flag characters and the aligned notification text.
  virtual void transferLine(std::string_view line) = 0;
  // A transfer is under way (the window runs meanwhile).
  virtual bool transferring() const { return false; }
};

}  // namespace zeltaro::patrol
