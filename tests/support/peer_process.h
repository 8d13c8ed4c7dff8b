// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A real peer (an HTTP or SMTP server, ...) run as its own process for an integration test.
// The peer prints "PORT <n>" on its first line of standard output once it listens; the test
// reads the port from there and the peer is killed when the object goes away.

#include <QProcess>
#include <QStringList>
#include <string>

namespace zeltaro::testing {

// The repository's tests/ folder (set by CTest; falls back to the source path).
std::string testsDir();

class PeerProcess {
 public:
  // Starts program with args and waits (at most timeoutMs) for its "PORT n" line.
  PeerProcess(const QString& program, const QStringList& args, int timeoutMs = 15000);
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  bool ok() const { return port_ != 0; }
  quint16 port() const { return port_; }
  // Everything the peer has printed on standard output after the PORT line so far.
  QByteArray readOutput(int waitMs = 0);
  QString error() const { return error_; }

 private:
  QProcess proc_;
  quint16 port_ = 0;
  QString error_;
  QByteArray rest_;
};

// A Python script from tests/ run with the system's interpreter (/usr/bin/python3), which has
// Debian's Python packages.
QString systemPython();
QString testScript(const char* relative);

}  // namespace zeltaro::testing
