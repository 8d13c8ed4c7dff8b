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
  auto reply = bridge_.request(request.payload());
  if (!reply) failed_ = true;
  return reply;
}

bool BridgeDatabase::load(int list) {
  failed_ = false;
  record_ = {};
  if (list < 1 || list > 3) return false;
  auto w = request(Op::kLibLoad);
  w.bytes(hamlog::folderForFs(sets_[static_cast<size_t>(list - 1)].HAMLOG + "hamlog50.dll"));
  auto reply = call(w);
  if (!reply) return false;
  Reader in(*reply);
  bool loaded = in.u8() != 0;
  return in.ok() && loaded;
}

void BridgeDatabase::release() {
  // After a failure the bridge was ended, and the library with it.
  auto w = request(Op::kLibRelease);
  call(w);
}

std::uint32_t BridgeDatabase::version() {
  auto w = request(Op::kLibVersion);
  auto reply = call(w);
  if (!reply) return hamlog::kMinimumVersion;  // the version box is for an old library only
  Reader in(*reply);
  return in.u32();
}

void BridgeDatabase::setShare(int share) {
  auto w = request(Op::kLibSetShare);
  w.i32(share);
  call(w);
}

int BridgeDatabase::open(std::string_view basePath) {
  auto w = request(Op::kLibOpen);
  w.bytes(hamlog::folderForFs(basePath));
  auto reply = call(w);
  if (!reply) return kNotDone;
  Reader in(*reply);
  int result = in.i32();
  return in.ok() ? result : kNotDone;
}

void BridgeDatabase::close() {
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
  auto w = request(Op::kLibBandClass);
  w.bytes(freqMHz);
  auto reply = call(w);
  if (!reply) return kNotDone;
  Reader in(*reply);
  return in.i32();
}

}  // namespace zeltaro::bridgeclient
