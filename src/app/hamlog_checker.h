// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operator's HAMLOG log behind the model's first-QSO link.

#include <array>

#include "app/main_links.h"
#include "hamlog/first_qso_service.h"

namespace zeltaro::app {

class HamlogChecker final : public FirstQsoChecker {
 public:
  // sets and shared are read at every check; box shows the message about an old library. db is
  // the database the checks read; null reads HAMLOG's QSO files directly.
  HamlogChecker(const std::array<settings::FirstQsoConditionSet, 3>& sets,
                const settings::SharedFirstSettings& shared, platform::MessageBox* box,
                hamlog::HamlogDatabase* db = nullptr)
      : service_(sets, shared, box, db) {}

  bool isFirstQso(int set, const SpotKeys& spot) override {
    return service_.isFirstQso(set, spot.call, spot.freq, spot.code, spot.mode);
  }
  void pageBegins() override { service_.beginPage(); }
  void pageEnds() override { service_.endPage(); }
  void reloadMichi() override { service_.reloadMichi(); }
  void releaseMichi() override { service_.releaseMichi(); }
  hamlog::FirstQsoService& service() { return service_; }

 private:
  hamlog::FirstQsoService service_;
};

}  // namespace zeltaro::app
