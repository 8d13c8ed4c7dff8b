// SPDX-License-Identifier: GPL-3.0-or-later
// One patrol list window: its life, the walk, the re-set and its commands.
#include <algorithm>
#include <cstdio>

#include "patrol/patrol_entry.h"
#include "patrol/patrol_lists.h"
#include "text/codec.h"
#include "views/log_font.h"

namespace zeltaro::patrol {

std::string patrolCaptionStem() {
  static const std::string stem = text::sj(" Zeltaro v2.11 巡回転送リスト ");
  return stem;
}

namespace {

std::string numbered(const char* pattern, int n) {
  char buf[64];
  std::snprintf(buf, sizeof buf, pattern, n);
  return buf;
}

bool marked(const std::string& row) { return row.size() > 3 && row[3] == '*'; }

}  // namespace

PatrolWindow::PatrolWindow(PatrolLists& lists, int number) : n(number), lists_(lists) {}

// ------------------------------------------------------------------ life

void PatrolWindow::createWithFont(const views::PaneFont& paneFont) {
  const settings::StationSettings& s = lists_.settings();
  Caption = patrolCaptionStem() + numbered("[ %d ]", n);
  applyFont(paneFont);
  const settings::WindowGeometry& g = s.trans[std::size_t(n - 1)];
  if (g.Width > 20 && g.Height > 10) {
    Left = g.Left;
    Top = g.Top;
    Width = g.Width;
    Height = g.Height;
  }
  // A saved step outside the list's 300 items is used clamped to it.
  IntervalIndex = settings::usedInterval(s.set(n).Interval);
  ComboBox1 = IntervalIndex;
  const settings::PilotSettings& p = s.pilot[std::size_t(n - 1)];
  listFilter = {p.Sel1, p.Sel2, p.Sel3};
  CheckBox6 = p.StayTopOn;
  CheckBox7 = p.AutoSet;
  Timer2Enabled = CheckBox7;
  Paused = false;
  CurrentRow = 0;
  ProgressBar1 = 0;
  Max = seconds() * 10;
}

void PatrolWindow::applyFont(const views::PaneFont& f) {
  font = f;
  ItemHeight = views::rowHeight(f);
}

void PatrolWindow::showWindow() {
  Caption = patrolCaptionStem() + numbered("[ %d ]     ", n) + Folder;
  if (CheckBox1) Timer1Enabled = true;
  // Closing stopped the auto re-set; a window shown again with "自動" on runs it again.
  Timer2Enabled = CheckBox7;
  if (PatrolHost* h = lists_.host()) CheckBox2 = h->mainNewSwitch();
}

void PatrolWindow::closeByOperator() {
  SavePatrolWindowState();
  Timer1Enabled = false;
  Timer2Enabled = false;
  CheckListBox1.clear();
  ItemIndex = -1;
  Paused = false;
  Visible = false;
}

void PatrolWindow::SavePatrolWindowState() {
  settings::StationSettings& s = lists_.settings();
  s.trans[std::size_t(n - 1)] = {Left, Top, Height, Width};
  // A value the file holds outside the list stays as written until the step is changed.
  if (IntervalIndex != settings::usedInterval(s.set(n).Interval)) s.set(n).Interval = IntervalIndex;
  s.pilot[std::size_t(n - 1)] = {CheckBox6, CheckBox7, CheckBox3, CheckBox4, CheckBox5};
}

// ------------------------------------------------------------------ the walk

void PatrolWindow::TransferPatrolRow(std::string_view row) {
  const std::string prefix = transferPrefix(Folder, lists_.folders());
  if (prefix.empty()) return;
  lists_.transfer(prefix + std::string(row.substr(std::min<std::size_t>(3, row.size()))));
}

int PatrolWindow::findEligible(int from, int to) const {
  from = std::max(from, 0);
  to = std::min(to, rowCount() - 1);
  for (int i = from; i <= to; ++i) {
    const PatrolRow& r = CheckListBox1[std::size_t(i)];
    if (r.checked && flagEnabled(r.text, listFilter)) return i;
  }
  return -1;
}

namespace {

// The first eligible row scanning from `from` down to `to`.
int findEligibleDown(const PatrolWindow& w, int from, int to) {
  from = std::min(from, w.rowCount() - 1);
  to = std::max(to, 0);
  for (int i = from; i >= to; --i)
    if (w.findEligible(i, i) == i) return i;
  return -1;
}

}  // namespace

void PatrolWindow::tick() {
  // A transfer lets the window run, and its HAMLOG window has the foreground meanwhile: the
  // walk neither counts nor looks at the foreground until it is done.
  if (!Timer1Enabled || lists_.walkSuspended || lists_.transferring()) return;
  if (lists_.isForeground(*this)) {
    notForegroundTicks = 0;
  } else if (++notForegroundTicks > 3) {
    notForegroundTicks = 0;
    setPatrol(false);
    ProgressBar1 = 0;
    Paused = false;
    return;
  }
  if (Paused) return;
  const int rows = rowCount();
  if (LastSentRow != CurrentRow && rows > 0 && CurrentRow < rows) {
    if (CurrentRow >= 0) TransferPatrolRow(CheckListBox1[std::size_t(CurrentRow)].text);
    LastSentRow = CurrentRow;
  }
  if (rows == 0) {
    ProgressBar1 = 0;
    CurrentRow = 0;
    return;
  }
  if (ProgressBar1 >= Max) {
    int next = findEligible(CurrentRow + 1, rows - 1);
    if (next < 0) next = findEligible(0, CurrentRow - 1);
    if (next >= 0) CurrentRow = next;
    ProgressBar1 = 0;
  } else {
    ++ProgressBar1;
  }
}

void PatrolWindow::RestartWalkTiming() {
  Timer1Enabled = false;
  if (CheckBox1) {
    Paused = false;
    Timer1Enabled = true;
    Max = seconds() * 1000 / 100;
  }
  ProgressBar1 = 0;
}

void PatrolWindow::ResetPatrolChecks() {
  lists_.setFeedTimeNow();
  for (PatrolRow& r : CheckListBox1)
    r.checked = !marked(r.text) && r.text.size() > 3 && lists_.IsPatrolEligible(r.text, n);
  if (CheckListBox1.empty() || CurrentRow != -1) return;
  const int r = findEligible(0, rowCount() - 1);
  if (r < 0) return;
  CurrentRow = r;
  select(r);
  TransferPatrolRow(CheckListBox1[std::size_t(r)].text);
}

void PatrolWindow::setPatrol(bool on) {
  if (CheckBox1 == on) return;
  CheckBox1 = on;
  applyPatrolSwitch();
}

void PatrolWindow::applyPatrolSwitch() {
  LastSentRow = -1;
  RestartWalkTiming();
}

RowColour PatrolWindow::rowColour(int row) const {
  if (row == CurrentRow) return row == ItemIndex ? RowColour::Red : RowColour::Yellow;
  return row == ItemIndex ? RowColour::Selection : RowColour::Window;
}

// ------------------------------------------------------------------ commands

void PatrolWindow::stepToNextRow() {
  int found = findEligible(CurrentRow + 1, rowCount() - 1);
  if (found < 0) found = findEligible(0, CurrentRow);
  CurrentRow = found;
  ProgressBar1 = 0;
  if (CurrentRow < 0) return;
  select(CurrentRow);
  TransferPatrolRow(CheckListBox1[std::size_t(CurrentRow)].text);
}

void PatrolWindow::stepToPreviousRow() {
  int found = -1;
  if (CurrentRow > 0) found = findEligibleDown(*this, CurrentRow - 1, 0);
  if (found < 0) found = findEligibleDown(*this, rowCount() - 1, std::max(CurrentRow, 0));
  CurrentRow = found;
  ProgressBar1 = 0;
  if (CurrentRow < 0) return;
  select(CurrentRow);
  TransferPatrolRow(CheckListBox1[std::size_t(CurrentRow)].text);
}

void PatrolWindow::uncheckAll() { checkAll(false); }

void PatrolWindow::checkAll(bool on) {
  for (PatrolRow& r : CheckListBox1) r.checked = on;
}

void PatrolWindow::deleteAllRows() {
  CheckListBox1.clear();
  CurrentRow = -1;
  ItemIndex = -1;
}

void PatrolWindow::applyNewSwitch() {
  if (PatrolHost* h = lists_.host()) h->setMainNewSwitch(CheckBox2);
  lists_.setNewBoxes(CheckBox2, this);
  if (CheckBox2) lists_.FeedNewest();
}

void PatrolWindow::chooseWatchSeconds() {
  IntervalIndex = ComboBox1;
  RestartWalkTiming();
}

void PatrolWindow::suspendWalkForList() { lists_.walkSuspended = true; }
void PatrolWindow::resumeWalkAfterList() { lists_.walkSuspended = false; }

void PatrolWindow::stopAllPatrols() {
  lists_.stopPatrol(false);
  CheckBox2 = false;
  if (PatrolHost* h = lists_.host()) h->setMainNewSwitch(false);
  lists_.setNewBoxes(false, this);
}

void PatrolWindow::toggleRowCheck(int row) {
  if (row < 0 || row >= rowCount()) return;
  PatrolRow& r = CheckListBox1[std::size_t(row)];
  r.checked = !r.checked;
  RestartWalkTiming();
}

void PatrolWindow::transferOnDoubleClick() { transferSelectedRow(); }

void PatrolWindow::handleListKey(PatrolKey key, bool ctrl, bool alt) {
  if (ctrl || alt) return;
  if (key == PatrolKey::Delete) deleteSelectedRow();
  if (key == PatrolKey::Enter && ItemIndex >= 0) transferSelectedRow();
}

void PatrolWindow::transferSelectedRow() {
  setPatrol(false);
  Timer1Enabled = false;
  if (ItemIndex < 0 || ItemIndex >= rowCount()) return;
  CurrentRow = LastSentRow = ItemIndex;
  if (PatrolHost* h = lists_.host()) h->setMainNewSwitch(false);
  lists_.setNewBoxes(false, nullptr);
  TransferPatrolRow(CheckListBox1[std::size_t(ItemIndex)].text);
}

void PatrolWindow::conditionalTransfer() {
  if (CheckBox1 || CurrentRow < 0 || CurrentRow >= rowCount()) return;
  const PatrolRow& r = CheckListBox1[std::size_t(CurrentRow)];
  if (r.checked) TransferPatrolRow(r.text);
}

void PatrolWindow::deleteSelectedRow() {
  const int i = ItemIndex;
  if (i < 0 || i >= rowCount()) return;
  CheckListBox1.erase(CheckListBox1.begin() + i);
  if (CheckListBox1.empty()) {
    ItemIndex = -1;
    return;
  }
  if (i < rowCount()) {
    select(i);
    if (i < CurrentRow && CurrentRow > 0) {
      --CurrentRow;
      conditionalTransfer();
    } else if (i == CurrentRow && CurrentRow > 0) {
      conditionalTransfer();
    }
    return;
  }
  select(rowCount() - 1);
  CurrentRow = rowCount() - 1;
  conditionalTransfer();
}

void PatrolWindow::markAndSkip() {
  if (ItemIndex < 0 || ItemIndex >= rowCount()) return;
  PatrolRow& r = CheckListBox1[std::size_t(ItemIndex)];
  if (r.text.size() < 4) return;
  if (r.text[3] == '_') {
    r.text[3] = '*';
    r.checked = false;
  } else {
    r.text[3] = '_';
    r.checked = lists_.IsPatrolEligible(r.text, n);
  }
}

// ------------------------------------------------------------------ popup menu

void PatrolWindow::prepareMenu() {
  Paused = true;
  const settings::SharedFirstSettings& shared = lists_.settings().shared;
  menu.clear();
  for (const PatrolMenuItem& item : patrolMenuItems())
    if (!item.name.empty()) menu[item.name] = {text::sj(item.caption), true, false};
  auto check = [this](const char* name, bool on) { menu[name].checked = on; };
  check("newN1", CheckBox2);
  check("newOFF1", !CheckBox2);
  check("P1", CheckBox1);
  check("N12", CheckBox6);
  check("N4", CheckBox7);
  check("N11", CheckBox3);
  check("N21", CheckBox4);
  check("N31", CheckBox5);
  check("N25", shared.TIMEOVER_CHK);
  const int s = seconds();
  menu["N13"].caption = text::sj(numbered("ワッチ(%d秒)", s));
  menu["LogALLnew1"].caption = text::sj(numbered("LogALL new (%d件)", shared.NEW_STNS));
  menu["N22"].caption = text::sj(numbered("時間経過設定(%d分)", shared.TIMEOVER_MIN));
  check("N1101", s >= 1 && s <= 10);
  check("N11201", s >= 11 && s <= 20);
  check("N21301", s >= 21 && s <= 30);
  check("N14", s >= 31);
  for (const PatrolMenuItem& item : patrolMenuItems()) {
    if (item.number == 0) continue;
    const int value = item.name.rfind("sec", 0) == 0     ? s
                      : item.name.rfind("count", 0) == 0 ? shared.NEW_STNS
                                                         : shared.TIMEOVER_MIN;
    menu[item.name].checked = item.number == value;
  }
  const bool rows = !CheckListBox1.empty();
  menu["menu_MarkAndSkip"].enabled = rows;
  menu["menu_MarkAndSkip"].checked = rows && ItemIndex >= 0 && ItemIndex < rowCount() &&
                                     marked(CheckListBox1[std::size_t(ItemIndex)].text);
  for (const char* name : {"N6", "N7", "N37", "N38", "C1", "N20"}) menu[name].enabled = rows;
  PatrolHost* h = lists_.host();
  menu["N15"].enabled = h && h->autoPatrolSelected();
}

void PatrolWindow::menuClick(std::string_view name) {
  const auto& items = patrolMenuItems();
  const auto it = std::find_if(items.begin(), items.end(),
                               [name](const PatrolMenuItem& i) { return i.name == name; });
  if (it == items.end()) return;
  settings::SharedFirstSettings& shared = lists_.settings().shared;
  if (it->number > 0) {
    if (name.rfind("sec", 0) == 0) ComboBox1 = it->number - 1;  // shown; used at the next restart
    if (name.rfind("count", 0) == 0) shared.NEW_STNS = it->number;
    if (name.rfind("age", 0) == 0) shared.TIMEOVER_MIN = it->number;
    return;
  }
  PatrolHost* h = lists_.host();
  if (name == "menu_MarkAndSkip")
    markAndSkip();
  else if (name == "N7")
    ResetPatrolChecks();
  else if (name == "N4") {
    CheckBox7 = !CheckBox7;
    applyAutoReset();
  } else if (name == "N6")
    deleteAllRows();
  else if (name == "N37")
    deleteSelectedRow();
  else if (name == "N38")
    handleListKey(PatrolKey::Enter, false, false);
  else if (name == "C1")
    checkAll(true);
  else if (name == "N20")
    checkAll(false);
  else if (name == "P1")
    setPatrol(!CheckBox1);
  else if (name == "N3")
    stopAllPatrols();
  else if (name == "newN1") {
    CheckBox2 = true;
    applyNewSwitch();
  } else if (name == "newOFF1")
    CheckBox2 = false;
  else if (name == "N11")
    CheckBox3 = !CheckBox3;
  else if (name == "N21")
    CheckBox4 = !CheckBox4;
  else if (name == "N31")
    CheckBox5 = !CheckBox5;
  else if (name == "N8")
    stepToNextRow();
  else if (name == "N9")
    stepToPreviousRow();
  else if (name == "N12")
    CheckBox6 = !CheckBox6;
  else if (name == "N15" && h)
    h->manualAccess();
  else if (name == "CLR1" && h)
    h->clearLog();
  else if (name == "SAVE1" && h)
    h->saveSettings();
}

}  // namespace zeltaro::patrol
