// SPDX-License-Identifier: GPL-3.0-or-later
// What the three patrol list windows share: the feed from the log panes and the steps that act
// on every window.
#include "patrol/patrol_lists.h"

#include <algorithm>

#include "patrol/patrol_entry.h"

namespace zeltaro::patrol {

PatrolLists::PatrolLists(settings::StationSettings& settings, const platform::Clock& clock,
                         LineTransfer* transfer, PatrolHost* host)
    : settings_(settings), clock_(clock), transfer_(transfer), host_(host) {
  for (int n = 1; n <= 3; ++n)
    windows_[std::size_t(n - 1)] = std::make_unique<PatrolWindow>(*this, n);
}

std::array<std::string, 3> PatrolLists::folders() const {
  return {settings_.set(1).HAMLOG, settings_.set(2).HAMLOG, settings_.set(3).HAMLOG};
}

bool PatrolLists::IsPatrolEligible(std::string_view row, int n) const {
  return patrol::IsPatrolEligible(row, n, settings_, FeedTime);
}

void PatrolLists::transfer(std::string_view line) {
  if (transfer_) transfer_->transferLine(line);
}

void PatrolLists::showAndRaise(PatrolWindow& w) {
  if (!w.Visible) {
    w.Visible = true;
    w.showWindow();
  }
  if (PatrolWindowView* v = views_[std::size_t(w.n - 1)]) v->showAndRaise();
}

bool PatrolLists::isForeground(const PatrolWindow& w) const {
  const PatrolWindowView* v = views_[std::size_t(w.n - 1)];
  return !v || v->isForeground();
}

namespace {

// The line of a pane that holds byte `pos` of its text (lines joined by CR LF); lines.size()
// past the end. *lineStart receives where that line starts.
std::size_t lineAt(const views::Pane& p, int pos, int* lineStart) {
  int start = 0;
  for (std::size_t i = 0; i < p.lines.size(); ++i) {
    const int end = start + int(p.lines[i].size()) + 2;
    if (pos < end) {
      *lineStart = start;
      return i;
    }
    start = end;
  }
  *lineStart = start;
  return p.lines.size();
}

// The lines covered by the pane's selection, first and last; first > last for none.
std::pair<int, int> selectedLines(const views::Pane& p) {
  int start = 0, unused = 0;
  const int first = int(lineAt(p, std::max(p.selStart, 0), &start));
  const int count = int(p.lines.size());
  if (first >= count) return {0, -1};
  if (p.selLength <= 0) {
    // A caret at the start of a line below the first names no line.
    if (first > 0 && p.selStart == start) return {0, -1};
    return {first, first};
  }
  const int last = int(lineAt(p, p.selStart + p.selLength - 1, &unused));
  return {first, std::min(last, count - 1)};
}

std::string rowText(const PatrolWindow& w, int row) {
  if (row < 0 || row >= w.rowCount()) return {};
  return w.CheckListBox1[std::size_t(row)].text;
}

std::string unmarked(std::string s) {
  if (s.size() > 3) s[3] = '_';
  return s;
}

int findText(const PatrolWindow& w, const std::string& text) {
  if (text.empty()) return -1;
  for (int i = 0; i < w.rowCount(); ++i)
    if (w.CheckListBox1[std::size_t(i)].text == text) return i;
  return -1;
}

}  // namespace

void PatrolLists::FeedPatrolLists(bool append, int pane) {
  views::Pane* p = host_ ? host_->alignedPane(pane) : nullptr;
  if (!p) return;
  setFeedTimeNow();
  const std::array<std::string, 3> f = folders();
  for (int k = 1; k <= 3; ++k) {
    window(k).Folder = f[std::size_t(k - 1)];
    window(k).fedRows = 0;
  }
  const auto [first, last] = selectedLines(*p);
  std::array<std::string, 3> current, selected;
  for (int k = 1; k <= 3; ++k) {
    current[std::size_t(k - 1)] = rowText(window(k), window(k).CurrentRow);
    selected[std::size_t(k - 1)] = rowText(window(k), window(k).ItemIndex);
  }

  for (int li = last; li >= first; --li) {
    const std::string& line = p->lines[std::size_t(li)];
    for (int j = 1; j <= 3; ++j) {
      if (!hasListFlag(line, j)) continue;
      PatrolWindow& w = window(windowOfList(j, f));
      std::vector<PatrolRow>& rows = w.CheckListBox1;
      PatrolRow fresh{line, false};
      const auto same = std::find_if(
          rows.begin(), rows.end(), [&line](const PatrolRow& r) { return sameSpot(r.text, line); });
      if (same != rows.end()) {
        if (same->text.size() > 3 && same->text[3] == '*' && fresh.text.size() > 3)
          fresh.text[3] = '*';
        fresh.checked = same->checked;
        // A row this feed put in already (two lists sharing the window) stays one row.
        if (same - rows.begin() < w.fedRows) --w.fedRows;
        rows.erase(same);
      } else {
        fresh.checked = IsPatrolEligible(line, j);
      }
      rows.insert(rows.begin(), std::move(fresh));
      ++w.fedRows;
    }
  }

  if (!append) {
    for (int j = 1; j <= 3; ++j) {
      PatrolWindow& w = window(windowOfList(j, f));
      if (w.rowCount() > w.fedRows) w.CheckListBox1.resize(std::size_t(w.fedRows));
    }
  }

  for (int k = 3; k >= 1; --k) {
    PatrolWindow& w = window(k);
    if (w.fedRows == 0) {
      // Rows that went (replace) take the selection with them.
      if (w.ItemIndex >= w.rowCount()) w.ItemIndex = -1;
      continue;
    }
    if (w.CheckListBox1.empty()) {
      w.CurrentRow = -1;
      w.ItemIndex = -1;
    } else {
      const std::string& was = current[std::size_t(k - 1)];
      int cur = feedingNewest ? findText(w, was) : -1;
      if (cur < 0) cur = w.findEligible(0, w.rowCount() - 1);
      w.CurrentRow = cur;
      if (cur >= 0) {
        const std::string& now = w.CheckListBox1[std::size_t(cur)].text;
        if (w.CheckBox1 || unmarked(now) != unmarked(was)) w.TransferPatrolRow(now);
      }
      int sel = feedingNewest ? findText(w, selected[std::size_t(k - 1)]) : -1;
      w.ItemIndex = sel >= 0 ? sel : 0;
    }
    showAndRaise(w);
  }
  p->selLength = 0;
}

void PatrolLists::FeedNewest() {
  if (!host_ || !host_->mainNewSwitch()) return;
  views::Pane* p = host_->alignedPane(0);
  if (!p || p->lines.empty()) return;
  const std::size_t n = std::size_t(std::max(settings_.shared.NEW_STNS, 1));
  p->selStart = 0;
  if (p->lines.size() > n) {
    // Up to where line n starts: lines 0 ... n - 1 with their line breaks.
    int length = 0;
    for (std::size_t i = 0; i < n; ++i) length += int(p->lines[i].size()) + 2;
    p->selLength = length;
  } else {
    views::selectAll(*p);
  }
  feedingNewest = true;
  FeedPatrolLists(false, 0);
  feedingNewest = false;
}

void PatrolLists::feedPatrolListsReplacing(int focusedPane) {
  if (focusedPane >= 0 && focusedPane <= 3) FeedPatrolLists(false, focusedPane);
}

void PatrolLists::feedPatrolListsAppending(int focusedPane) {
  if (focusedPane >= 0 && focusedPane <= 3) FeedPatrolLists(true, focusedPane);
}

void PatrolLists::mainNewSwitched(bool on) {
  setNewBoxes(on, nullptr);
  if (on) FeedNewest();
}

void PatrolLists::mainNewToggledFromMenu(bool on) {
  if (!on) return;  // switching off here leaves the windows' boxes as they are
  setNewBoxes(true, nullptr);
  FeedNewest();
}

void PatrolLists::setNewBoxes(bool on, const PatrolWindow* except) {
  for (auto& w : windows_)
    if (w.get() != except) w->CheckBox2 = on;
}

void PatrolLists::stopPatrol(bool alsoNew) {
  for (auto& w : windows_) {
    w->setPatrol(false);
    if (alsoNew) w->CheckBox2 = false;
  }
}

bool PatrolLists::anyVisible() const {
  return std::any_of(windows_.begin(), windows_.end(), [](const auto& w) { return w->Visible; });
}

void PatrolLists::applyFont(const views::PaneFont& font) {
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    windows_[i]->applyFont(font);
    if (views_[i]) views_[i]->showFont();
  }
}

void PatrolLists::saveVisibleWindows() {
  for (auto& w : windows_)
    if (w->Visible) w->SavePatrolWindowState();
}

}  // namespace zeltaro::patrol
