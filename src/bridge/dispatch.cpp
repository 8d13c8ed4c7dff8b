// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations.h"

namespace zeltaro::bridge {

namespace {

std::string error() { return Writer().u8(static_cast<std::uint8_t>(Status::kError)).payload(); }

std::string run(Op op, Reader& in, Operations& ops, bool& exit) {
  Writer out;
  out.u8(static_cast<std::uint8_t>(Status::kOk));
  // Arguments are all read before anything runs, so a short request runs nothing.
  switch (op) {
    case Op::kHamlogWindows: {
      if (!in.atEnd()) return error();
      auto windows = ops.hamlogWindows();
      out.u32(static_cast<std::uint32_t>(windows.size()));
      for (const auto& w : windows) out.u32(w.handle).bytes(w.folder);
      return out.payload();
    }
    case Op::kSendField: {
      auto window = in.u32();
      auto word = in.u32();
      auto text = in.bytes();
      if (!in.ok() || !in.atEnd()) return error();
      if (text.size() > kMaxFieldBytes) text.resize(kMaxFieldBytes);
      out.u32(ops.sendField(window, word, text));
      return out.payload();
    }
    case Op::kPressKey: {
      auto window = in.u32();
      auto key = in.u32();
      bool ctrl = in.u8() != 0, shift = in.u8() != 0, alt = in.u8() != 0;
      if (!in.ok() || !in.atEnd()) return error();
      out.u8(ops.pressKey(window, key, ctrl, shift, alt) ? 1 : 0);
      return out.payload();
    }
    case Op::kForeground: {
      auto window = in.u32();
      if (!in.ok() || !in.atEnd()) return error();
      out.u8(ops.foreground(window) ? 1 : 0);
      return out.payload();
    }
    case Op::kNormalRect: {
      auto window = in.u32();
      if (!in.ok() || !in.atEnd()) return error();
      Rect r;
      bool found = ops.normalRect(window, r);
      out.u8(found ? 1 : 0).i32(r.left).i32(r.top).i32(r.right).i32(r.bottom);
      return out.payload();
    }
    case Op::kSetPointer: {
      auto x = in.i32();
      auto y = in.i32();
      if (!in.ok() || !in.atEnd()) return error();
      out.u8(ops.setPointer(x, y) ? 1 : 0);
      return out.payload();
    }
    case Op::kGetPointer: {
      if (!in.atEnd()) return error();
      std::int32_t x = 0, y = 0;
      ops.getPointer(x, y);
      out.i32(x).i32(y);
      return out.payload();
    }
    case Op::kFindCompanion:
      if (!in.atEnd()) return error();
      out.u32(ops.findCompanion());
      return out.payload();
    case Op::kForegroundWindow:
      if (!in.atEnd()) return error();
      out.u32(ops.foregroundWindow());
      return out.payload();
    case Op::kLibLoad: {
      auto file = in.bytes();
      if (!in.ok() || !in.atEnd()) return error();
      out.u8(ops.libLoad(file) ? 1 : 0);
      return out.payload();
    }
    case Op::kLibRelease:
      if (!in.atEnd()) return error();
      ops.libRelease();
      return out.payload();
    case Op::kLibVersion:
      if (!in.atEnd()) return error();
      out.u32(ops.libVersion());
      return out.payload();
    case Op::kLibSetShare: {
      auto share = in.i32();
      if (!in.ok() || !in.atEnd()) return error();
      ops.libSetShare(share);
      return out.payload();
    }
    case Op::kLibOpen: {
      auto path = in.bytes();
      if (!in.ok() || !in.atEnd()) return error();
      out.i32(ops.libOpen(path));
      return out.payload();
    }
    case Op::kLibClose:
      if (!in.atEnd()) return error();
      ops.libClose();
      return out.payload();
    case Op::kLibSeek:
    case Op::kLibSkip: {
      std::int32_t result = 0;
      if (op == Op::kLibSeek) {
        auto key = in.bytes();
        auto index = in.i32();
        if (!in.ok() || !in.atEnd()) return error();
        result = ops.libSeek(key, index);
      } else {
        auto count = in.i32();
        auto index = in.i32();
        if (!in.ok() || !in.atEnd()) return error();
        result = ops.libSkip(count, index);
      }
      out.i32(result);
      if (result == 0) writeRecord(out, ops.libRecord());
      return out.payload();
    }
    case Op::kLibBandClass: {
      auto freq = in.bytes();
      if (!in.ok() || !in.atEnd()) return error();
      out.i32(ops.libBandClass(freq));
      return out.payload();
    }
    case Op::kExit:
      if (!in.atEnd()) return error();
      exit = true;
      return out.payload();
  }
  return error();
}

}  // namespace

std::string dispatch(std::string_view request, Operations& ops, bool& exit) {
  Reader in(request);
  auto op = in.u8();
  if (!in.ok()) return error();
  return run(static_cast<Op>(op), in, ops, exit);
}

}  // namespace zeltaro::bridge
