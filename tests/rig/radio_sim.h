// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radio simulator (radio_sim.py) as a process of the test: it makes a pty pair, points a
// symlink at the device and prints each command it reads with the port's line settings.

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <string>

#include "support/peer_process.h"

namespace zeltaro::rig {

class RadioSim {
 public:
  RadioSim(const std::string& link, const char* family, bool hold = false) {
    QStringList args{zeltaro::testing::testScript("rig/radio_sim.py"), QString::fromStdString(link),
                     "--family", family};
    if (hold) args << "--hold";
    proc_.start(zeltaro::testing::systemPython(), args);
    proc_.waitForStarted(10000);
    QElapsedTimer t;
    t.start();
    while (!proc_.canReadLine() && proc_.state() == QProcess::Running && t.elapsed() < 15000)
      proc_.waitForReadyRead(100);
    ready_ = proc_.readLine().trimmed() == "READY";
  }
  ~RadioSim() { unplug(); }

  bool ready() const { return ready_; }

  // The lines printed so far, waiting up to waitMs for at least n of them.
  std::string lines(int n, int waitMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (count('\n') < n && t.elapsed() < waitMs) {
      proc_.waitForReadyRead(50);
      out_ += proc_.readAllStandardOutput().toStdString();
    }
    out_ += proc_.readAllStandardOutput().toStdString();
    return out_;
  }

  // The radio goes away as abruptly as a pulled USB cable: the pty's master side closes.
  void unplug() {
    if (proc_.state() == QProcess::NotRunning) return;
    proc_.kill();
    proc_.waitForFinished(5000);
  }

 private:
  int count(char c) const { return static_cast<int>(std::count(out_.begin(), out_.end(), c)); }
  QProcess proc_;
  bool ready_ = false;
  std::string out_;
};

}  // namespace zeltaro::rig
