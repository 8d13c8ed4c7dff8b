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
  return current_->load(list);
}

}  // namespace zeltaro::bridgeclient
