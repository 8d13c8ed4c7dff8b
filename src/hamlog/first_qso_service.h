// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window asks of HAMLOG's side while it processes a page and at start-up and
// exit: the first-QSO question per list, and the Michi-no-eki tables of the lists' folders.

#include <array>
#include <memory>
#include <string_view>

#include "hamlog/michi_table.h"
#include "settings/station_settings.h"

namespace zeltaro::platform {
class MessageBox;
}

namespace zeltaro::hamlog {

class HamlogDatabase;

class FirstQsoService {
 public:
  // sets and shared are read at every check, so edits in the settings dialog apply at once.
  // box shows the message about a too old library (null: none). db is the database to use;
  // null reads HAMLOG's QSO files directly (HdbDatabase).
  FirstQsoService(const std::array<settings::FirstQsoConditionSet, 3>& sets,
                  const settings::SharedFirstSettings& shared, platform::MessageBox* box,
                  HamlogDatabase* db = nullptr);
  ~FirstQsoService();
  FirstQsoService(const FirstQsoService&) = delete;
  FirstQsoService& operator=(const FirstQsoService&) = delete;

  // The spot's edt_Call, edt_Freq, edt_Code and edt_Mode, CP932.
  bool isFirstQso(int list, std::string_view call, std::string_view freq, std::string_view code,
                  std::string_view mode);

  // A page's checks begin and end (HamlogDatabase::beginPage).
  void beginPage();
  void endPage();

  // After the settings are read (start-up, the console's reload): each list's table is read
  // again only when its folder now offers another file.
  void reloadMichi();
  // At exit.
  void releaseMichi();
  const MichiTables& michi() const { return michi_; }

 private:
  const std::array<settings::FirstQsoConditionSet, 3>& sets_;
  const settings::SharedFirstSettings& shared_;
  platform::MessageBox* box_;
  std::unique_ptr<HamlogDatabase> own_;
  HamlogDatabase* db_;
  MichiTables michi_;
};

}  // namespace zeltaro::hamlog
