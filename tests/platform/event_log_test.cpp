// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/event_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/fixed_clock.h"

namespace zeltaro::platform {
namespace {

std::string readAll(std::FILE* f) {
  std::rewind(f);
  std::string out;
  char buf[4096];
  while (const std::size_t n = std::fread(buf, 1, sizeof buf, f)) out.append(buf, n);
  return out;
}

TEST(EventLog, EachEventIsOneStampedLineOnTheSinkAndInMemory) {
  FixedClock clock({2026, 3, 4, 5, 6, 7});
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  EventLog log(clock, sink);
  std::vector<std::string> heard;
  const int handle = log.listen([&](const std::string& line) { heard.push_back(line); });

  EXPECT_EQ(log.record("fetch http://a.example/ failed: HTTP 404"),
            "2026-03-04 05:06:07 fetch http://a.example/ failed: HTTP 404");
  clock.set({2026, 12, 31, 23, 59, 58});
  log.record("mail refused:\r\n554 no\n");
  log.unlisten(handle);
  log.record("after unlisten");

  EXPECT_EQ(readAll(sink),
            "zeltaro: 2026-03-04 05:06:07 fetch http://a.example/ failed: HTTP 404\n"
            "zeltaro: 2026-12-31 23:59:58 mail refused:  554 no \n"
            "zeltaro: 2026-12-31 23:59:58 after unlisten\n");
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "2026-03-04 05:06:07 fetch http://a.example/ failed: HTTP 404",
                             "2026-12-31 23:59:58 mail refused:  554 no ",
                             "2026-12-31 23:59:58 after unlisten"}));
  EXPECT_EQ(heard, (std::vector<std::string>{log.lines()[0], log.lines()[1]}));
  std::fclose(sink);
}

TEST(EventLog, KeepsTheLastTwoHundred) {
  FixedClock clock({2026, 1, 1, 0, 0, 0});
  EventLog log(clock, nullptr);
  for (int i = 0; i < 250; ++i) log.record("event " + std::to_string(i));
  const auto lines = log.lines();
  ASSERT_EQ(lines.size(), EventLog::kKept);
  EXPECT_EQ(lines.front(), "2026-01-01 00:00:00 event 50");
  EXPECT_EQ(lines.back(), "2026-01-01 00:00:00 event 249");
  log.clear();
  EXPECT_TRUE(log.lines().empty());
}

}  // namespace
}  // namespace zeltaro::platform
