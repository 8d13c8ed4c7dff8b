// One real patrol list window on its model: the rows as drawn (the current row's colours), the
// popup menu as prepared, the caption, stay-on-top and the saved place. ZELTARO_SCREENSHOT=
// <file.png> also writes a picture of the window (scripts/screenshot.sh shows how to run it
// under Xvfb).
#include "app/ui/tform4.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>

#include "app/accessible_controls.h"
#include "app/main_model.h"
#include "app/patrol_binding.h"
#include "text/codec.h"

namespace zeltaro::app::ui {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

class TForm4Test : public ::testing::Test {
 protected:
  TForm4Test() {
    model.station.trans[0] = {40, 50, 260, 780};
    model.station.set(1).HAMLOG = "C:\\HAMLOG\\";
  }
  void fill(patrol::PatrolWindow& w) {
    const char* calls[] = {"JA1AAA", "JA2BBB", "JA3CCC", "JA4DDD"};
    for (int i = 0; i < 4; ++i)
      w.CheckListBox1.push_back(
          {"1___1 26/12/09 23:15 " + std::string(calls[i]) + " 7,010 CW 1001 Tokyo ", i != 3});
  }
  MainModel model;
  platform::FixedClock clock{{2026, 12, 9, 23, 30, 0}};
  PatrolListsBinding binding{model, clock, nullptr};
};

TEST_F(TForm4Test, RowsAreDrawnWithTheCurrentRowsColours) {
  TForm4 form(model, binding, 1);
  patrol::PatrolWindow& w = form.window();
  fill(w);
  w.CurrentRow = 1;
  w.ItemIndex = 1;
  form.show();
  form.syncFromModel();
  auto* list = qobject_cast<QAbstractScrollArea*>(form.control(QStringLiteral("CheckListBox1")));
  ASSERT_NE(list, nullptr);
  const int h = w.ItemHeight;
  ASSERT_EQ(h, 16);
  auto pixel = [list, h](int row) {
    const QImage img = list->viewport()->grab().toImage();
    return QColor(img.pixel(img.width() - 4, row * h + h / 2));
  };
  const QColor base = list->palette().color(QPalette::Base);
  EXPECT_EQ(pixel(1), QColor(255, 0, 0));  // current and selected
  EXPECT_EQ(pixel(0), base);
  w.ItemIndex = 0;
  form.syncFromModel();
  EXPECT_EQ(pixel(1), QColor(255, 255, 0));  // current, not selected
  EXPECT_EQ(pixel(0), list->palette().color(QPalette::Highlight));
  EXPECT_EQ(pixel(2), base);
  // The check box strip keeps the window colour along its edges.
  const QImage img = list->viewport()->grab().toImage();
  EXPECT_EQ(QColor(img.pixel(0, h + h / 2)), base);
  EXPECT_EQ(QColor(img.pixel(8, h)), base);
}

TEST_F(TForm4Test, PopupMenuShowsThePreparedCaptionsAndMarks) {
  TForm4 form(model, binding, 1);
  fill(form.window());
  emit form.popupMenu()->aboutToShow();
  EXPECT_TRUE(form.window().Paused);
  auto text = [&form](const char* name) {
    QAction* a = form.menuAction(name);
    return a ? a->text() : QString();
  };
  EXPECT_EQ(text("menu_MarkAndSkip"), u("ﾏｰｸ && ｽｷｯﾌﾟ"));
  EXPECT_EQ(text("N13"), u("ワッチ(3秒)"));
  EXPECT_EQ(text("LogALLnew1"), u("LogALL new (10件)"));
  EXPECT_EQ(text("N22"), u("時間経過設定(180分)"));
  EXPECT_EQ(text("N14"), u("40秒 ～"));
  EXPECT_EQ(text("sec40"), u(" 40秒"));
  EXPECT_TRUE(form.menuAction("sec3")->isChecked());
  EXPECT_TRUE(form.menuAction("newOFF1")->isChecked());
  EXPECT_FALSE(form.menuAction("newN1")->isChecked());
  EXPECT_FALSE(form.menuAction("N15")->isEnabled());
  EXPECT_TRUE(form.menuAction("N37")->isEnabled());
  // The top level in menu order.
  QStringList top;
  for (QAction* a : form.popupMenu()->actions()) top << (a->isSeparator() ? u("-") : a->text());
  EXPECT_EQ(top.join(u("|")),
            u("ﾏｰｸ && ｽｷｯﾌﾟ|-|再セット|自動|全削除|-|選択行削除|選択行転送|-|全チェック|全解除|-|"
              "巡回|全巡回解除|-|新着 ON|新着 OFF|-|▼▲123ワッチ|-|最前面|-|自動巡回設定|-|"
              "メイン画面操作"));
  // Choosing an item runs the model's command.
  form.menuAction("C1")->trigger();
  for (const patrol::PatrolRow& r : form.window().CheckListBox1) EXPECT_TRUE(r.checked);
}

TEST_F(TForm4Test, CaptionPlaceAndStayOnTop) {
  TForm4 form(model, binding, 1);
  EXPECT_EQ(form.windowTitle(), u(" Zeltaro v2.11 巡回転送リスト [ 1 ]"));
  EXPECT_EQ(form.size(), QSize(780, 260));
  EXPECT_FALSE(form.isVisible());
  model.Memo_Log2.lines = {"1___1 26/12/09 23:15 JA1AAA 7,010 CW "};
  model.Memo_Log2.selStart = 2;
  model.menu_AppendClick(0);
  form.syncFromModel();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.windowTitle(), u(" Zeltaro v2.11 巡回転送リスト [ 1 ]     C:\\HAMLOG\\"));
  EXPECT_EQ(model.LastActiveWindow, &form);
  auto* top = qobject_cast<QCheckBox*>(form.control(QStringLiteral("CheckBox6")));
  ASSERT_NE(top, nullptr);
  top->click();
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  form.close();
  EXPECT_FALSE(form.window().Visible);
  EXPECT_TRUE(model.station.pilot[0].StayTopOn);
  EXPECT_EQ(model.station.trans[0].Width, 780);
}

TEST_F(TForm4Test, EveryControlCarriesAnAccessibleName) {
  TForm4 form(model, binding, 1);
  const QStringList faults = zeltaro::testing::inaccessibleControls(form);
  EXPECT_TRUE(faults.isEmpty()) << faults.join(", ").toStdString();
}

TEST_F(TForm4Test, Screenshot) {
  const QString file = qEnvironmentVariable("ZELTARO_SCREENSHOT");
  if (file.isEmpty()) GTEST_SKIP() << "set ZELTARO_SCREENSHOT=<file.png>";
  TForm4 form(model, binding, 1);
  fill(form.window());
  form.window().Folder = "C:\\HAMLOG\\";
  form.window().CurrentRow = 2;
  form.window().ItemIndex = 0;
  form.window().CheckBox1 = true;
  form.window().CheckBox1Click();
  form.window().ProgressBar1 = 12;
  form.window().FormShow();
  form.show();
  form.syncFromModel();
  QApplication::processEvents();
  ASSERT_TRUE(form.grab().save(file));
}

}  // namespace
}  // namespace zeltaro::app::ui
