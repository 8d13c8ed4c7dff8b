// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The built program run as a user runs it, but in a world of its own: a copy in a fresh folder
// (its settings file and single-instance lock live beside it), its own HOME and XDG folders,
// and a console on a port the kernel picks, learnt from the running process. Nothing of the
// user's home is read or written, and no port is guessed free and raced for.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

namespace zeltaro::testing {

class RealProgram {
 public:
  // program: the built executable, copied into the fixture's folder.
  explicit RealProgram(const QString& program);
  ~RealProgram();
  RealProgram(const RealProgram&) = delete;
  RealProgram& operator=(const RealProgram&) = delete;

  bool ok() const { return ok_; }
  // The folder of the copy; also its working folder.
  QString folder() const { return root_.path(); }
  QString file(const QString& name) const { return root_.filePath(name); }
  QString exe() const { return file("zeltaro"); }
  QString home() const { return file("home"); }

  // The system environment with HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME,
  // XDG_STATE_HOME and XDG_RUNTIME_DIR inside the fixture's folder, and the console told to
  // take any free port (ZELTARO_CONSOLE_ANY_PORT). A test removes what its case needs absent.
  QProcessEnvironment environment() const;

  // Starts the copy in its folder with args and env; false when it could not be started.
  bool start(const QStringList& args, const QProcessEnvironment& env);
  bool start(const QStringList& args) { return start(args, environment()); }

  // The port the program's listening socket is bound to, read from /proc once the socket is
  // there; 0 when the program ended or listened on nothing within timeoutMs.
  quint16 consolePort(int timeoutMs = 15000);

  QProcess& process() { return process_; }

 private:
  QTemporaryDir root_;
  QProcess process_;
  bool ok_ = false;
};

// The TCP ports that process pid listens on (IPv4 and IPv6), from /proc/<pid>/net/tcp{,6} and
// the sockets among its open files.
std::vector<quint16> listeningPorts(qint64 pid);

}  // namespace zeltaro::testing
