// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window (the design's TForm1). Thin: every control is bound to its field of MainModel and
// forwards its events to the model's handlers; after each handler and each Timer1 tick the model's
// state is shown again. The rules of the window (layout, panes, lamps) live in the model.

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "app/settings_table.h"
#include "binder/binder.h"
#include "platform/qt_clipboard.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace zeltaro::app::ui {

class ClickLabel;
class LogPane;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Runs the construction step and then the model's start-up sequence with args (the whole
  // command line, program path first, CP932 bytes).
  MainWindow(MainModel& model, const std::vector<std::string>& args, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Shows the model's caption.
  void refreshCaption();
  // Shows the model's state in every control.
  void syncFromModel();

  // A control by its name (edtURL1, btnChkUrl1, Memo_Log3, Label13, Panel1 ...), for tests and
  // tools; null when there is none.
  QWidget* control(const QString& name) const;

 signals:
  // The window has been closed and the model's close sequence has run: the run is over.
  void closed();
  // The operator edited the separators, the extraction template or the Body.
  void pageSettingsEdited();

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void tick();
  // Runs a handler of the model, then shows the model.
  void run(const std::function<void()>& handler);
  void build();
  void buildLogArea();
  void buildPageArea();
  void buildSettingsArea();
  void buildListArea();
  void takeWindowGeometry();
  // Moves and sizes the window when the model's Left, Top, Width or Height have changed since
  // the window last showed or took them (a reload of the settings).
  void applyModelGeometry();

  // A panel; holds says what it holds, for its accessible name.
  QFrame* panel(const QString& name, const char* holds, QWidget* parent);
  QLabel* label(QWidget* parent, const QRect& r, const QString& caption, const QString& hint = {});
  QCheckBox* check(QWidget* parent, const QRect& r, const QString& name, const QString& caption,
                   const QString& hint, bool& field, std::function<void()> handler = {});
  QPushButton* button(QWidget* parent, const QRect& r, const QString& name, const QString& caption,
                      const QString& hint, std::function<void()> handler);
  QRadioButton* radio(QWidget* parent, const QRect& r, const QString& name, const QString& caption,
                      const QString& hint, const bool& field, std::function<void()> handler);
  // The control of the settings row of that control name, bound to its field.
  QWidget* bound(QWidget* parent, const QRect& r, const char* controlName,
                 std::function<void()> handler = {}, const QStringList& items = {});
  ClickLabel* lamp(QWidget* parent, const QRect& r, const QString& name,
                   const alerts::LampLabel& state, std::function<void()> onClick);

  MainModel& model_;
  QTimer timer1_;
  bool closed_ = false;
  std::array<int, 4> shownGeometry_{};  // Left, Top, Width, Height as the window has them
  bool placed_ = false;  // the window stands where the settings put it; later moves are the user's
  QWidget* client_ = nullptr;
  binder::Binder binder_;
  platform::QtClipboard clipboard_;
  std::map<QObject*, std::function<void()>> onDoubleClick_;  // interval buttons
  std::vector<LogPane*> panes_;
  LogPane* popupPane_ = nullptr;
};

}  // namespace zeltaro::app::ui
