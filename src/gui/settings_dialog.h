// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings dialog (the design's TForm2): four tabs of controls bound by name to the dialog's
// model, which is filled from the program's settings at each opening and copied back at each
// closing.

#include <QDialog>
#include <memory>

#include "app/main_model.h"
#include "binder/binder.h"
#include "settings_dialog/dialog_model.h"

class QComboBox;
class QGroupBox;
class QTabWidget;

namespace zeltaro::platform {
class FileDialog;
class MessageBox;
}  // namespace zeltaro::platform

namespace zeltaro::app::ui {

class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // Services left null are the desktop's own (folder dialog, message box, the Wine prefix of
  // $WINEPREFIX or ~/.wine).
  explicit SettingsDialog(MainModel& model, QWidget* parent = nullptr,
                          settingsdialog::DialogServices services = {});
  ~SettingsDialog() override;

  // Button3Click of the main window: placed 4 px right of and below its top-left corner,
  // filled, and shown modally until closed.
  void showModalFrom(QWidget* mainWindow);

  QWidget* control(const QString& name) const { return binder_.control(name); }
  QTabWidget* tabs() const { return tabs_; }
  settingsdialog::SettingsDialogModel& dialogModel() { return dialog_; }

 public slots:
  void done(int r) override;

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void build();
  void buildConditionsTab(QWidget* tab);
  void buildSystem1Tab(QWidget* tab);
  void buildSystem2Tab(QWidget* tab);
  void buildNotesTab(QWidget* tab);
  // The control that shows section/key of list n (index: which of the row's several controls),
  // made for its row and bound to its field of the dialog's model.
  QWidget* bound(QWidget* parent, const QRect& r, const char* section, const char* key, int n = 0,
                 int index = 0, std::function<void()> handler = {});
  QWidget* bound(QWidget* parent, const QRect& r, const settingsdialog::ControlRow& row,
                 std::function<void()> handler);
  // The made control that shows section/key of list n, or null.
  QWidget* shown(const char* section, const char* key, int n = 0) const;
  QGroupBox* group(QWidget* parent, const QRect& r, const char* caption);
  void label(QWidget* parent, const QRect& r, const char* caption);
  // The radio buttons of a [First] key, one place each in the row's order.
  void radioGroup(QWidget* parent, const char* key, const std::vector<QRect>& places);
  void fillPorts();
  settingsdialog::DialogTarget target();

  MainModel& model_;
  std::unique_ptr<platform::FileDialog> ownFolders_;
  std::unique_ptr<platform::MessageBox> ownBox_;
  settingsdialog::SettingsDialogModel dialog_;
  binder::Binder binder_;
  QTabWidget* tabs_ = nullptr;
  QComboBox* ports_ = nullptr;
  QGroupBox* listGroups_[3] = {};
  bool open_ = false;
  bool placed_ = false;
  bool followBridgePrefix_ = true;  // the prefix follows [Bridge] WinePrefix at every opening
};

}  // namespace zeltaro::app::ui
