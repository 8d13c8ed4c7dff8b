// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A transfer patrol list window (the design's TForm4); three exist for the whole run, hidden until
// fed. Thin: the controls are bound to the window's model (patrol::PatrolWindow), the entry list is
// drawn here from the model's rows and colours.

#include <QSet>
#include <QTimer>
#include <QWidget>
#include <map>
#include <string>

#include "app/main_model.h"
#include "app/patrol_binding.h"
#include "binder/binder.h"

class QMenu;
class QAction;
class QProgressBar;
class QComboBox;

namespace zeltaro::app::ui {

class PatrolListWidget;

class PatrolListWindow : public QWidget, public patrol::PatrolWindowView {
  Q_OBJECT

 public:
  // Window n (1-3) of the patrol lists; created hidden with its saved settings.
  PatrolListWindow(MainModel& model, PatrolListsBinding& lists, int n, QWidget* parent = nullptr);
  ~PatrolListWindow() override;

  patrol::PatrolWindow& window() { return window_; }
  // Shows the model's state.
  void syncFromModel();
  // A control by its name (Button5, CheckBox1, ComboBox1, CheckListBox1, ProgressBar1 ...).
  QWidget* control(const QString& name) const;
  // The popup menu (built once; prepared each time it opens).
  QMenu* popupMenu() const { return menu_; }
  QAction* menuAction(const std::string& name) const;

  // PatrolWindowView
  void showAndRaise() override;
  bool isForeground() const override;
  void showFont() override;

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void build();
  void buildMenu();
  void prepareMenu();
  // Runs a handler of the window's model, then shows every window again.
  void run(const std::function<void()>& handler);
  void takeGeometry();
  // Delete and Enter act in the list and on these panel controls only.
  bool acceptsPatrolKeys(const QWidget* w) const;

  MainModel& model_;
  PatrolListsBinding& lists_;
  patrol::PatrolWindow& window_;
  binder::Binder binder_;
  PatrolListWidget* list_ = nullptr;
  QWidget* panel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QComboBox* seconds_ = nullptr;
  QMenu* menu_ = nullptr;
  std::map<std::string, QAction*> actions_;
  QSet<const QObject*> keyTargets_;
  QTimer walk_, reset_;
  bool stayOnTopShown_ = false;
  bool placing_ = false;
};

}  // namespace zeltaro::app::ui
