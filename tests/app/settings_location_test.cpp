// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_location.h"

#include <gtest/gtest.h>

namespace zeltaro::app {
namespace {

TEST(SettingsLocation, BesideTheProgramWhereWritableElseTheUsersConfigFolder) {
  struct Row {
    const char* exe;
    bool writable;
    const char* xdg;
    const char* home;
    std::string expected;
  };
  const Row rows[] = {
      {"/home/op/zeltaro/zeltaro", true, "/home/op/.cfg", "/home/op",
       "/home/op/zeltaro/zeltaro.ini"},
      {"/usr/lib/zeltaro/zeltaro", false, "/home/op/.cfg", "/home/op",
       "/home/op/.cfg/zeltaro/zeltaro.ini"},
      {"/usr/lib/zeltaro/zeltaro", false, nullptr, "/home/op",
       "/home/op/.config/zeltaro/zeltaro.ini"},
      {"/usr/lib/zeltaro/zeltaro", false, "", "/home/op", "/home/op/.config/zeltaro/zeltaro.ini"},
      // A relative XDG_CONFIG_HOME is not to be used.
      {"/usr/lib/zeltaro/zeltaro", false, "cfg", "/home/op",
       "/home/op/.config/zeltaro/zeltaro.ini"},
      {"/opt/zeltaro/ZELTARO.bin", false, "/c", "/h", "/c/zeltaro/ZELTARO.ini"},
      {"/usr/lib/zeltaro/zeltaro", false, nullptr, nullptr, "/usr/lib/zeltaro/zeltaro.ini"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(settingsLocation(r.exe, r.writable, r.xdg, r.home), r.expected) << r.exe;
}

}  // namespace
}  // namespace zeltaro::app
