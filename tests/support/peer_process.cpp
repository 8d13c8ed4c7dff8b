// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/peer_process.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdlib>

namespace zeltaro::testing {

std::string testsDir() {
  if (const char* d = std::getenv("ZELTARO_TESTS_DIR")) return d;
  return ZELTARO_TESTS_FALLBACK_DIR;
}

QString systemPython() {
  return QFileInfo::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3")
                                               : QStringLiteral("python3");
}

QString testScript(const char* relative) {
  return QString::fromStdString(testsDir()) + "/" + QString::fromUtf8(relative);
}

PeerProcess::PeerProcess(const QString& program, const QStringList& args, int timeoutMs) {
  proc_.setProcessChannelMode(QProcess::SeparateChannels);
  proc_.setReadChannel(QProcess::StandardOutput);
  proc_.start(program, args);
  if (!proc_.waitForStarted(timeoutMs)) {
    error_ = "cannot start " + program + ": " + proc_.errorString();
    return;
  }
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < timeoutMs) {
    if (proc_.canReadLine()) {
      const QByteArray line = proc_.readLine().trimmed();
      if (line.startsWith("PORT ")) {
        port_ = static_cast<quint16>(line.mid(5).toUInt());
        return;
      }
      continue;
    }
    if (proc_.state() != QProcess::Running) break;
    proc_.waitForReadyRead(100);
  }
  error_ = "peer gave no port: " + QString::fromLocal8Bit(proc_.readAllStandardError());
}

PeerProcess::~PeerProcess() {
  if (proc_.state() != QProcess::NotRunning) {
    proc_.kill();
    proc_.waitForFinished(5000);
  }
}

QByteArray PeerProcess::readOutput(int waitMs) {
  if (waitMs > 0) proc_.waitForReadyRead(waitMs);
  rest_ += proc_.readAllStandardOutput();
  return rest_;
}

}  // namespace zeltaro::testing
