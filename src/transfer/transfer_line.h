// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One log line carried into HAMLOG: cut into columns, each field cleaned and sent into the
// HAMLOG of every list the line is flagged for and whose transfer is on, the entries finished,
// the focus moved and the spot forwarded to the companion program.

#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "hamlog/michi_table.h"
#include "platform/clock.h"
#include "transfer/columns.h"
#include "transfer/hamlog_input.h"

namespace zeltaro::transfer {

// The Michi-no-eki entry of a station code in list's table (list 1 ... 3).
using MichiLookup = std::function<hamlog::MichiEntry(std::string_view code, int list)>;

// A frequency column (kHz, "," allowed) as HAMLOG's frequency field takes it, in MHz with the
// number of decimals its size calls for: 7,003.5 gives "7.00350", 136 gives "0.136000".
std::string frequencyFieldText(std::string_view kHz);

struct TransferServices {
  HamlogInputServices input;
  const platform::Clock* clock = nullptr;  // required
  MichiLookup michi;                       // empty: no tables
};

class Transfer {
 public:
  Transfer(const settings::StationSettings& station, TransferServices services);

  // Carries line into HAMLOG. The bridge lets the window run meanwhile: a line asked for then
  // (a click, a patrol window's walk, a page check's new spots) is carried after the running
  // one, in the order asked, so that two entries never mix in HAMLOG's window.
  void TransferLine(std::string_view line);
  // A transfer is under way.
  bool running() const { return running_; }

  HamlogInput& input() { return input_; }

  std::string Remark1Lead, Remark2Lead;
  std::string LastRemarkText;

 private:
  void carry(std::string_view line);
  void enterIntoList(int list, const Columns& cols, std::array<std::string, 3>& recorded);
  std::string comment(const Columns& cols, std::size_t n) const;
  hamlog::MichiEntry lookUp(std::string_view code, int list) const;

  const settings::StationSettings& station_;
  TransferServices s_;
  HamlogInput input_;
  bool running_ = false;
  std::deque<std::string> waiting_;  // lines asked for during the running transfer
};

}  // namespace zeltaro::transfer
