// SPDX-License-Identifier: GPL-3.0-or-later
// Test programs run with a real QApplication (offscreen), so that sockets, timers and widgets
// behave as they do in the program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <string>

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  // A runtime folder of our own where the session has none (CI, root shells), so Qt does not
  // warn about it in every test program.
  if (qgetenv("XDG_RUNTIME_DIR").isEmpty()) {
    const std::string dir = "/tmp/zeltaro-tests-runtime-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    chmod(dir.c_str(), 0700);
    qputenv("XDG_RUNTIME_DIR", dir.c_str());
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
