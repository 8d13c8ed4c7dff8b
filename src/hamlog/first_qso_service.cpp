// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/first_qso_service.h"

#include "hamlog/first_qso_check.h"
#include "hamlog/hdb_database.h"

namespace zeltaro::hamlog {

FirstQsoService::FirstQsoService(const std::array<settings::FirstQsoConditionSet, 3>& sets,
                                 const settings::SharedFirstSettings& shared,
                                 platform::MessageBox* box, HamlogDatabase* db)
    : sets_(sets),
      shared_(shared),
      box_(box),
      own_(db ? nullptr : std::make_unique<HdbDatabase>()),
      db_(db ? db : own_.get()) {}

FirstQsoService::~FirstQsoService() = default;

bool FirstQsoService::isFirstQso(int list, std::string_view call, std::string_view freq,
                                 std::string_view code, std::string_view mode) {
  bool first = FirstQsoCheck(*db_, sets_, shared_, box_, list, SpotFields{call, freq, code, mode});
  return first && !db_->failed();
}

void FirstQsoService::beginPage() { db_->beginPage(); }

void FirstQsoService::endPage() { db_->endPage(); }

void FirstQsoService::reloadMichi() {
  michi_.loadAll({sets_[0].HAMLOG, sets_[1].HAMLOG, sets_[2].HAMLOG});
}

void FirstQsoService::releaseMichi() { michi_.releaseAll(); }

}  // namespace zeltaro::hamlog
