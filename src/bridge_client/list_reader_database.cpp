// SPDX-License-Identifier: GPL-3.0-or-later
#include "bridge_client/list_reader_database.h"

namespace zeltaro::bridgeclient {

bool ListReaderDatabase::load(int list) {
  current_ = &native_;
  if (list >= 1 && list <= 3 && !adifSettings_.File[static_cast<std::size_t>(list - 1)].empty()) {
    current_ = &adif_;
  } else if (list >= 1 && list <= 3 && settings_.HamlogDll[static_cast<std::size_t>(list - 1)]) {
    BridgeProcess& bridge = bridge_();
    if (!library_ || libraryBridge_ != &bridge) {
      library_ = std::make_unique<BridgeDatabase>(bridge, sets_);
      libraryBridge_ = &bridge;
    }
    current_ = library_.get();
  }
  if (current_ == library_.get() && inPage_) library_->beginPage();
  return current_->load(list);
}

void ListReaderDatabase::beginPage() {
  inPage_ = true;
  native_.beginPage();
  adif_.beginPage();
}

void ListReaderDatabase::endPage() {
  inPage_ = false;
  native_.endPage();
  adif_.endPage();
  // A library kept in a bridge that has since been replaced went with that bridge.
  if (library_ && library_->holding() && &bridge_() != libraryBridge_) library_.reset();
  if (library_) library_->endPage();
}

}  // namespace zeltaro::bridgeclient
