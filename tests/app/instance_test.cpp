// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, started as the operator starts it: one run per executable file, a copy
// elsewhere runs beside it, SIGTERM and SIGINT end it cleanly.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <vector>

#include "support/real_program.h"

namespace {

// Every copy of the program is a real-program fixture: its own folder (the settings file lives
// beside the executable), HOME and XDG folders. The runtime folder, which holds the lock files,
// is shared so that the copies can see each other's locks, and one copy may be started more
// than once, so the test starts the processes itself.
class InstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.isValid());
    ASSERT_EQ(chmod(QFile::encodeName(runtime_.path()).constData(), 0700), 0);
  }

  // A fresh folder with a copy of the program; returns the copy's path.
  QString copyProgram() {
    auto copy = std::make_unique<zeltaro::testing::RealProgram>(ZELTARO_EXE);
    EXPECT_TRUE(copy->ok());
    const QString exe = copy->exe();
    copies_.push_back(std::move(copy));
    return exe;
  }

  // captureErrors: standard error is kept for the test instead of passed through.
  std::unique_ptr<QProcess> start(const QString& exe, QStringList args = {},
                                  bool captureErrors = false) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& copy : copies_)
      if (copy->folder() == QFileInfo(exe).absolutePath()) env = copy->environment();
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(QFileInfo(exe).absolutePath());
    p->setProcessChannelMode(captureErrors ? QProcess::SeparateChannels
                                           : QProcess::ForwardedErrorChannel);
    args.prepend("offscreen");
    args.prepend("-platform");
    p->start(exe, args);
    EXPECT_TRUE(p->waitForStarted(10000)) << exe.toStdString();
    return p;
  }

  // Running means: it holds the lock and catches SIGTERM, i.e. it is past the point where a
  // signal would still kill it.
  static bool waitUntilRunning(QProcess& p) {
    QElapsedTimer t;
    t.start();
    const QString status = QString("/proc/%1/status").arg(p.processId());
    while (t.elapsed() < 15000 && p.state() == QProcess::Running) {
      QFile f(status);
      if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n')) {
          if (!line.startsWith("SigCgt:")) continue;
          const qulonglong caught = line.mid(7).trimmed().toULongLong(nullptr, 16);
          if (caught & (1ull << (SIGTERM - 1))) return true;
        }
      }
      QThread::msleep(20);
    }
    return false;
  }

  static int exitCodeOf(QProcess& p) {
    if (!p.waitForFinished(15000)) return -1000;
    if (p.exitStatus() != QProcess::NormalExit) return -2000;
    return p.exitCode();
  }

  static void stop(QProcess& p, int sig) {
    ASSERT_EQ(kill(static_cast<pid_t>(p.processId()), sig), 0);
  }

  QTemporaryDir runtime_;
  std::vector<std::unique_ptr<zeltaro::testing::RealProgram>> copies_;
};

TEST_F(InstanceTest, SecondStartOfTheSameFileEndsWithOneAndCopiesElsewhereRun) {
  const QString exe = copyProgram();
  auto first = start(exe, {"/telnet=off"});
  ASSERT_TRUE(waitUntilRunning(*first));

  auto second = start(exe, {}, true);
  EXPECT_EQ(exitCodeOf(*second), 1);
  EXPECT_EQ(second->readAllStandardError().toStdString(),
            "zeltaro: another copy runs from this folder (process " +
                std::to_string(first->processId()) + "): not started\n");
  // The same file reached through a link is the same program.
  const QString link = QFileInfo(exe).absolutePath() + "/link-to-zeltaro";
  ASSERT_TRUE(QFile::link(exe, link));
  auto viaLink = start(link);
  EXPECT_EQ(exitCodeOf(*viaLink), 1);
  EXPECT_EQ(first->state(), QProcess::Running);

  auto copy = start(copyProgram());
  ASSERT_TRUE(waitUntilRunning(*copy));

  stop(*first, SIGTERM);
  EXPECT_EQ(exitCodeOf(*first), 0);
  EXPECT_EQ(copy->state(), QProcess::Running);
  stop(*copy, SIGINT);
  EXPECT_EQ(exitCodeOf(*copy), 0);

  // With the first run over, the file starts again.
  auto again = start(exe);
  ASSERT_TRUE(waitUntilRunning(*again));
  stop(*again, SIGTERM);
  EXPECT_EQ(exitCodeOf(*again), 0);
}

TEST_F(InstanceTest, LockOfAKilledRunIsFreed) {
  const QString exe = copyProgram();
  auto first = start(exe);
  ASSERT_TRUE(waitUntilRunning(*first));
  stop(*first, SIGKILL);
  ASSERT_TRUE(first->waitForFinished(15000));

  auto next = start(exe);
  ASSERT_TRUE(waitUntilRunning(*next));
  stop(*next, SIGTERM);
  EXPECT_EQ(exitCodeOf(*next), 0);
}

TEST_F(InstanceTest, TwoSignalsAtOnceEndTheRunCleanly) {
  // Two signals at once must close once, not crash in the second close.
  auto p = start(copyProgram());
  ASSERT_TRUE(waitUntilRunning(*p));
  stop(*p, SIGTERM);
  stop(*p, SIGINT);
  EXPECT_EQ(exitCodeOf(*p), 0);
}

// --help, --version and an unknown option answer and end before anything starts: no lock,
// no console, no settings file written at the end (a run that started writes one).
TEST_F(InstanceTest, HelpVersionAndUnknownOptionsAnswerWithoutStarting) {
  struct Case {
    QStringList args;
    int exitCode;
    QByteArray firstLine;  // of standard output, or of standard error for the unknown option
  };
  const Case cases[] = {
      {{"--help", "/telnet=2399"},
       0,
       "Usage: zeltaro [/telnet=PORT|on|off] [/pass=TEXT] "
       "[/charset=utf-8] [/web=PORT|on|off]"},
      {{"-h"},
       0,
       "Usage: zeltaro [/telnet=PORT|on|off] [/pass=TEXT] [/charset=utf-8] "
       "[/web=PORT|on|off]"},
      {{"/telnet=2399", "--version"}, 0, "zeltaro 2.11"},
      {{"--telnet=2399"}, 2, "zeltaro: unknown option --telnet=2399 (zeltaro --help lists them)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const QString exe = copyProgram();
    auto p = start(exe, c.args, true);
    ASSERT_TRUE(p->waitForFinished(15000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), c.exitCode);
    const QByteArray out = p->readAllStandardOutput(), err = p->readAllStandardError();
    const QByteArray& answer = c.exitCode == 0 ? out : err;
    EXPECT_EQ(answer.left(answer.indexOf('\n')), c.firstLine);
    EXPECT_TRUE(answer.endsWith('\n'));
    EXPECT_EQ(c.exitCode == 0 ? err : out, QByteArray());
    EXPECT_EQ(QDir(QFileInfo(exe).absolutePath()).entryList(QDir::Files), QStringList{"zeltaro"});
  }
}

}  // namespace
