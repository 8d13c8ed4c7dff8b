// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real program in a world of its own (tests/support/real_program.h), reached over its
// console. The test's target defines ZELTARO_EXE.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <memory>

#include "console_fixture.h"
#include "support/real_program.h"

namespace zeltaro::console::testing {

// Any port but 0 turns the console on; the fixture's environment lets the kernel pick it.
inline const QString kConsoleOn = "/telnet=1";

class ProgramFixture : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(real.ok()); }

  // Starts the copy with args in env (real.environment(), less what the case needs absent).
  void start(const QStringList& args, const QProcessEnvironment& env) {
    ASSERT_TRUE(real.start(args, env));
  }

  // A client of the console once the program listens; port is the one it listens on.
  std::unique_ptr<TestClient> connect() {
    port = real.consolePort();
    if (port == 0) return nullptr;
    auto client = std::make_unique<TestClient>(port);
    if (!client->waitConnected()) return nullptr;
    return client;
  }

  zeltaro::testing::RealProgram real{ZELTARO_EXE};
  QProcess& program = real.process();
  quint16 port = 0;
};

}  // namespace zeltaro::console::testing
