// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/patrol_list_window.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include "binder/qt_text.h"
#include "gui/log_pane.h"
#include "gui/window_role.h"

namespace zeltaro::app::ui {

using binder::qs;

// The entry list (CheckListBox1): owner-drawn rows of a fixed height, a check box in the
// margin, the current row in yellow, or red when it is also the selected row.
class PatrolListWidget : public QAbstractScrollArea {
 public:
  PatrolListWidget(patrol::PatrolWindow& w, QWidget* parent) : QAbstractScrollArea(parent), w_(w) {
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
  }
  std::function<void(int)> onCheck, onSelect;
  std::function<void()> onDoubleClick;
  std::function<void(patrol::PatrolKey)> onKey;

  static constexpr int kMargin = 18;  // the check box's strip left of the text area
  int rowHeight() const { return std::max(1, w_.ItemHeight); }
  int rowAt(int y) const { return y / rowHeight() + verticalScrollBar()->value(); }
  void syncFromModel() {
    if (w_.font != shownFont_) {
      setFont(logFont(w_.font));
      shownFont_ = w_.font;
    }
    const int visibleRows = std::max(1, viewport()->height() / rowHeight());
    verticalScrollBar()->setRange(0, std::max(0, w_.rowCount() - visibleRows));
    verticalScrollBar()->setPageStep(visibleRows);
    viewport()->update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(viewport());
    const QPalette& pal = palette();
    const QColor window = pal.color(QPalette::Base);
    p.fillRect(viewport()->rect(), window);
    const int h = rowHeight();
    const int first = verticalScrollBar()->value();
    for (int row = first; row < w_.rowCount(); ++row) {
      const int top = (row - first) * h;
      if (top > viewport()->height()) break;
      const patrol::PatrolRow& r = w_.CheckListBox1[std::size_t(row)];
      const QRect text(kMargin, top, viewport()->width() - kMargin, h);
      QColor back = window, fore = pal.color(QPalette::Text);
      switch (w_.rowColour(row)) {
        case patrol::RowColour::Red:
          back = QColor(255, 0, 0);
          break;
        case patrol::RowColour::Yellow:
          back = QColor(255, 255, 0);
          break;
        case patrol::RowColour::Selection:
          back = pal.color(QPalette::Highlight);
          fore = pal.color(QPalette::HighlightedText);
          break;
        case patrol::RowColour::Window:
          break;
      }
      p.fillRect(text, back);
      p.setPen(fore);
      p.drawText(text.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                 qs(r.text));
      QStyleOptionButton box;
      box.rect = QRect(3, top + (h - 13) / 2, 13, 13);
      box.state = QStyle::State_Enabled | (r.checked ? QStyle::State_On : QStyle::State_Off);
      style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, &p, this);
      // The margin's edges in the window colour, as the row's frame would leave them.
      p.fillRect(QRect(0, top, kMargin, 1), window);
      p.fillRect(QRect(0, top + h - 1, kMargin, 1), window);
      p.fillRect(QRect(0, top, 2, h), window);
      p.fillRect(QRect(kMargin - 2, top, 2, h), window);
    }
  }
  void mousePressEvent(QMouseEvent* e) override {
    const int row = rowAt(int(e->position().y()));
    if (row >= w_.rowCount()) return;
    // Only the left button selects or checks; a right-click opens the menu over the row that
    // is already selected, whose commands act on that row.
    if (e->button() != Qt::LeftButton) return;
    if (e->position().x() < kMargin) {
      if (onCheck) onCheck(row);
    } else if (onSelect) {
      onSelect(row);
    }
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && e->position().x() >= kMargin && onDoubleClick)
      onDoubleClick();
  }
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) {
      const int row = std::clamp(w_.ItemIndex + (e->key() == Qt::Key_Up ? -1 : 1), 0,
                                 std::max(0, w_.rowCount() - 1));
      if (w_.rowCount() > 0 && onSelect) onSelect(row);
      return;
    }
    QAbstractScrollArea::keyPressEvent(e);
  }
  void resizeEvent(QResizeEvent* e) override {
    QAbstractScrollArea::resizeEvent(e);
    syncFromModel();
  }

 private:
  patrol::PatrolWindow& w_;
  views::PaneFont shownFont_{0, 0};
};

namespace {

// The watch-seconds list: its drop-down suspends every window's walk while it is open. The
// list can close without hidePopup (a click outside it, the window hidden), so the close-up is
// taken from the hiding of the list's own window.
class SecondsCombo : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<void()> onDropDown, onCloseUp;
  void showPopup() override {
    if (onDropDown) onDropDown();
    dropped_ = true;
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    if (popup != window() && popup != watched_) {
      popup->installEventFilter(this);
      watched_ = popup;
    }
    if (!popup->isVisible()) closeUp();
  }
  void hidePopup() override {
    QComboBox::hidePopup();
    closeUp();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched == watched_ && e->type() == QEvent::Hide) closeUp();
    return QComboBox::eventFilter(watched, e);
  }
  void hideEvent(QHideEvent* e) override {
    QComboBox::hideEvent(e);
    closeUp();
  }

 private:
  void closeUp() {
    if (!dropped_) return;
    dropped_ = false;
    if (onCloseUp) onCloseUp();
  }
  bool dropped_ = false;
  QObject* watched_ = nullptr;
};

}  // namespace

PatrolListWindow::PatrolListWindow(MainModel& model, PatrolListsBinding& lists, int n,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), lists_(lists), window_(lists.lists().window(n)) {
  announceWidgetWindowsAsWindows();
  window_.createWithFont(model_.logViews.Memo_Log2.font);
  lists_.lists().setView(n, this);
  build();
  buildMenu();
  placing_ = true;
  move(window_.Left, window_.Top);
  resize(window_.Width, window_.Height);
  placing_ = false;
  walk_.setInterval(100);
  connect(&walk_, &QTimer::timeout, this, [this] {
    if (window_.Timer1Enabled) run([this] { window_.tick(); });
  });
  walk_.start();
  reset_.setInterval(3000);
  connect(&reset_, &QTimer::timeout, this, [this] {
    if (window_.Timer2Enabled) run([this] { window_.autoReset(); });
  });
  reset_.start();
  syncFromModel();
}

PatrolListWindow::~PatrolListWindow() { lists_.lists().setView(window_.n, nullptr); }

QWidget* PatrolListWindow::control(const QString& name) const { return binder_.control(name); }

QAction* PatrolListWindow::menuAction(const std::string& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void PatrolListWindow::run(const std::function<void()>& handler) {
  binder_.run(handler);
  if (lists_.afterChange)
    lists_.afterChange();
  else
    syncFromModel();
}

void PatrolListWindow::build() {
  patrol::PatrolWindow& w = window_;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  panel_ = new QWidget(this);
  panel_->setFixedHeight(30);
  panel_->setMouseTracking(true);
  layout->addWidget(panel_);
  auto t = [](const char* name, const char* caption, const char* hint = "") {
    return binder::ControlText{QString::fromLatin1(name), QString::fromUtf8(caption),
                               QString::fromUtf8(hint)};
  };
  int x = 4;
  auto next = [&x](int width) {
    const QRect r(x, 4, width, 22);
    x += width + 2;
    return r;
  };
  auto runner = [this](std::function<void()> h) { return [this, h] { run(h); }; };
  binder_.button(panel_, next(24), t("Button5", "▼", "次の行を転送"),
                 runner([&w] { w.stepToNextRow(); }));
  binder_.button(panel_, next(24), t("Button6", "▲", "前の行を転送"),
                 runner([&w] { w.stepToPreviousRow(); }));
  binder_.button(panel_, next(58), t("Button1", "再セット"), runner([&w] { w.resetNow(); }));
  binder_.check(panel_, next(46), t("CheckBox7", "自動"), w.CheckBox7, [this, &w] {
    w.applyAutoReset();
    if (lists_.afterChange) lists_.afterChange();
  });
  binder_.button(panel_, next(50), t("Button2", "全解除"), runner([&w] { w.uncheckAll(); }));
  binder_.button(panel_, next(50), t("Button4", "全削除"), runner([&w] { w.deleteAllRows(); }));
  binder_.check(panel_, next(46), t("CheckBox2", "new"), w.CheckBox2, [this, &w] {
    w.applyNewSwitch();
    if (lists_.afterChange) lists_.afterChange();
  });
  binder_.check(panel_, next(46), t("CheckBox1", "巡回"), w.CheckBox1,
                [&w] { w.applyPatrolSwitch(); });
  progress_ = new QProgressBar(panel_);
  progress_->setGeometry(next(60));
  progress_->setTextVisible(false);
  binder_.describe(progress_, t("ProgressBar1", "", "巡回の経過"));
  binder_.check(panel_, next(28), t("CheckBox3", "1"), w.CheckBox3);
  binder_.check(panel_, next(28), t("CheckBox4", "2"), w.CheckBox4);
  binder_.check(panel_, next(28), t("CheckBox5", "3"), w.CheckBox5);
  binder_.label(panel_, next(40), QString::fromUtf8("ワッチ"));
  auto* combo = new SecondsCombo(panel_);
  combo->setGeometry(next(52));
  for (int s = 1; s <= 300; ++s) combo->addItem(QString::asprintf("%3d", s));
  binder_.describe(combo, t("ComboBox1", "", "ワッチ秒"));
  combo->onDropDown = [&w] { w.suspendWalkForList(); };
  combo->onCloseUp = [&w] { w.resumeWalkAfterList(); };
  connect(combo, &QComboBox::activated, this, [this, &w](int i) {
    run([&w, i] {
      w.ComboBox1 = i;
      w.chooseWatchSeconds();
    });
  });
  seconds_ = combo;
  binder_.label(panel_, next(16), QString::fromUtf8("秒"));
  binder_.button(panel_, next(76), t("Button3", "全巡回解除"),
                 runner([&w] { w.stopAllPatrols(); }));
  // Stay on top changes the window style at once.
  binder_.check(panel_, next(60), t("CheckBox6", "最前面"), w.CheckBox6,
                [this] { syncFromModel(); });

  list_ = new PatrolListWidget(w, this);
  binder_.describe(list_, t("CheckListBox1", "", "巡回転送リスト"));
  list_->installEventFilter(this);
  list_->viewport()->installEventFilter(this);
  list_->onCheck = [this, &w](int row) {
    run([&w, row] {
      w.ItemIndex = row;
      w.toggleRowCheck(row);
    });
  };
  list_->onSelect = [this, &w](int row) { run([&w, row] { w.ItemIndex = row; }); };
  list_->onDoubleClick = [this, &w] { run([&w] { w.transferOnDoubleClick(); }); };
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { menu_->popup(list_->mapToGlobal(at)); });
  layout->addWidget(list_, 1);
  // Delete and Enter work in the list and on the panel's buttons, on "巡回", on "new" and on
  // the seconds list; not on the other boxes. The panel itself is watched for the pointer.
  panel_->installEventFilter(this);
  for (QWidget* c : panel_->findChildren<QWidget*>())
    if (acceptsPatrolKeys(c)) {
      c->installEventFilter(this);
      keyTargets_.insert(c);
    }
  keyTargets_.insert(list_);
  setMinimumSize(200, 80);
}

void PatrolListWindow::buildMenu() {
  menu_ = new QMenu(this);
  std::map<std::string, QMenu*> submenus;
  for (const patrol::PatrolMenuItem& item : patrol::patrolMenuItems()) {
    QMenu* parent = item.parent.empty() ? menu_ : submenus[item.parent];
    if (item.name.empty()) {
      parent->addSeparator();
      continue;
    }
    const QString caption = QString::fromUtf8(item.caption.c_str());
    if (item.submenu) {
      QMenu* sub = parent->addMenu(caption);
      submenus[item.name] = sub;
      actions_[item.name] = sub->menuAction();
      continue;
    }
    QAction* a = parent->addAction(caption);
    actions_[item.name] = a;
    const std::string name = item.name;
    connect(a, &QAction::triggered, this,
            [this, name] { run([this, name] { window_.menuClick(name); }); });
  }
  connect(menu_, &QMenu::aboutToShow, this, [this] { prepareMenu(); });
}

void PatrolListWindow::prepareMenu() {
  window_.prepareMenu();
  for (const auto& [name, state] : window_.menu) {
    QAction* a = menuAction(name);
    if (!a) continue;
    a->setText(qs(state.caption));
    a->setEnabled(state.enabled);
    // A mark only where one is due, as the platform's menus show it.
    a->setCheckable(state.checked);
    a->setChecked(state.checked);
  }
}

void PatrolListWindow::syncFromModel() {
  const patrol::PatrolWindow& w = window_;
  const QString title = qs(w.Caption);
  if (windowTitle() != title) setWindowTitle(title);
  if (w.CheckBox6 != stayOnTopShown_) {
    stayOnTopShown_ = w.CheckBox6;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, w.CheckBox6);
    if (shown) show();
  }
  if (progress_->maximum() != w.Max) progress_->setMaximum(std::max(1, w.Max));
  if (progress_->value() != w.ProgressBar1) progress_->setValue(std::min(w.ProgressBar1, w.Max));
  if (seconds_->currentIndex() != w.ComboBox1 && w.ComboBox1 >= 0 && w.ComboBox1 < 300)
    seconds_->setCurrentIndex(w.ComboBox1);
  binder_.sync();
  list_->syncFromModel();
  if (!w.Visible && isVisible()) hide();
}

void PatrolListWindow::showAndRaise() {
  show();
  raise();
  activateWindow();
  model_.LastActiveWindow = this;
}

bool PatrolListWindow::isForeground() const {
  if (isActiveWindow()) return true;
  // While this window's own popup (its menu, a submenu, the seconds list) is open, the window
  // stays the one in front: the popup is part of it, not another program.
  for (QWidget* w = QApplication::activePopupWidget(); w; w = w->parentWidget())
    if (w == this) return true;
  return false;
}

bool PatrolListWindow::acceptsPatrolKeys(const QWidget* w) const {
  if (qobject_cast<const QPushButton*>(w) || w == seconds_) return true;
  const QString name = w->objectName();
  return name == QLatin1String("CheckBox1") || name == QLatin1String("CheckBox2");
}

void PatrolListWindow::showFont() { list_->syncFromModel(); }

bool PatrolListWindow::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) model_.LastActiveWindow = this;
  // The mouse over the title bar lets the walk go on.
  if (e->type() == QEvent::NonClientAreaMouseMove) window_.clearPaused();
  return QWidget::event(e);
}

bool PatrolListWindow::eventFilter(QObject* watched, QEvent* e) {
  if (!list_) return QWidget::eventFilter(watched, e);  // still being built
  const bool overList = watched == list_ || watched == list_->viewport();
  if ((e->type() == QEvent::MouseMove || e->type() == QEvent::Enter) &&
      (overList || watched == panel_))
    window_.clearPaused();
  // The focus the opening menu itself takes is no reason to go on.
  if (e->type() == QEvent::FocusOut && watched == list_ &&
      static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason)
    window_.clearPaused();
  if (e->type() == QEvent::KeyPress && keyTargets_.contains(watched)) {
    auto* k = static_cast<QKeyEvent*>(e);
    const bool ctrlAlt = k->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (k->key() == Qt::Key_Delete || k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      const patrol::PatrolKey key =
          k->key() == Qt::Key_Delete ? patrol::PatrolKey::Delete : patrol::PatrolKey::Enter;
      if (ctrlAlt) return false;
      run([this, key] { window_.handleListKey(key, false, false); });
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

void PatrolListWindow::takeGeometry() {
  if (placing_ || !isVisible()) return;
  window_.Left = x();
  window_.Top = y();
  window_.Width = width();
  window_.Height = height();
}

void PatrolListWindow::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  takeGeometry();
}

void PatrolListWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  takeGeometry();
}

void PatrolListWindow::closeEvent(QCloseEvent* e) {
  takeGeometry();
  window_.closeByOperator();
  if (lists_.afterChange) lists_.afterChange();
  QWidget::closeEvent(e);
}

}  // namespace zeltaro::app::ui
