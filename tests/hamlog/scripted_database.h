// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A database whose records the test lists in index order. It records every operation the
// check calls, so a test can compare the whole conversation.

#include <cstdlib>
#include <string>
#include <vector>

#include "hamlog/hamlog_database.h"
#include "settings/station_settings.h"

namespace zeltaro::testing {

// The three condition sets of a first start, switched on, with folder as their HAMLOG folder.
inline std::array<settings::FirstQsoConditionSet, 3> conditionSetsOn(const std::string& folder) {
  std::array<settings::FirstQsoConditionSet, 3> sets{settings::defaultConditionSet(1),
                                                     settings::defaultConditionSet(2),
                                                     settings::defaultConditionSet(3)};
  for (auto& s : sets) {
    s.Use = true;
    s.HAMLOG = folder;
  }
  return sets;
}

struct ScriptedRecord {
  std::string call{}, code{}, freq{}, mode{}, remarks1{}, remarks2{};
  std::int32_t number = 1;
};

class ScriptedDatabase final : public hamlog::HamlogDatabase {
 public:
  std::vector<ScriptedRecord> records;  // in the order of the index the check seeks on
  bool available = true;
  std::uint32_t libraryVersion = 0x50300;
  int openResult = 0;
  std::vector<std::string> calls;

  bool load(int list) override {
    calls.push_back("load " + std::to_string(list));
    return available;
  }
  void release() override { calls.push_back("release"); }
  std::uint32_t version() override {
    calls.push_back("version");
    return libraryVersion;
  }
  void setShare(int share) override { calls.push_back("share " + std::to_string(share)); }
  int open(std::string_view path) override {
    calls.push_back("open " + std::string(path));
    return openResult;
  }
  void close() override { calls.push_back("close"); }
  int seek(std::string_view key, int index) override {
    calls.push_back("seek " + std::string(key) + " " + std::to_string(index));
    for (pos_ = 0; pos_ < records.size(); ++pos_) {
      const ScriptedRecord& r = records[pos_];
      if (upper(index == hamlog::kCodeIndex ? r.code : r.call).substr(0, 6) >= upper(key)) return 0;
    }
    return 1;
  }
  int skip(int count, int index) override {
    calls.push_back("skip " + std::to_string(count) + " " + std::to_string(index));
    pos_ += static_cast<std::size_t>(count);
    return pos_ < records.size() ? 0 : 1;
  }
  // The whole megahertz: enough to tell 7 from 14 MHz.
  int bandClass(std::string_view freq) override { return std::atoi(std::string(freq).c_str()); }

  std::string_view call() const override { return records.at(pos_).call; }
  std::string_view code() const override { return records.at(pos_).code; }
  std::string_view freq() const override { return records.at(pos_).freq; }
  std::string_view mode() const override { return records.at(pos_).mode; }
  std::string_view remarks1() const override { return records.at(pos_).remarks1; }
  std::string_view remarks2() const override { return records.at(pos_).remarks2; }
  std::int32_t recordNumber() const override { return records.at(pos_).number; }

 private:
  static std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
  }
  std::size_t pos_ = 0;
};

}  // namespace zeltaro::testing
