// SPDX-License-Identifier: GPL-3.0-or-later
#include "bridge_client/bridge_database.h"

#include "hamlog/folder_files.h"

namespace zeltaro::bridgeclient {

using bridge::Op;
using bridge::Reader;
using bridge::request;
using bridge::Writer;

namespace {

constexpr int kNotDone = -1;

}  // namespace

std::optional<std::string> BridgeDatabase::call(Writer& request) {
  if (failed_) return std::nullopt;
  // A page check lets the window run between its records, never in the middle of a spot's
  // check: what a turn of the window starts cannot use the library's cursor meanwhile.
  auto reply = bridge_.request(request.payload(), BridgeProcess::Waiting::kHoldWindow);
  if (!reply) {
    // The bridge was ended, and the library with it.
    failed_ = true;
    kept_ = {};
  }
  return reply;
}

bool BridgeDatabase::load(int list) {
  failed_ = false;
  record_ = {};
  if (list < 1 || list > 3) return false;
  std::string file =
      hamlog::folderForFs(sets_[static_cast<size_t>(list - 1)].HAMLOG + "hamlog50.dll");
  if (inPage_) {
    if (!kept_.library.empty() && kept_.library == file && kept_.starts == bridge_.starts() &&
        (kept_.released || bridge_.pid() != -1))
      return kept_.loaded;
    letGo();
  }
  auto w = request(Op::kLibLoad);
  w.bytes(file);
  auto reply = call(w);
  if (!reply) return false;
  Reader in(*reply);
  bool loaded = in.u8() != 0;
  loaded = in.ok() && loaded;
  if (inPage_) {
    kept_.library = std::move(file);
    kept_.starts = bridge_.starts();
    kept_.loaded = loaded;
  }
  return loaded;
}

void BridgeDatabase::sendRelease() {
  auto w = request(Op::kLibRelease);
  call(w);
}

void BridgeDatabase::release() {
  if (inPage_ && !kept_.library.empty()) {
    // A check that went well keeps the library for the page's next; one that went wrong lets
    // it go now, and its answers stand.
    const bool wentWell =
        kept_.loaded && kept_.version >= hamlog::kMinimumVersion && kept_.opened == 0;
    if (!wentWell && !kept_.released) {
      sendRelease();
      kept_.released = true;
    }
    return;
  }
  // After a failure the bridge was ended, and the library with it.
  sendRelease();
}

void BridgeDatabase::letGo() {
  if (!kept_.library.empty() && !kept_.released && kept_.starts == bridge_.starts() &&
      bridge_.pid() != -1) {
    if (kept_.opened == 0) {
      auto w = request(Op::kLibClose);
      call(w);
    }
    sendRelease();
  }
  kept_ = {};
}

void BridgeDatabase::endPage() {
  letGo();
  inPage_ = false;
}

std::uint32_t BridgeDatabase::version() {
  if (inPage_ && kept_.version) return *kept_.version;
  if (inPage_ && kept_.released) return 0;
  auto w = request(Op::kLibVersion);
  auto reply = call(w);
  if (!reply) return hamlog::kMinimumVersion;  // the version box is for an old library only
  Reader in(*reply);
  const std::uint32_t version = in.u32();
  if (inPage_ && !kept_.library.empty()) kept_.version = version;
  return version;
}

void BridgeDatabase::setShare(int share) {
  if (inPage_ && (kept_.share == share || kept_.released)) return;
  auto w = request(Op::kLibSetShare);
  w.i32(share);
  if (call(w) && inPage_ && !kept_.library.empty()) kept_.share = share;
}

int BridgeDatabase::open(std::string_view basePath) {
  const bool keep = inPage_ && !kept_.library.empty();
  if (keep && kept_.opened && kept_.base == basePath) return *kept_.opened;
  if (keep && kept_.released) return kNotDone;
  if (keep && kept_.opened == 0) {
    // Another log of the same library: the one open is closed first.
    auto w = request(Op::kLibClose);
    call(w);
    kept_.opened.reset();
  }
  auto w = request(Op::kLibOpen);
  w.bytes(hamlog::folderForFs(basePath));
  auto reply = call(w);
  if (!reply) return kNotDone;
  Reader in(*reply);
  int result = in.i32();
  if (!in.ok()) result = kNotDone;
  if (keep && !failed_) {
    kept_.base = std::string(basePath);
    kept_.opened = result;
  }
  return result;
}

void BridgeDatabase::close() {
  if (inPage_ && !kept_.library.empty()) return;  // kept open for the page
  auto w = request(Op::kLibClose);
  call(w);
}

int BridgeDatabase::cursorStep(Writer& w) {
  auto reply = call(w);
  if (!reply) return kNotDone;
  Reader in(*reply);
  int result = in.i32();
  if (in.ok() && result == 0) record_ = bridge::readRecord(in);
  if (!in.ok()) {
    failed_ = true;
    return kNotDone;
  }
  return result;
}

int BridgeDatabase::seek(std::string_view key, int index) {
  auto w = request(Op::kLibSeek);
  w.bytes(key.substr(0, 6)).i32(index);
  return cursorStep(w);
}

int BridgeDatabase::skip(int count, int index) {
  auto w = request(Op::kLibSkip);
  w.i32(count).i32(index);
  return cursorStep(w);
}

int BridgeDatabase::bandClass(std::string_view freqMHz) {
  const bool keep = inPage_ && !kept_.library.empty() && !kept_.released;
  if (keep) {
    const auto known = kept_.bands.find(std::string(freqMHz));
    if (known != kept_.bands.end()) return known->second;
  }
  auto w = request(Op::kLibBandClass);
  w.bytes(freqMHz);
  auto reply = call(w);
  if (!reply) return kNotDone;
  Reader in(*reply);
  const int band = in.i32();
  if (keep && in.ok() && !failed_) kept_.bands.emplace(std::string(freqMHz), band);
  return band;
}

}  // namespace zeltaro::bridgeclient
