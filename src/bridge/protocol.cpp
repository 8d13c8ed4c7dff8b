// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol.h"

namespace zeltaro::bridge {

Writer& Writer::u8(std::uint8_t v) {
  out_.push_back(static_cast<char>(v));
  return *this;
}

Writer& Writer::u32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return *this;
}

Writer& Writer::bytes(std::string_view v) {
  u32(static_cast<std::uint32_t>(v.size()));
  out_.append(v);
  return *this;
}

std::uint8_t Reader::u8() {
  if (!ok_ || in_.size() - pos_ < 1) {
    ok_ = false;
    return 0;
  }
  return static_cast<std::uint8_t>(in_[pos_++]);
}

std::uint32_t Reader::u32() {
  if (!ok_ || in_.size() - pos_ < 4) {
    ok_ = false;
    return 0;
  }
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i)
    v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in_[pos_ + i])) << (8 * i);
  pos_ += 4;
  return v;
}

std::string Reader::bytes() {
  std::uint32_t n = u32();
  if (!ok_ || in_.size() - pos_ < n) {
    ok_ = false;
    return {};
  }
  std::string v(in_.substr(pos_, n));
  pos_ += n;
  return v;
}

std::string frame(std::string_view payload) {
  Writer w;
  w.bytes(payload);
  return w.payload();
}

std::optional<std::string> FrameReader::next() {
  if (failed_ || buffer_.size() < 4) return std::nullopt;
  Reader r(std::string_view(buffer_).substr(0, 4));
  std::uint32_t n = r.u32();
  if (n > kMaxFrame) {
    failed_ = true;
    return std::nullopt;
  }
  if (buffer_.size() - 4 < n) return std::nullopt;
  std::string payload = buffer_.substr(4, n);
  buffer_.erase(0, 4 + static_cast<std::size_t>(n));
  return payload;
}

void writeRecord(Writer& w, const Record& r) {
  w.bytes(r.call).bytes(r.code).bytes(r.freq).bytes(r.mode).bytes(r.remarks1).bytes(r.remarks2);
  w.i32(r.number);
}

Record readRecord(Reader& r) {
  Record rec;
  rec.call = r.bytes();
  rec.code = r.bytes();
  rec.freq = r.bytes();
  rec.mode = r.bytes();
  rec.remarks1 = r.bytes();
  rec.remarks2 = r.bytes();
  rec.number = r.i32();
  return rec;
}

}  // namespace zeltaro::bridge
