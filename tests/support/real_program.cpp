// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/real_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <set>
#include <string>

#include "support/wait.h"

namespace zeltaro::testing {

namespace {

// The inodes of the sockets among the process's open files ("socket:[12345]").
std::set<unsigned long> socketInodes(qint64 pid) {
  std::set<unsigned long> inodes;
  const QString fdDir = QString("/proc/%1/fd").arg(pid);
  for (const QString& fd : QDir(fdDir).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
    char target[128];
    const QByteArray link = QFile::encodeName(fdDir + "/" + fd);
    const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
    if (n <= 0) continue;
    const std::string t(target, static_cast<std::size_t>(n));
    if (t.rfind("socket:[", 0) != 0) continue;
    inodes.insert(std::stoul(t.substr(8)));
  }
  return inodes;
}

}  // namespace

std::vector<quint16> listeningPorts(qint64 pid) {
  std::vector<quint16> ports;
  const std::set<unsigned long> mine = socketInodes(pid);
  if (mine.empty()) return ports;
  for (const char* table : {"tcp", "tcp6"}) {
    QFile f(QString("/proc/%1/net/%2").arg(pid).arg(table));
    if (!f.open(QIODevice::ReadOnly)) continue;
    const QList<QByteArray> lines = f.readAll().split('\n');
    // "sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid timeout inode"
    for (qsizetype i = 1; i < lines.size(); ++i) {
      const QList<QByteArray> fields = lines[i].simplified().split(' ');
      if (fields.size() < 10 || fields[3] != "0A") continue;  // 0A: LISTEN
      if (!mine.count(fields[9].toULong())) continue;
      const QByteArray local = fields[1];
      ports.push_back(static_cast<quint16>(local.mid(local.lastIndexOf(':') + 1).toUInt(nullptr, 16)));
    }
  }
  return ports;
}

RealProgram::RealProgram(const QString& program) {
  if (!root_.isValid()) return;
  if (!QFile::copy(program, exe())) return;
  QFile::setPermissions(exe(), QFile::permissions(program));
  const QDir root(root_.path());
  for (const char* sub : {"home/.config", "home/.local/share", "home/.local/state", "home/.cache",
                          "runtime"})
    if (!root.mkpath(sub)) return;
  // The runtime folder must be private, or Qt and the instance lock refuse it.
  ok_ = ::chmod(QFile::encodeName(file("runtime")).constData(), 0700) == 0;
}

RealProgram::~RealProgram() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(10000);
  }
}

QProcessEnvironment RealProgram::environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", home());
  env.insert("XDG_CONFIG_HOME", home() + "/.config");
  env.insert("XDG_DATA_HOME", home() + "/.local/share");
  env.insert("XDG_STATE_HOME", home() + "/.local/state");
  env.insert("XDG_CACHE_HOME", home() + "/.cache");
  env.insert("XDG_RUNTIME_DIR", file("runtime"));
  env.insert("ZELTARO_CONSOLE_ANY_PORT", "1");
  return env;
}

bool RealProgram::start(const QStringList& args, const QProcessEnvironment& env) {
  process_.setProcessEnvironment(env);
  process_.setWorkingDirectory(folder());
  process_.start(exe(), args);
  return process_.waitForStarted(10000);
}

quint16 RealProgram::consolePort(int timeoutMs) {
  quint16 port = 0;
  waitUntil(
      [&] {
        if (process_.state() != QProcess::Running) return true;
        const std::vector<quint16> ports = listeningPorts(process_.processId());
        if (!ports.empty()) port = ports.front();
        return port != 0;
      },
      timeoutMs);
  return port;
}

}  // namespace zeltaro::testing
