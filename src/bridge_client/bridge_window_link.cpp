// SPDX-License-Identifier: GPL-3.0-or-later
#include "bridge_client/bridge_window_link.h"

#include "hamlog/folder_files.h"

namespace zeltaro::bridgeclient {

using bridge::Op;
using bridge::Reader;
using bridge::request;
using bridge::Writer;

namespace {

// The reply read whole by read; false when it is missing or not of the expected shape.
template <typename Read>
bool parse(const std::optional<std::string>& reply, Read read) {
  if (!reply) return false;
  Reader in(*reply);
  read(in);
  return in.ok() && in.atEnd();
}

}  // namespace

std::vector<hamlog::HamlogWindow> BridgeWindowLink::hamlogWindows() {
  std::vector<hamlog::HamlogWindow> windows;
  bool ok = parse(bridge_.request(request(Op::kHamlogWindows).payload()), [&](Reader& in) {
    std::uint32_t count = in.u32();
    for (std::uint32_t i = 0; i < count && in.ok(); ++i) {
      hamlog::HamlogWindow w;
      w.handle = in.u32();
      w.folder = hamlog::folderFromFs(in.bytes());
      windows.push_back(std::move(w));
    }
  });
  return ok ? windows : std::vector<hamlog::HamlogWindow>{};
}

hamlog::WindowHandle BridgeWindowLink::sendField(hamlog::WindowHandle window,
                                                 std::uint32_t dataWord, std::string_view text) {
  auto w = request(Op::kSendField);
  w.u32(window).u32(dataWord).bytes(text.substr(0, bridge::kMaxFieldBytes));
  hamlog::WindowHandle answer = 0;
  return parse(bridge_.request(w.payload()), [&](Reader& in) { answer = in.u32(); }) ? answer : 0;
}

bool BridgeWindowLink::pressKey(hamlog::WindowHandle window, std::uint32_t virtualKey,
                                hamlog::KeyModifiers held) {
  auto w = request(Op::kPressKey);
  w.u32(window).u32(virtualKey).u8(held.ctrl).u8(held.shift).u8(held.alt);
  bool pressed = false;
  return parse(bridge_.request(w.payload()), [&](Reader& in) { pressed = in.u8() != 0; }) &&
         pressed;
}

bool BridgeWindowLink::foreground(hamlog::WindowHandle window) {
  auto w = request(Op::kForeground);
  w.u32(window);
  bool done = false;
  return parse(bridge_.request(w.payload()), [&](Reader& in) { done = in.u8() != 0; }) && done;
}

std::optional<hamlog::WindowRect> BridgeWindowLink::normalRect(hamlog::WindowHandle window) {
  auto w = request(Op::kNormalRect);
  w.u32(window);
  bool found = false;
  hamlog::WindowRect r;
  bool ok = parse(bridge_.request(w.payload()), [&](Reader& in) {
    found = in.u8() != 0;
    r.left = in.i32();
    r.top = in.i32();
    r.right = in.i32();
    r.bottom = in.i32();
  });
  if (!ok || !found) return std::nullopt;
  return r;
}

bool BridgeWindowLink::movePointer(std::int32_t x, std::int32_t y) {
  auto w = request(Op::kSetPointer);
  w.i32(x).i32(y);
  bool done = false;
  return parse(bridge_.request(w.payload()), [&](Reader& in) { done = in.u8() != 0; }) && done;
}

hamlog::WindowHandle BridgeWindowLink::findCompanion() {
  hamlog::WindowHandle found = 0;
  return parse(bridge_.request(request(Op::kFindCompanion).payload()),
               [&](Reader& in) { found = in.u32(); })
             ? found
             : 0;
}

std::optional<std::pair<std::int32_t, std::int32_t>> BridgeWindowLink::pointer() {
  std::int32_t x = 0, y = 0;
  if (!parse(bridge_.request(request(Op::kGetPointer).payload()), [&](Reader& in) {
        x = in.i32();
        y = in.i32();
      }))
    return std::nullopt;
  return std::pair{x, y};
}

hamlog::WindowHandle BridgeWindowLink::foregroundWindow() {
  hamlog::WindowHandle found = 0;
  return parse(bridge_.request(request(Op::kForegroundWindow).payload()),
               [&](Reader& in) { found = in.u32(); })
             ? found
             : 0;
}

}  // namespace zeltaro::bridgeclient
