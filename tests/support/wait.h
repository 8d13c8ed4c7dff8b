// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Waiting for an event with the event loop running: servers, sockets and processes of the
// test live on this thread and only move while the loop runs.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace zeltaro::testing {

// Runs the event loop until done() holds or timeoutMs have passed; returns done().
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  QElapsedTimer clock;
  clock.start();
  QTimer tick;  // wakes the loop so that the deadline is seen
  tick.start(5);
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return true;
}

// Lets the loop run for ms, for what must be shown not to happen.
inline void pumpFor(int ms) {
  waitUntil([] { return false; }, ms);
}

}  // namespace zeltaro::testing
