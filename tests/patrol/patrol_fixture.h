// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Three patrol windows over fakes of the main window, the window system and the transfer, with
// a fixed clock at 2010-05-22 14:30.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "patrol/patrol_lists.h"
#include "platform/clock.h"
#include "support/fixed_clock.h"
#include "text/codec.h"

namespace zeltaro::patrol::testing_support {

struct RecordingTransfer final : LineTransfer {
  std::vector<std::string> lines;
  // Run once, during the next transfer: what the window's turn does while HAMLOG takes it.
  std::function<void()> during;
  bool running = false;
  void transferLine(std::string_view line) override {
    lines.emplace_back(line);
    running = true;
    if (auto d = std::exchange(during, nullptr)) d();
    running = false;
  }
  bool transferring() const override { return running; }
};

struct FakeHost final : PatrolHost {
  bool newSwitch = false;
  std::array<views::Pane, 4> panes;  // Memo_Log2 ... Memo_Log5
  bool autoPatrol = false;
  int manualAccesses = 0, clears = 0, saves = 0;
  bool mainNewSwitch() const override { return newSwitch; }
  void setMainNewSwitch(bool on) override { newSwitch = on; }
  views::Pane* alignedPane(int pane) override {
    return pane >= 0 && pane < 4 ? &panes[std::size_t(pane)] : nullptr;
  }
  bool autoPatrolSelected() const override { return autoPatrol; }
  void manualAccess() override { ++manualAccesses; }
  void clearLog() override { ++clears; }
  void saveSettings() override { ++saves; }
};

struct FakeView final : PatrolWindowView {
  bool front = true;
  int raised = 0;
  void showAndRaise() override { ++raised; }
  bool isForeground() const override { return front; }
};

// An aligned line: flags, source, date, time, call, frequency, mode, with trailing blank.
inline std::string line(std::string_view flags, std::string_view call, std::string_view freq,
                        std::string_view time = "14:25") {
  return std::string(flags) + "DX 10/05/22 " + std::string(time) + " " + std::string(call) + " " +
         std::string(freq) + " CW ";
}

// Selects whole lines first ... last of a pane, line breaks included.
inline void selectLines(views::Pane& p, int first, int last) {
  int start = 0;
  for (int i = 0; i < first; ++i) start += int(p.lines[std::size_t(i)].size()) + 2;
  int end = start;
  for (int i = first; i <= last; ++i) end += int(p.lines[std::size_t(i)].size()) + 2;
  p.selStart = start;
  p.selLength = end - start;
}

class PatrolTest : public ::testing::Test {
 protected:
  PatrolTest() {
    s.set(1).HAMLOG = "C:\\HAMLOG1\\";
    s.set(2).HAMLOG = "C:\\HAMLOG2\\";
    s.set(3).HAMLOG = "C:\\HAMLOG3\\";
    for (int n = 1; n <= 3; ++n) {
      lists.setView(n, &view[n - 1]);
      lists.window(n).createWithFont({12, -16});
    }
  }

  PatrolWindow& w(int n) { return lists.window(n); }
  // Puts rows (all checked unless listed in unchecked) into window n, serving list n's folder.
  void fill(int n, const std::vector<std::string>& rows, std::vector<int> unchecked = {}) {
    PatrolWindow& win = w(n);
    win.Folder = s.set(n).HAMLOG;
    win.CheckListBox1.clear();
    for (const std::string& r : rows) win.CheckListBox1.push_back({r, true});
    for (int i : unchecked) win.CheckListBox1[std::size_t(i)].checked = false;
    win.Visible = true;
  }
  std::vector<std::string> texts(int n) {
    std::vector<std::string> v;
    for (const PatrolRow& r : w(n).CheckListBox1) v.push_back(r.text);
    return v;
  }
  std::vector<bool> checks(int n) {
    std::vector<bool> v;
    for (const PatrolRow& r : w(n).CheckListBox1) v.push_back(r.checked);
    return v;
  }

  settings::StationSettings s;
  platform::FixedClock clock{{2010, 5, 22, 14, 30, 0}};
  RecordingTransfer sent;
  FakeHost host;
  std::array<FakeView, 3> view;
  PatrolLists lists{s, clock, &sent, &host};
};

}  // namespace zeltaro::patrol::testing_support
