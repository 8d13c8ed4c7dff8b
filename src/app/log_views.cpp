// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log_views.h"

#include "platform/clipboard.h"
#include "views/log_font.h"

namespace zeltaro::app {

using views::Pane;

views::LogPanes LogViews::logPanes() {
  return {Memo_Log, Memo_Log2, Memo_Log3, Memo_Log4, Memo_Log5};
}

views::LogFilter LogViews::checkedFilter() const {
  using views::LogFilter;
  return RadioButton2   ? LogFilter::List1
         : RadioButton3 ? LogFilter::List2
         : RadioButton4 ? LogFilter::List3
         : RadioButton5 ? LogFilter::Stacked
                        : LogFilter::All;
}

int LogViews::columnCount() const { return ComboBox1 >= 0 && ComboBox1 <= 28 ? ComboBox1 + 2 : 1; }

void LogViews::refreshViews() {
  std::function<void()> feed;
  if (PatrolListsLink* lists = services_.patrolLists) feed = [lists] { lists->feedNewest(); };
  views::refreshViews(logPanes(), columnCount(), WelcomeText, feed);
}

void LogViews::refreshPanes() {
  Memo_Log.scrollToTop();
  refreshViews();
  for (Pane* p : {&Memo_Log2, &Memo_Log3, &Memo_Log4, &Memo_Log5}) p->scrollToTop();
}

void LogViews::capLog() {
  if (Memo_Log.lines.size() > kLogCap) Memo_Log.lines.resize(kLogCap);
}

void LogViews::scrollAllToTop() {
  for (Pane* p : {&Memo_Log, &Memo_Log2, &Memo_Log3, &Memo_Log4, &Memo_Log5}) p->scrollToTop();
}

void LogViews::clearPanes() { views::clearPanes(logPanes()); }

void LogViews::ApplyDisplayMode() {
  views::ApplyDisplayMode(logPanes(), radioDisp2, checkedFilter());
}

void LogViews::LayOutLogPanes() { views::LayOutLogPanes(logPanes(), radioDisp2, checkedFilter()); }

void LogViews::checkFilterButton(views::LogFilter filter) {
  using views::LogFilter;
  RadioButton1 = filter == LogFilter::All;
  RadioButton2 = filter == LogFilter::List1;
  RadioButton3 = filter == LogFilter::List2;
  RadioButton4 = filter == LogFilter::List3;
  RadioButton5 = filter == LogFilter::Stacked;
}

void LogViews::filterButtonClick(views::LogFilter filter) {
  checkFilterButton(filter);
  Log123 = static_cast<int>(filter);
  LayOutLogPanes();
}

void LogViews::radioDisp1Click() {
  radioDisp1 = true;
  radioDisp2 = false;
  ApplyDisplayMode();
}

void LogViews::radioDisp2Click() {
  radioDisp1 = false;
  radioDisp2 = true;
  ApplyDisplayMode();
}

void LogViews::applyLogFont() {
  const std::optional<views::PaneFont> font = views::fontOfItem(ComboBox2);
  if (!font) {
    ComboBox2 = -1;
    return;
  }
  for (Pane* p : {&Memo_Log, &Memo_Log2, &Memo_Log3, &Memo_Log4, &Memo_Log5}) p->font = *font;
  if (services_.patrolLists) services_.patrolLists->applyFont(*font);
}

void LogViews::applyConfigSwitch() {
  views::showConfig(layout, CheckBox1, Height);
  layOutLogArea();
  LayOutLogPanes();
}

void LogViews::fitToWindowSize(bool layOutPanes) {
  views::fitToWindowSize(layout, Width, Height, CheckBox1);
  layOutLogArea();
  layOutWatchListArea();
  layOutSettingsArea();
  if (layOutPanes) LayOutLogPanes();
}

void LogViews::layOutLogArea() { views::layOutLogArea(layout, logPanes()); }
void LogViews::layOutWatchListArea() { views::layOutWatchListArea(layout); }
void LogViews::layOutSettingsArea() { views::layOutSettingsArea(layout); }

void LogViews::applyWindowGeometry(bool layOutPanes) {
  views::showConfig(layout, CheckBox1, Height);
  fitToWindowSize(layOutPanes);
}

void LogViews::copySelection() {
  if (Pane* p = views::menuPane(logPanes()); p && services_.clipboard)
    services_.clipboard->copy(views::selectedText(*p));
}

void LogViews::selectWholeLog() {
  if (Pane* p = views::menuPane(logPanes())) views::selectAll(*p);
}

void LogViews::paneKeyDown(Pane& pane, char key, bool ctrl) {
  if (!ctrl) return;
  if (key == 'A') views::selectAll(pane);
  if (key == 'C' && services_.clipboard) services_.clipboard->copy(views::selectedText(pane));
}

void LogViews::prepareLogMenu(int newStations) {
  logMenu = views::prepareLogMenu(logPanes(), patrolListsReady, newStations, CheckBox2);
}

void LogViews::feedPatrolListsReplacing(int focusedPane) {
  if (services_.patrolLists && focusedPane >= 0 && focusedPane <= 3)
    services_.patrolLists->feed(false, focusedPane);
}

void LogViews::feedPatrolListsAppending(int focusedPane) {
  if (services_.patrolLists && focusedPane >= 0 && focusedPane <= 3)
    services_.patrolLists->feed(true, focusedPane);
}

void LogViews::applyNewSwitch() {
  if (services_.patrolLists) services_.patrolLists->newSwitched(CheckBox2, false);
}

void LogViews::toggleNewSwitch() {
  CheckBox2 = !CheckBox2;
  if (services_.patrolLists) services_.patrolLists->newSwitched(CheckBox2, true);
}

}  // namespace zeltaro::app
