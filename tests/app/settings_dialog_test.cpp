// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog as the operator meets it: opened from the main window, values changed on
// each tab, closed, saved, and the program started again from its settings file.

#include "gui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "app/accessible_controls.h"
#include "app/main_model.h"
#include "gui/main_window.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "settings/station_settings.h"
#include "support/hamlog_folder.h"
#include "support/qt_text.h"
#include "support/recorders.h"
#include "support/temp_dir.h"
#include "text/codec.h"

namespace zeltaro::app::ui {
namespace {

using testing::readBytes;
using testing::TempDir;

using zeltaro::testing::hamlogFolder;
using zeltaro::testing::u;

struct RecordingRig final : RigLink {
  void open() override { log += "open\n"; }
  void close() override { log += "close\n"; }
  void settingsDialogClosed(const settings::RigDirectSettings& before) override {
    log += "dialog closed, before: Use " + std::to_string(before.Use) + " Maker " +
           std::to_string(before.Maker) + "\n";
  }
  std::string log;
};

// One run of the program: its model reading and writing the settings file, the main window
// (whose construction runs the start-up) and the settings dialog.
struct Program {
  Program(const std::string& settingsFile, const std::string& hamlogFolder) {
    MainServices s;
    s.rig = &rig;
    model = std::make_unique<MainModel>(s);
    model->SettingsFile = settingsFile;
    form1 = std::make_unique<MainWindow>(*model, std::vector<std::string>{"/opt/zeltaro/zeltaro"});
    form1->move(120, 90);
    form1->show();
    folders.folderAnswer = hamlogFolder;
    form2 = std::make_unique<SettingsDialog>(
        *model, nullptr, settingsdialog::DialogServices{&folders, &box, "/nonexistent-prefix"});
  }
  template <typename W>
  W* get(const char* name) {
    W* w = qobject_cast<W*>(form2->control(QString::fromLatin1(name)));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void type(const char* name, const char* utf8) {
    auto* e = get<QLineEdit>(name);
    e->setText(u(utf8));
    emit e->textEdited(u(utf8));
  }
  void choose(const char* name, int index) {
    auto* c = get<QComboBox>(name);
    c->setCurrentIndex(index);
    emit c->activated(index);
  }
  // Clicks "1'st QSO" and runs inside the modal dialog, then closes it by its close box.
  void inDialog(const std::function<void()>& steps) {
    bool ran = false;
    QTimer::singleShot(0, form2.get(), [&] {
      ran = true;
      steps();
      form2->close();
    });
    auto* button = qobject_cast<QPushButton*>(form1->control(QStringLiteral("Button3")));
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(form2->isVisible());
  }

  RecordingRig rig;
  platform::ScriptedFileDialog folders;
  platform::RecordingMessageBox box;
  std::unique_ptr<MainModel> model;
  std::unique_ptr<MainWindow> form1;
  std::unique_ptr<SettingsDialog> form2;
};

// The sections of a settings file (CP932 text) whose names are listed, whole, in file order.
std::string sections(const std::string& file, const std::vector<std::string>& names) {
  std::string out;
  bool keep = false;
  std::size_t start = 0;
  while (start < file.size()) {
    std::size_t end = file.find('\n', start);
    end = end == std::string::npos ? file.size() : end + 1;
    const std::string line = file.substr(start, end - start);
    start = end;
    if (line.starts_with("[")) {
      const std::string name = line.substr(1, line.find(']') - 1);
      keep = std::find(names.begin(), names.end(), name) != names.end();
    }
    if (keep) out += line;
  }
  return out;
}

TEST(SettingsDialogTest, ValuesChangedOnEachTabSurviveASaveAndARestart) {
  TempDir dir;
  const std::string ini = dir.file("zeltaro.ini");
  const std::string hamlog = dir.file("Hamlog");
  hamlogFolder(hamlog);
  {
    Program p(ini, hamlog);
    p.inDialog([&] {
      EXPECT_TRUE(p.form2->isModal());
      EXPECT_EQ(p.form2->pos(), p.form1->pos() + QPoint(4, 4));
      EXPECT_EQ(p.form2->tabs()->currentIndex(), 0);
      EXPECT_EQ(
          p.model->LastActiveWindow == p.form1.get() || p.model->LastActiveWindow == p.form2.get(),
          true);
      // " 抽出条件 "
      p.get<QCheckBox>("CheckBox8")->click();
      p.type("Edit10", " 1'st(X)");
      EXPECT_TRUE(p.get<QCheckBox>("CheckBox20")->isHidden());
      p.get<QCheckBox>("CheckBox17")->click();
      EXPECT_FALSE(p.get<QCheckBox>("CheckBox20")->isHidden());
      p.get<QCheckBox>("CheckBox20")->click();
      p.get<QPushButton>("Button2")->click();
      EXPECT_EQ(p.get<QLabel>("StaticText2")->text().toStdString(), hamlog + "/");
      p.get<QCheckBox>("CheckBox47")->click();  // list 2 PSK off
      // "ｼｽﾃﾑ設定(1)"
      p.form2->tabs()->setCurrentIndex(1);
      p.get<QCheckBox>("CheckBox77")->click();   // list 2 18 MHz off
      p.get<QCheckBox>("CheckBox100")->click();  // list 2 other bands off
      p.type("Edit26", "500");
      p.type("Edit27", "90");
      p.type("Edit24", "FT8=SSB");
      p.get<QCheckBox>("CheckBox105")->click();
      EXPECT_TRUE(p.get<QLineEdit>("Edit18")->isEnabled());
      p.choose("ComboBox2", 1);  // YAESU1
      EXPECT_FALSE(p.get<QLineEdit>("Edit18")->isEnabled());
      EXPECT_FALSE(p.get<QLineEdit>("Edit34")->isEnabled());
      p.get<QComboBox>("ComboBox3")->setCurrentText(QStringLiteral("/dev/ttyUSB3"));
      p.choose("ComboBox4", 3);
      // "ｼｽﾃﾑ設定(2)"
      p.form2->tabs()->setCurrentIndex(2);
      p.type("Edit13", "25");
      p.type("Edit29", "9");
      p.get<QCheckBox>("CheckBox32")->click();
      p.type("Edit21", "192.168.1.5");
      p.get<QCheckBox>("CheckBox104")->click();
      p.get<QCheckBox>("CheckBox30")->click();
      p.choose("ComboBox1", 11);  // F5
      p.get<QRadioButton>("RadioButton2")->click();
      p.get<QRadioButton>("RadioButton6")->click();
      p.get<QRadioButton>("RadioButton9")->click();
      p.get<QCheckBox>("CheckBox102")->click();
    });
    EXPECT_EQ(p.rig.log, "dialog closed, before: Use 0 Maker 0\n");
    EXPECT_EQ(p.folders.folderCaptions,
              std::vector<std::string>{text::sj("フォルダを指定して下さい。")});
    EXPECT_TRUE(p.box.shown.empty());
    qobject_cast<QPushButton*>(p.form1->control(QStringLiteral("btnSave")))->click();
  }

  const std::string expected =
      "[First_1]\r\nUse=0\r\nNum=0\r\nNum_L=1\r\nNum_H=9999999999\r\nBand=0\r\nMode=0\r\n"
      "Code=0\r\nSubj=0\r\nTrans=1\r\nRig=1\r\nText=\" 1'st(A)\"\r\nAny=0\r\nRigFreq=32767\r\n"
      "ModeConv=PSK=SSB,RTTY=SSB,SSTV=SSB\r\nM_SSB=1\r\nM_CW=1\r\nM_FM=1\r\nM_AM=1\r\nM_PSK=1\r\n"
      "M_RTTY=1\r\nM_OTHERS=1\r\nHAMLOG1=\r\nInterval=2\r\n\r\n"
      "[First_2]\r\nUse=1\r\nNum=0\r\nNum_L=1\r\nNum_H=9999999999\r\nBand=0\r\nMode=0\r\n"
      "Code=1\r\nSubj=0\r\nTrans=1\r\nRig=1\r\nText=\" 1'st(X)\"\r\nAny=1\r\nRigFreq=16319\r\n"
      "ModeConv=FT8=SSB\r\nM_SSB=1\r\nM_CW=1\r\nM_FM=1\r\nM_AM=1\r\nM_PSK=0\r\n"
      "M_RTTY=1\r\nM_OTHERS=1\r\nHAMLOG2=" +
      hamlog +
      "/\r\nInterval=2\r\n\r\n"
      "[First_3]\r\nUse=0\r\nNum=0\r\nNum_L=1\r\nNum_H=9999999999\r\nBand=0\r\nMode=0\r\n"
      "Code=0\r\nSubj=0\r\nTrans=1\r\nRig=1\r\nText=\" 1'st(C)\"\r\nAny=0\r\nRigFreq=32767\r\n"
      "ModeConv=PSK=SSB,RTTY=SSB,SSTV=SSB\r\nM_SSB=1\r\nM_CW=1\r\nM_FM=1\r\nM_AM=1\r\nM_PSK=1\r\n"
      "M_RTTY=1\r\nM_OTHERS=1\r\nHAMLOG3=\r\nInterval=2\r\n\r\n"
      "[First]\r\nHTTP_DATE=2\r\nHTTP_TIME=3\r\nHTTP_CALL=4\r\nHTTP_FREQ=5\r\nHTTP_MODE=6\r\n"
      "HTTP_CODE=7\r\nHTTP_QTH=8\r\nRS_SEL=1\r\nRMKS_SEL=2\r\nKEY_CTRL=1\r\nKEY_SHIFT=1\r\n"
      "KEY_ALT=0\r\nKEY_DATA=F5\r\nHTTP_RMKS=10\r\nTZ=9\r\nCOL_DATE=2\r\nCOL_TIME=9\r\n"
      "COL_CALL=4\r\nCOL_FREQ=5\r\nCOL_MODE=6\r\nCOL_CODE=7\r\nCOL_QTH=8\r\nCOL_RMKS=10\r\n"
      "FOCUS_SEL=1\r\nMOUSE_SEL=0\r\nNEW_AUTO=0\r\nNEW_STNS=200\r\nMICHI_WR=2\r\n"
      "MICHI_FUKA=1\r\nTIMEOVER_CHK=1\r\nTIMEOVER_MIN=90\r\n\r\n"
      "[Tarvopc]\r\nIP=\"192.168.1.5\"\r\nPORT=\"10001\"\r\nCALL=0\r\nCODE=0\r\nQTH=1\r\n"
      "CLEAR=0\r\n\r\n"
      "[RigDirect]\r\nUse=1\r\nMaker=1\r\nCom=0\r\nBps=3\r\nRigID=110\r\nPcID=80\r\n"
      "RigTarvopc=0\r\nDevice=\"/dev/"
      "ttyUSB3\"\r\nRigctldHost=127.0.0.1\r\nRigctldPort=4532\r\n\r\n";
  EXPECT_EQ(
      sections(readBytes(ini), {"First_1", "First_2", "First_3", "First", "Tarvopc", "RigDirect"}),
      expected);

  // The program again, from its file: the dialog shows what was left in it.
  Program again(ini, hamlog);
  EXPECT_EQ(again.model->station.set(2).HAMLOG, hamlog + "/");
  again.inDialog([&] {
    EXPECT_TRUE(again.get<QCheckBox>("CheckBox8")->isChecked());
    EXPECT_FALSE(again.get<QCheckBox>("CheckBox4")->isChecked());
    EXPECT_EQ(again.get<QLineEdit>("Edit10")->text(), u(" 1'st(X)"));
    EXPECT_TRUE(again.get<QCheckBox>("CheckBox20")->isChecked());
    EXPECT_FALSE(again.get<QCheckBox>("CheckBox20")->isHidden());
    EXPECT_TRUE(again.get<QCheckBox>("CheckBox19")->isHidden());
    EXPECT_EQ(again.get<QLabel>("StaticText2")->text().toStdString(), hamlog + "/");
    EXPECT_FALSE(again.get<QCheckBox>("CheckBox47")->isChecked());
    EXPECT_FALSE(again.get<QCheckBox>("CheckBox77")->isChecked());
    EXPECT_TRUE(again.get<QCheckBox>("CheckBox76")->isChecked());
    EXPECT_EQ(again.get<QLineEdit>("Edit26")->text(), u("200"));
    EXPECT_EQ(again.get<QLineEdit>("Edit27")->text(), u("90"));
    EXPECT_EQ(again.get<QComboBox>("ComboBox2")->currentText(), u("YAESU1"));
    EXPECT_EQ(again.get<QComboBox>("ComboBox3")->currentText(), u("/dev/ttyUSB3"));
    EXPECT_EQ(again.get<QComboBox>("ComboBox4")->currentText(), u("38400bps"));
    EXPECT_EQ(again.get<QLineEdit>("Edit18")->text(), u("6E"));
    EXPECT_FALSE(again.get<QLineEdit>("Edit18")->isEnabled());
    EXPECT_EQ(again.get<QLineEdit>("Edit13")->text(), u("04"));
    EXPECT_EQ(again.get<QLineEdit>("Edit29")->text(), u("9"));
    EXPECT_EQ(again.get<QComboBox>("ComboBox1")->currentText(), u("F5"));
    EXPECT_TRUE(again.get<QRadioButton>("RadioButton2")->isChecked());
    EXPECT_TRUE(again.get<QRadioButton>("RadioButton6")->isChecked());
    EXPECT_TRUE(again.get<QRadioButton>("RadioButton9")->isChecked());
    EXPECT_FALSE(again.get<QRadioButton>("RadioButton3")->isChecked());
    EXPECT_TRUE(again.get<QCheckBox>("CheckBox102")->isChecked());
    EXPECT_FALSE(again.get<QCheckBox>("CheckBox32")->isChecked());
    EXPECT_TRUE(again.get<QCheckBox>("CheckBox22")->isChecked());
  });
}

TEST(SettingsDialogTest, AValueChangedElsewhereWhileClosedIsShownAtTheNextOpening) {
  TempDir dir;
  Program p("", dir.path());
  p.model->station.shared.NEW_STNS = 30;  // as a patrol window's menu sets it
  p.inDialog([&] { EXPECT_EQ(p.get<QLineEdit>("Edit26")->text(), u("30")); });
  EXPECT_EQ(p.model->station.shared.NEW_STNS, 30);
}

// A list's ADIF log: "参照" shows the chosen file in the list's group, closing stores it for
// the list's first-QSO checks, "解除" gives the list back to HAMLOG's log.
TEST(SettingsDialogTest, AListsAdifLogIsChosenAndCleared) {
  TempDir dir;
  Program p("", dir.path());
  const std::string log = text::sj("/home/op/ログ/wsjtx_log.adi");
  p.folders.answer = log;
  p.inDialog([&] {
    p.get<QPushButton>("AdifButton2")->click();
    EXPECT_EQ(p.get<QLabel>("AdifFile2")->text(), u("/home/op/ログ/wsjtx_log.adi"));
    EXPECT_EQ(p.get<QLabel>("AdifFile1")->text(), QString());
    EXPECT_EQ(p.get<QPushButton>("AdifButton2")->accessibleName(), u("参照"));
    EXPECT_FALSE(p.get<QPushButton>("AdifButton2")->accessibleDescription().isEmpty());
  });
  ASSERT_EQ(p.folders.shown.size(), 1u);
  EXPECT_EQ(p.folders.shown[0].filter,
            "ADIF (*.adi;*.adif;*.adx)|*.adi;*.adif;*.adx|All files (*.*)|*.*||");
  EXPECT_EQ(p.model->station.adif.File, (std::array<std::string, 3>{"", log, ""}));
  p.inDialog([&] { p.get<QPushButton>("AdifClear2")->click(); });
  EXPECT_EQ(p.model->station.adif.File, (std::array<std::string, 3>{}));
}

// Enter in an edit box presses no button (no "参照" opens a folder browser); the column
// numbers take two digits; the dialog keeps its tab and place between openings.
TEST(SettingsDialogTest, EnterPressesNothingAndTheDialogKeepsItsTabAndPlace) {
  TempDir dir;
  Program p("", dir.path());
  QPoint placed;
  p.inDialog([&] {
    for (const char* name : {"Edit1", "Edit9", "Edit2"}) {
      QLineEdit* e = p.get<QLineEdit>(name);
      e->setFocus();
      QTest::keyClick(e, Qt::Key_Return);
      QTest::keyClick(e, Qt::Key_Enter);
    }
    EXPECT_EQ(p.folders.folderCaptions, std::vector<std::string>{});
    EXPECT_TRUE(p.form2->isVisible());
    for (const char* name :
         {"Edit28", "Edit29", "Edit19", "Edit15", "Edit16", "Edit17", "Edit20", "Edit32"})
      EXPECT_EQ(p.get<QLineEdit>(name)->maxLength(), 2) << name;
    EXPECT_EQ(p.form2->tabs()->currentIndex(), 0);
    EXPECT_EQ(p.form2->pos(), p.form1->pos() + QPoint(4, 4));
    p.form2->tabs()->setCurrentIndex(2);
    p.form2->move(300, 200);
    placed = p.form2->pos();
  });
  p.form1->move(10, 10);
  p.inDialog([&] {
    EXPECT_EQ(p.form2->tabs()->currentIndex(), 2);
    EXPECT_EQ(p.form2->pos(), placed);
  });
}

TEST(SettingsDialogTest, AFileDroppedOnAListsGroupSetsThatListsFolder) {
  TempDir dir;
  hamlogFolder(dir.file("Hamlog"));
  std::ofstream(dir.file("Hamlog/Hamlogw.exe"));
  Program p("", dir.path());
  auto* group = p.form2->findChild<QWidget*>(QStringLiteral("GroupBoxList3"));
  ASSERT_NE(group, nullptr);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("Hamlog/Hamlogw.exe"))),
                QUrl::fromLocalFile(QString::fromStdString(dir.file("elsewhere/x.exe")))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(group, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(group, &drop);
  EXPECT_EQ(p.get<QLabel>("StaticText3")->text().toStdString(), dir.file("Hamlog/"));
  EXPECT_EQ(p.get<QLabel>("StaticText1")->text(), QString());
  EXPECT_TRUE(p.box.shown.empty());
}

TEST(SettingsDialogTest, ControlsTellTheirCaptionAndHint) {
  TempDir dir;
  Program p("", dir.path());
  auto* edit = p.get<QLineEdit>("Edit18");
  EXPECT_EQ(edit->accessibleName(), u("ICOM RIG"));
  EXPECT_EQ(edit->toolTip(), u("RigのCI-Vｱﾄﾞﾚｽ (16進数2桁)"));
  auto* box = p.get<QCheckBox>("CheckBox19");
  EXPECT_EQ(box->text(), u("コールサインと道の駅を照合しない"));
  EXPECT_FALSE(box->toolTip().isEmpty());
  EXPECT_EQ(p.get<QComboBox>("ComboBox1")->count(), 67);
  EXPECT_EQ(p.form2->tabs()->tabText(0), u(" 抽出条件 "));
  EXPECT_EQ(p.form2->windowTitle(), u("ログからファーストQSO局を抽出する条件設定など"));
  // Every control the dialog's table names is on the dialog.
  for (const auto& row : settingsdialog::controlRows())
    EXPECT_NE(p.form2->control(QString::fromStdString(row.control)), nullptr) << row.control;
}

TEST(SettingsDialogTest, EveryControlOnEveryTabCarriesAnAccessibleName) {
  TempDir dir;
  Program p("", dir.path());
  const QStringList faults = zeltaro::testing::inaccessibleControls(*p.form2);
  EXPECT_TRUE(faults.isEmpty()) << faults.join(", ").toStdString();
}

}  // namespace
}  // namespace zeltaro::app::ui
