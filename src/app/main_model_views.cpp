// The main window model's log views and window layout handlers; the rules themselves live in
// views/.
#include "app/main_model.h"
#include "platform/clipboard.h"
#include "views/log_font.h"

namespace zeltaro::app {

views::LogPanes MainModel::logPanes() {
  return {Memo_Log, Memo_Log2, Memo_Log3, Memo_Log4, Memo_Log5};
}

views::LogFilter MainModel::checkedFilter() const {
  using views::LogFilter;
  return RadioButton2   ? LogFilter::List1
         : RadioButton3 ? LogFilter::List2
         : RadioButton4 ? LogFilter::List3
         : RadioButton5 ? LogFilter::Stacked
                        : LogFilter::All;
}

int MainModel::columnCount() const { return ComboBox1 >= 0 && ComboBox1 <= 28 ? ComboBox1 + 2 : 1; }

void MainModel::RefreshLogViews() {
  std::function<void()> feed;
  if (PatrolListsLink* lists = services_.patrolLists) feed = [lists] { lists->feedNewest(); };
  views::RefreshLogViews(logPanes(), columnCount(), WelcomeText, feed);
}

void MainModel::stopPatrolForTransfer(bool alsoNew) {
  if (services_.patrolLists) services_.patrolLists->stopPatrol(alsoNew);
  if (alsoNew) CheckBox2 = false;
  LastActiveWindow = MainWindow;
}

void MainModel::Memo_LogDblClick() {
  const auto line = views::caretLine(Memo_Log);
  if (!line) return;
  stopPatrolForTransfer(false);
  if (*line >= Memo_Log2.lines.size()) return;
  if (services_.transfer) services_.transfer->TransferLine(Memo_Log2.lines[*line]);
}

void MainModel::logPaneDoubleClick(const Pane& pane, bool alsoNew) {
  const auto line = views::caretLine(pane);
  if (!line) return;
  stopPatrolForTransfer(alsoNew);
  if (services_.transfer) services_.transfer->TransferLine(pane.lines[*line]);
}

void MainModel::ApplyDisplayMode() {
  views::ApplyDisplayMode(logPanes(), radioDisp2, checkedFilter());
}

void MainModel::LayOutLogPanes() { views::LayOutLogPanes(logPanes(), radioDisp2, checkedFilter()); }

void MainModel::checkFilterButton(views::LogFilter filter) {
  using views::LogFilter;
  RadioButton1 = filter == LogFilter::All;
  RadioButton2 = filter == LogFilter::List1;
  RadioButton3 = filter == LogFilter::List2;
  RadioButton4 = filter == LogFilter::List3;
  RadioButton5 = filter == LogFilter::Stacked;
}

void MainModel::filterButtonClick(views::LogFilter filter) {
  checkFilterButton(filter);
  Log123 = static_cast<int>(filter);
  LayOutLogPanes();
}

void MainModel::radioDisp1Click() {
  radioDisp1 = true;
  radioDisp2 = false;
  ApplyDisplayMode();
}

void MainModel::radioDisp2Click() {
  radioDisp1 = false;
  radioDisp2 = true;
  ApplyDisplayMode();
}

void MainModel::ComboBox2Change() {
  const std::optional<views::PaneFont> font = views::fontOfItem(ComboBox2);
  if (!font) {
    ComboBox2 = -1;
    return;
  }
  for (Pane* p : {&Memo_Log, &Memo_Log2, &Memo_Log3, &Memo_Log4, &Memo_Log5}) p->font = *font;
  if (services_.patrolLists) services_.patrolLists->applyFont(*font);
}

void MainModel::CheckBox1Click() {
  views::showConfig(layout, CheckBox1, Height);
  Panel1Resize();
  LayOutLogPanes();
}

void MainModel::Button1Click() {
  lamps.clearColours();
  views::clearPanes(logPanes());
  MailText.clear();
}

void MainModel::FormResize() {
  views::FormResize(layout, Width, Height, CheckBox1);
  Panel1Resize();
  Panel3Resize();
  Panel4Resize();
  if (startUpDone) LayOutLogPanes();
}

void MainModel::Panel1Resize() { views::Panel1Resize(layout, logPanes()); }
void MainModel::Panel3Resize() { views::Panel3Resize(layout); }
void MainModel::Panel4Resize() { views::Panel4Resize(layout); }

void MainModel::applyWindowGeometry() {
  // The settings just read: the "Config" state and the window size, as their controls'
  // events would apply them.
  views::showConfig(layout, CheckBox1, Height);
  FormResize();
}

void MainModel::menu_CopyClick() {
  if (Pane* p = views::menuPane(logPanes()); p && services_.clipboard)
    services_.clipboard->copy(views::selectedText(*p));
}

void MainModel::menu_AllClick() {
  if (Pane* p = views::menuPane(logPanes())) views::selectAll(*p);
}

void MainModel::Memo_LogKeyDown(Pane& pane, char key, bool ctrl) {
  if (!ctrl) return;
  if (key == 'A') views::selectAll(pane);
  if (key == 'C' && services_.clipboard) services_.clipboard->copy(views::selectedText(pane));
}

void MainModel::PopupMenu1Popup() {
  popupMenu1 = views::PopupMenu1Popup(logPanes(), patrolListsReady,
                                      static_cast<int>(station.shared.NEW_STNS), CheckBox2);
}

}  // namespace zeltaro::app
