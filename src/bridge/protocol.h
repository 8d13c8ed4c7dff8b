// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bridge's wire format, shared by zeltaro-bridge.exe and the Linux side that drives it.
// A frame is a 32-bit little-endian payload length followed by the payload. A request's payload
// starts with one operation byte, a reply's with one status byte; the fields that follow are
// 32-bit little-endian integers and byte strings (a 32-bit length, then the bytes). Plain C++ so
// that both compilers build it and the tests run it natively.
//
// Paths travel as the Linux file system spells them, UTF-8, whatever the ANSI code page of the
// Wine prefix: the Linux side converts its CP932 folder settings on the way in and the windows'
// folders on the way back (bridge_client), the bridge goes through Windows' wide-character
// calls. Field texts, keys and record texts stay CP932, as HAMLOG speaks.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeltaro::bridge {

// Printed on its own line on standard output once the bridge is ready for frames.
inline constexpr std::string_view kReadyLine = "zeltaro-bridge ready 1\n";

// Frames larger than this are refused: nothing the bridge exchanges comes near it.
inline constexpr std::uint32_t kMaxFrame = 1u << 20;

enum class Op : std::uint8_t {
  kHamlogWindows = 1,     // -> count, then per window: handle, program folder (Unix path, "/" end)
  kSendField = 2,         // handle, data word, text -> the window's answer
  kPressKey = 3,          // handle, virtual key, ctrl, shift, alt -> 1 pressed, 0 no input field
  kForeground = 4,        // handle -> 1 done
  kNormalRect = 5,        // handle -> 1 found, left, top, right, bottom
  kSetPointer = 6,        // x, y -> 1 done
  kGetPointer = 7,        // -> x, y
  kFindCompanion = 8,     // -> handle (0: none)
  kForegroundWindow = 9,  // -> handle of the foreground window
  kLibLoad = 20,          // library file (Unix path, or a bare name) -> 1 all names resolved
  kLibRelease = 21,       // -> 1
  kLibVersion = 22,       // -> version
  kLibSetShare = 23,      // share -> 1
  kLibOpen = 24,          // database base path (Unix) -> result
  kLibClose = 25,         // -> 1
  kLibSeek = 26,          // key, index -> result, then the record when the result is 0
  kLibSkip = 27,          // count, index -> result, then the record when the result is 0
  kLibBandClass = 28,     // frequency text -> band class
  kExit = 99,             // -> 1, then the bridge ends
};

enum class Status : std::uint8_t { kOk = 0, kError = 1 };

// Builds a payload field by field.
class Writer {
 public:
  Writer& u8(std::uint8_t v);
  Writer& u32(std::uint32_t v);
  Writer& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
  Writer& bytes(std::string_view v);
  const std::string& payload() const { return out_; }

 private:
  std::string out_;
};

// A request's payload with its operation byte written.
inline Writer request(Op op) {
  Writer w;
  w.u8(static_cast<std::uint8_t>(op));
  return w;
}

// Reads a payload field by field; any read past the end makes ok() false and yields zeros.
class Reader {
 public:
  explicit Reader(std::string_view payload) : in_(payload) {}
  std::uint8_t u8();
  std::uint32_t u32();
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  std::string bytes();
  bool ok() const { return ok_; }
  bool atEnd() const { return pos_ == in_.size(); }

 private:
  std::string_view in_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

// The frame holding payload.
std::string frame(std::string_view payload);

// Cuts frames off the front of a byte stream as the bytes arrive.
class FrameReader {
 public:
  void feed(std::string_view bytes) { buffer_.append(bytes); }
  // The next complete payload, or nothing yet. A length beyond kMaxFrame sets failed().
  std::optional<std::string> next();
  bool failed() const { return failed_; }

 private:
  std::string buffer_;
  bool failed_ = false;
};

// The record fields of the library's block, as the seek and skip replies carry them.
struct Record {
  std::string call, code, freq, mode, remarks1, remarks2;
  std::int32_t number = 0;
};
void writeRecord(Writer& w, const Record& r);
Record readRecord(Reader& r);

// Field texts are cut to this many bytes before they are sent.
inline constexpr std::size_t kMaxFieldBytes = 255;

}  // namespace zeltaro::bridge
