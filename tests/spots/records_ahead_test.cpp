// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/records_ahead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace zeltaro::spots {
namespace {

std::vector<std::string> records(int n) {
  std::vector<std::string> r;
  for (int i = 0; i < n; ++i) {
    r.push_back("<LineStart><!--" + std::to_string(i) + "--></LineStart><Date>2026/12/" +
                std::to_string(1 + i % 28) + "</Date><CallSignTo>JA" + std::to_string(i % 10) +
                (i % 7 ? "ABC" : "XYZ") + "</CallSignTo><Freq>7," + std::to_string(i % 1000) +
                "</Freq>" + (i % 5 ? "<Mode>CW</Mode>" : "") + "<Comments>Tnx " +
                std::string(static_cast<std::size_t>(i % 40), 'x') + "</Comments>");
  }
  return r;
}

void expectSame(const PreparedRecord& got, const PreparedRecord& want, std::size_t i) {
  ASSERT_EQ(got.slots, want.slots) << "record " << i;
  ASSERT_EQ(got.search.search, want.search.search) << "record " << i;
  ASSERT_EQ(got.search.searchable, want.search.searchable) << "record " << i;
}

// Whichever thread prepares a record, and however the two meet (the caller racing ahead,
// lingering so that the thread does most, or stopping early), every record the caller gets is
// the one it would have made itself, and each is handed out once.
TEST(RecordsAhead, EveryRecordAsTheCallerWouldMakeIt) {
  const std::vector<std::string> page = records(3000);
  const CompiledTemplate templ = compileTemplate(defaultExtractionTemplate());
  const CompiledBody body = compileBody(kDefaultBody);
  const RoleSlots roles;
  std::vector<PreparedRecord> want;
  for (const std::string& r : page) want.push_back(prepareRecord(r, templ, body, roles));
  ASSERT_NE(want[3].search.search.find("ja3abc"), std::string::npos) << "the search text is folded";

  struct Pace {
    const char* name;
    std::size_t until;     // records asked for before the object goes
    std::size_t lingerAt;  // the caller waits there until the thread is done
  };
  const Pace paces[] = {{"racing", 3000, 3000}, {"lingering", 3000, 10}, {"stopping", 100, 3000}};
  for (const Pace& pace : paces) {
    RecordsAhead ahead(page, 2500, templ, body, roles);
    std::size_t fromThread = 0;
    for (std::size_t i = 0; i < pace.until; ++i) {
      if (i == pace.lingerAt) std::this_thread::sleep_for(std::chrono::milliseconds(200));
      const PreparedRecord* p = i < ahead.to() ? ahead.take(i) : nullptr;
      if (p) {
        ++fromThread;
        expectSame(*p, want[i], i);
      }
    }
    if (pace.lingerAt == 10) {  // the thread did all but the caller's first chunk
      EXPECT_GT(fromThread, 2000u) << pace.name;
      EXPECT_LT(fromThread, 2500u) << pace.name;
    }
  }
}

}  // namespace
}  // namespace zeltaro::spots
