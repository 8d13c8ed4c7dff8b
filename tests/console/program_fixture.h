#pragma once
// The real program, copied into a folder of its own (its settings file and single-instance lock
// live beside it, HOME points there too), started with a console port of its own and reached
// over that console. The test's target defines ZELTARO_EXE.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "console_fixture.h"

namespace zeltaro::console::testing {

class ProgramFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    exe = dir.filePath("zeltaro");
    ASSERT_TRUE(QFile::copy(ZELTARO_EXE, exe));
    QFile::setPermissions(exe, QFile::permissions(ZELTARO_EXE));
    port = freePort();
  }

  void TearDown() override {
    if (program.state() != QProcess::NotRunning) {
      program.kill();
      program.waitForFinished(10000);
    }
  }

  // Starts the copy with args in env (HOME set to the folder, which is also the working one).
  void start(const QStringList& args, QProcessEnvironment env) {
    env.insert("HOME", dir.path());
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(dir.path());
    program.start(exe, args);
    ASSERT_TRUE(program.waitForStarted(10000));
  }

  // The program listens once its start-up sequence has run; until then a connection is refused.
  std::unique_ptr<TestClient> connect() {
    for (int attempt = 0; attempt < 150 && program.state() == QProcess::Running; ++attempt) {
      auto client = std::make_unique<TestClient>(port);
      waitUntil([&] {
        return client->socket.state() == QAbstractSocket::ConnectedState ||
               client->socket.state() == QAbstractSocket::UnconnectedState;
      });
      if (client->socket.state() == QAbstractSocket::ConnectedState) return client;
      pumpFor(100);
    }
    return nullptr;
  }

  QTemporaryDir dir;
  QString exe;
  quint16 port = 0;
  QProcess program;
};

}  // namespace zeltaro::console::testing
