// SPDX-License-Identifier: GPL-3.0-or-later
#include "bridge/protocol.h"

#include <gtest/gtest.h>

#include "bridge/operations.h"

namespace zeltaro::bridge {
namespace {

using namespace std::string_literals;

TEST(Frames, AreCutFromAStreamThatArrivesInPieces) {
  std::string stream = frame(
                           "\x02"s
                           "abc") +
                       frame("") + frame("xy");
  EXPECT_EQ(frame("xy"), "\x02\x00\x00\x00xy"s);
  FrameReader reader;
  std::vector<std::string> got;
  for (char c : stream) {
    reader.feed(std::string_view(&c, 1));
    while (auto p = reader.next()) got.push_back(*p);
  }
  EXPECT_EQ(got, (std::vector<std::string>{"\x02"
                                           "abc",
                                           "", "xy"}));
  EXPECT_FALSE(reader.failed());
}

TEST(Frames, ALengthBeyondTheLimitFailsTheStream) {
  FrameReader reader;
  reader.feed(
      "\x01\x00\x10\x00"s
      "rest");
  EXPECT_FALSE(reader.next());
  EXPECT_TRUE(reader.failed());
}

TEST(Reader, AShortFieldFailsAndYieldsNothing) {
  const std::string payload =
      "\x05\x00\x00\x00"
      "abc"s;
  Reader in(payload);  // the reader keeps a view: the bytes must outlive it
  EXPECT_EQ(in.bytes(), "");
  EXPECT_FALSE(in.ok());
}

// Records the calls it gets and answers with fixed values.
class Recorder : public Operations {
 public:
  std::vector<std::string> calls;
  std::vector<FoundWindow> hamlogWindows() override {
    calls.push_back("windows");
    return {{0x1234, "/opt/hamlog/"}, {0x99, "/x/"}};
  }
  std::uint32_t sendField(std::uint32_t w, std::uint32_t word, std::string_view text) override {
    calls.push_back("field " + std::to_string(w) + " " + std::to_string(word) + " " +
                    std::to_string(text.size()));
    return 0xABCD;
  }
  bool pressKey(std::uint32_t w, std::uint32_t key, bool c, bool s, bool a) override {
    calls.push_back("key " + std::to_string(w) + " " + std::to_string(key) + " " +
                    std::to_string(c) + std::to_string(s) + std::to_string(a));
    return true;
  }
  bool foreground(std::uint32_t) override { return true; }
  bool normalRect(std::uint32_t, Rect& r) override {
    r = {1, -2, 3, 4};
    return true;
  }
  bool setPointer(std::int32_t, std::int32_t) override { return true; }
  void getPointer(std::int32_t& x, std::int32_t& y) override { x = 7, y = 8; }
  std::uint32_t findCompanion() override { return 5; }
  std::uint32_t foregroundWindow() override { return 6; }
  bool libLoad(std::string_view f) override {
    calls.push_back("load " + std::string(f));
    return true;
  }
  void libRelease() override {}
  std::uint32_t libVersion() override { return 0x50300; }
  void libSetShare(std::int32_t) override {}
  std::int32_t libOpen(std::string_view) override { return 0; }
  void libClose() override {}
  std::int32_t libSeek(std::string_view key, std::int32_t) override {
    calls.push_back("seek " + std::string(key));
    return key == "NONE" ? 1 : 0;
  }
  std::int32_t libSkip(std::int32_t, std::int32_t) override { return 0; }
  std::int32_t libBandClass(std::string_view) override { return 7; }
  Record libRecord() override { return {"JA1AA", "1001", "7.010", "CW", "r1", "", 42}; }
};

std::string run(Recorder& ops, const std::string& request, bool* exit = nullptr) {
  bool ended = false;
  auto reply = dispatch(request, ops, ended);
  if (exit) *exit = ended;
  return reply;
}

TEST(Dispatch, RepliesAreExact) {
  Recorder ops;
  EXPECT_EQ(run(ops, "\x01"s),
            "\x00\x02\x00\x00\x00"
            "\x34\x12\x00\x00\x0C\x00\x00\x00/opt/hamlog/"
            "\x99\x00\x00\x00\x03\x00\x00\x00/x/"s);
  EXPECT_EQ(run(ops, "\x05\x01\x00\x00\x00"s),
            "\x00\x01\x01\x00\x00\x00\xFE\xFF\xFF\xFF\x03\x00\x00\x00\x04\x00\x00\x00"s);
  EXPECT_EQ(run(ops, Writer().u8(26).bytes("JA1AA").i32(16).payload()),
            "\x00\x00\x00\x00\x00"
            "\x05\x00\x00\x00JA1AA\x04\x00\x00\x00"
            "1001\x05\x00\x00\x00"
            "7.010"
            "\x02\x00\x00\x00"
            "CW\x02\x00\x00\x00r1\x00\x00\x00\x00\x2A\x00\x00\x00"s);
  // No record follows a failed seek.
  EXPECT_EQ(run(ops, Writer().u8(26).bytes("NONE").i32(16).payload()), "\x00\x01\x00\x00\x00"s);
}

TEST(Dispatch, AFieldTextIsCutTo255Bytes) {
  Recorder ops;
  auto reply = run(ops, Writer().u8(2).u32(3).u32(0x2000D).bytes(std::string(300, 'a')).payload());
  EXPECT_EQ(reply, "\x00\xCD\xAB\x00\x00"s);
  EXPECT_EQ(ops.calls, std::vector<std::string>{"field 3 131085 255"});
}

TEST(Dispatch, MalformedRequestsRunNothing) {
  Recorder ops;
  const std::string bad[] = {
      ""s,                                          // no operation
      "\x77"s,                                      // unknown operation
      "\x02\x01\x00\x00\x00"s,                      // field message without its word and text
      "\x03\x01\x00\x00\x00\x24\x00\x00\x00\x01"s,  // key press without shift and alt
      Writer().u8(20).bytes("x").u8(0).payload(),   // trailing byte
      Writer().u8(1).u8(0).payload(),
  };
  for (const auto& request : bad) EXPECT_EQ(run(ops, request), "\x01"s) << request.size();
  EXPECT_TRUE(ops.calls.empty());
}

TEST(Dispatch, ExitIsAnsweredThenEnds) {
  Recorder ops;
  bool exit = false;
  EXPECT_EQ(run(ops, "\x63"s, &exit), "\x00"s);
  EXPECT_TRUE(exit);
}

}  // namespace
}  // namespace zeltaro::bridge
