// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// HAMLOG's own database library (hamlog50.dll of a list's HAMLOG folder), called through the
// Windows bridge. If the bridge fails during a check, the check is spoilt: failed() says so,
// the remaining operations answer as an unusable library would, and the answer is dropped.
//
// Within a page (beginPage ... endPage) the library stays loaded and the log open from the
// page's first check on, and the page's further checks only seek and skip: what load, version,
// setShare and open answered is kept. A check that goes wrong (the library missing or too old,
// the log not opened) lets the library go at once and its answers stand for the rest of the
// page, so the page's other checks ask nothing. The band class of a frequency is asked once per
// page. The library is let go at the page's end, when
// a list needs another folder's library, and at once when the bridge fails; a bridge started
// again meanwhile is loaded afresh.

#include <array>
#include <optional>
#include <string>
#include <unordered_map>

#include "bridge/protocol.h"
#include "bridge_client/bridge_process.h"
#include "hamlog/hamlog_database.h"
#include "settings/station_settings.h"

namespace zeltaro::bridgeclient {

class BridgeDatabase final : public hamlog::HamlogDatabase {
 public:
  // sets are read at every load, for the lists' HAMLOG folders.
  BridgeDatabase(BridgeProcess& bridge, const std::array<settings::FirstQsoConditionSet, 3>& sets)
      : bridge_(bridge), sets_(sets) {}

  bool load(int list) override;
  void release() override;
  std::uint32_t version() override;
  void setShare(int share) override;
  int open(std::string_view basePath) override;
  void close() override;
  int seek(std::string_view key, int index) override;
  int skip(int count, int index) override;
  int bandClass(std::string_view freqMHz) override;

  std::string_view call() const override { return record_.call; }
  std::string_view code() const override { return record_.code; }
  std::string_view freq() const override { return record_.freq; }
  std::string_view mode() const override { return record_.mode; }
  std::string_view remarks1() const override { return record_.remarks1; }
  std::string_view remarks2() const override { return record_.remarks2; }
  std::int32_t recordNumber() const override { return record_.number; }
  bool failed() const override { return failed_; }

  void beginPage() override { inPage_ = true; }
  void endPage() override;
  // Whether the bridge holds a library for this page.
  bool holding() const { return !kept_.library.empty() && !kept_.released; }

 private:
  std::optional<std::string> call(bridge::Writer& request);
  int cursorStep(bridge::Writer& request);
  // Closes the log and releases the library kept for the page, as far as the bridge still
  // holds them, and forgets them.
  void letGo();
  void sendRelease();

  // What the page's checks found and the bridge holds for them.
  struct Kept {
    std::string library;  // the library file loaded; empty: none
    int starts = 0;       // the bridge's start count when it was loaded
    bool loaded = false;  // what load answered
    bool released = false;
    std::optional<std::uint32_t> version;
    std::optional<int> share;
    std::string base;           // the log asked for
    std::optional<int> opened;  // what open answered
    // The band classes the library gave for frequency texts: the page's records and spots
    // share a few dozen.
    std::unordered_map<std::string, int> bands;
  };

  BridgeProcess& bridge_;
  const std::array<settings::FirstQsoConditionSet, 3>& sets_;
  bridge::Record record_;
  bool failed_ = false;
  bool inPage_ = false;
  Kept kept_;
};

}  // namespace zeltaro::bridgeclient
