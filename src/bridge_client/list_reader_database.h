// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The database a list's first-QSO check reads: HAMLOG's QSO files directly (the default); for a
// list whose [Adif] file is set, that ADIF log; or, for a list whose [Bridge] setting asks for
// it, HAMLOG's own hamlog50.dll through the Windows bridge. The choice is made at every load,
// so a changed setting applies at the next check.

#include <array>
#include <functional>
#include <memory>

#include "adif/adif_database.h"
#include "bridge_client/bridge_database.h"
#include "bridge_client/bridge_process.h"
#include "hamlog/hamlog_database.h"
#include "hamlog/hdb_database.h"
#include "settings/station_settings.h"

namespace zeltaro::bridgeclient {

class ListReaderDatabase final : public hamlog::HamlogDatabase {
 public:
  // sets and settings are read at every load. bridge gives the bridge to call the library in;
  // it is asked only when a list set to the library is checked.
  ListReaderDatabase(const std::array<settings::FirstQsoConditionSet, 3>& sets,
                     const settings::BridgeSettings& settings,
                     const settings::AdifSettings& adifSettings,
                     std::function<BridgeProcess&()> bridge)
      : sets_(sets),
        settings_(settings),
        adifSettings_(adifSettings),
        bridge_(std::move(bridge)),
        adif_([this](int list) {
          const auto i = static_cast<std::size_t>(list - 1);
          return adif::AdifSource{adifSettings_.File[i], adifSettings_.CodeField[i]};
        }) {}

  bool load(int list) override;
  void release() override { current_->release(); }
  std::uint32_t version() override { return current_->version(); }
  void setShare(int share) override { current_->setShare(share); }
  int open(std::string_view basePath) override { return current_->open(basePath); }
  void close() override { current_->close(); }
  int seek(std::string_view key, int index) override { return current_->seek(key, index); }
  int skip(int count, int index) override { return current_->skip(count, index); }
  int bandClass(std::string_view freqMHz) override { return current_->bandClass(freqMHz); }

  std::string_view call() const override { return current_->call(); }
  std::string_view code() const override { return current_->code(); }
  std::string_view freq() const override { return current_->freq(); }
  std::string_view mode() const override { return current_->mode(); }
  std::string_view remarks1() const override { return current_->remarks1(); }
  std::string_view remarks2() const override { return current_->remarks2(); }
  std::int32_t recordNumber() const override { return current_->recordNumber(); }
  bool failed() const override { return current_->failed(); }

  // Passed on to every reader; the library's only when a list used it during the page.
  void beginPage() override;
  void endPage() override;

 private:
  const std::array<settings::FirstQsoConditionSet, 3>& sets_;
  const settings::BridgeSettings& settings_;
  const settings::AdifSettings& adifSettings_;
  std::function<BridgeProcess&()> bridge_;
  hamlog::HdbDatabase native_;
  adif::AdifDatabase adif_;
  BridgeProcess* libraryBridge_ = nullptr;
  std::unique_ptr<BridgeDatabase> library_;
  hamlog::HamlogDatabase* current_ = &native_;
  bool inPage_ = false;
};

}  // namespace zeltaro::bridgeclient
