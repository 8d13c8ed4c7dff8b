// SPDX-License-Identifier: GPL-3.0-or-later
// One real patrol list window on its model: the rows as drawn (the current row's colours), the
// popup menu as prepared, the caption, stay-on-top and the saved place.
#include "gui/patrol_list_window.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QTest>

#include "app/accessible_controls.h"
#include "app/main_model.h"
#include "app/patrol_binding.h"
#include "support/fixed_clock.h"
#include "support/qt_text.h"
#include "text/codec.h"

namespace zeltaro::app::ui {
namespace {

using zeltaro::testing::u;

class PatrolListWindowTest : public ::testing::Test {
 protected:
  PatrolListWindowTest() {
    model.station.trans[0] = {40, 50, 260, 780};
    model.station.set(1).HAMLOG = "C:\\HAMLOG\\";
  }
  void fill(patrol::PatrolWindow& w) {
    const char* calls[] = {"JA1AAA", "JA2BBB", "JA3CCC", "JA4DDD"};
    for (int i = 0; i < 4; ++i)
      w.CheckListBox1.push_back(
          {"1___1 26/12/09 23:15 " + std::string(calls[i]) + " 7,010 CW 1001 Tokyo ", i != 3});
  }
  struct Transfers final : patrol::LineTransfer {
    std::vector<std::string> lines;
    void transferLine(std::string_view line) override { lines.emplace_back(line); }
  };
  static QWidget* rows(PatrolListWindow& form) {
    auto* list = qobject_cast<QAbstractScrollArea*>(form.control(QStringLiteral("CheckListBox1")));
    EXPECT_NE(list, nullptr);
    return list ? list->viewport() : nullptr;
  }
  static std::vector<std::string> texts(const patrol::PatrolWindow& w) {
    std::vector<std::string> out;
    for (const patrol::PatrolRow& r : w.CheckListBox1) out.push_back(r.text.substr(21, 6));
    return out;
  }
  MainModel model;
  platform::FixedClock clock{{2026, 12, 9, 23, 30, 0}};
  Transfers transfers;
  PatrolListsBinding binding{model, clock, &transfers};
};

TEST_F(PatrolListWindowTest, RowsAreDrawnWithTheCurrentRowsColours) {
  PatrolListWindow form(model, binding, 1);
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

TEST_F(PatrolListWindowTest, PopupMenuShowsThePreparedCaptionsAndMarks) {
  PatrolListWindow form(model, binding, 1);
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

// The real menu, opened by a right-click: while it is open the walk halts and the patrol stays
// on; once it has closed and the pointer is back over the list the walk goes on.
TEST_F(PatrolListWindowTest, TheOpenMenuPausesTheWalkAndLeavesThePatrolOn) {
  PatrolListWindow form(model, binding, 1);
  patrol::PatrolWindow& w = form.window();
  fill(w);
  w.Folder = "C:\\HAMLOG\\";
  w.ComboBox1 = 0;  // one second
  binding.lists().showAndRaise(w);
  form.syncFromModel();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QWidget* list = rows(form);
  list->parentWidget()->setFocus();
  qobject_cast<QCheckBox*>(form.control(QStringLiteral("CheckBox1")))->click();
  ASSERT_TRUE(w.CheckBox1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !transfers.lines.empty(); }, 5000));

  const QPoint at = list->mapTo(&form, QPoint(80, 4));
  QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, at);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.popupMenu()->isVisible(); }, 5000));
  const std::size_t before = transfers.lines.size();
  QTest::qWait(2500);  // two walk intervals, and six times the not-in-front limit
  EXPECT_EQ(transfers.lines.size(), before);
  EXPECT_TRUE(w.CheckBox1);
  EXPECT_TRUE(w.Paused);

  QTest::keyClick(form.popupMenu(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.popupMenu()->isVisible(); }, 5000));
  QTest::mouseMove(form.windowHandle(), at + QPoint(10, 10));
  EXPECT_TRUE(QTest::qWaitFor([&] { return transfers.lines.size() > before; }, 5000));
  EXPECT_TRUE(w.CheckBox1);
}

// Delete and Enter act in the list, on the panel's buttons, "巡回", "new" and the seconds list,
// never with Ctrl or Alt held, and not on the other boxes.
TEST_F(PatrolListWindowTest, DeleteAndEnterActOnlyWhereTheyBelong) {
  PatrolListWindow form(model, binding, 1);
  patrol::PatrolWindow& w = form.window();
  w.Folder = "C:\\HAMLOG\\";
  struct Case {
    const char* control;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    bool acts;
  };
  const Case cases[] = {
      {"CheckListBox1", Qt::Key_Delete, {}, true},
      {"CheckListBox1", Qt::Key_Return, {}, true},
      {"CheckListBox1", Qt::Key_Delete, Qt::ControlModifier, false},
      {"CheckListBox1", Qt::Key_Return, Qt::AltModifier, false},
      {"Button5", Qt::Key_Delete, {}, true},
      {"Button4", Qt::Key_Enter, {}, true},
      {"Button3", Qt::Key_Delete, {}, true},
      {"CheckBox1", Qt::Key_Delete, {}, true},
      {"CheckBox2", Qt::Key_Return, {}, true},
      {"ComboBox1", Qt::Key_Delete, {}, true},
      {"CheckBox7", Qt::Key_Delete, {}, false},
      {"CheckBox3", Qt::Key_Delete, {}, false},
      {"CheckBox4", Qt::Key_Return, {}, false},
      {"CheckBox5", Qt::Key_Delete, {}, false},
      {"CheckBox6", Qt::Key_Delete, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.control) + (c.key == Qt::Key_Delete ? " Delete" : " Enter"));
    w.CheckListBox1.clear();
    fill(w);
    w.ItemIndex = 1;
    w.CurrentRow = 0;
    transfers.lines.clear();
    QWidget* target = form.control(QString::fromLatin1(c.control));
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, c.key, c.mods);
    const bool deleted = w.rowCount() == 3;
    const bool transferred = !transfers.lines.empty();
    EXPECT_EQ(c.key == Qt::Key_Delete ? deleted : transferred, c.acts);
    EXPECT_FALSE(c.key == Qt::Key_Delete ? transferred : deleted);
  }
}

// Only the left button selects (in the text) or checks (in the margin); a right-click leaves
// the selection where it was, so the menu's row commands act on the selected row.
TEST_F(PatrolListWindowTest, ARightClickKeepsTheSelectionForTheMenusRowCommands) {
  PatrolListWindow form(model, binding, 1);
  patrol::PatrolWindow& w = form.window();
  fill(w);
  form.resize(780, 260);
  form.syncFromModel();
  QWidget* list = rows(form);
  const int h = w.ItemHeight;
  struct Case {
    Qt::MouseButton button;
    int x, row;
    int selected;              // ItemIndex afterwards
    std::vector<bool> checks;  // the rows' checks afterwards
  };
  const std::vector<bool> start{true, true, true, false};
  const Case cases[] = {
      {Qt::LeftButton, 80, 2, 2, start},   {Qt::LeftButton, 8, 3, 3, {true, true, true, true}},
      {Qt::RightButton, 80, 2, 0, start},  {Qt::RightButton, 8, 3, 0, start},
      {Qt::MiddleButton, 80, 1, 0, start},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(int(c.button)) + " at row " + std::to_string(c.row));
    for (std::size_t i = 0; i < 4; ++i) w.CheckListBox1[i].checked = start[i];
    w.ItemIndex = 0;
    QTest::mousePress(list, c.button, {}, QPoint(c.x, c.row * h + h / 2));
    QTest::mouseRelease(list, c.button, {}, QPoint(c.x, c.row * h + h / 2));
    EXPECT_EQ(w.ItemIndex, c.selected);
    std::vector<bool> checks;
    for (const patrol::PatrolRow& r : w.CheckListBox1) checks.push_back(r.checked);
    EXPECT_EQ(checks, c.checks);
  }
  // "選択行削除" after a right-click on row 2 deletes the selected row 0.
  QTest::mousePress(list, Qt::RightButton, {}, QPoint(80, 2 * h + h / 2));
  form.menuAction("N37")->trigger();
  EXPECT_EQ(texts(w), (std::vector<std::string>{"JA2BBB", "JA3CCC", "JA4DDD"}));
}

// A font chosen in the main window reaches an open patrol list at once: font and row height.
TEST_F(PatrolListWindowTest, AFontChangeReachesAnOpenListAtOnce) {
  PatrolListWindow form(model, binding, 1);
  fill(form.window());
  binding.lists().showAndRaise(form.window());
  form.syncFromModel();
  QWidget* list = rows(form)->parentWidget();
  ASSERT_NE(list->font().pixelSize(), 23);
  binding.applyFont(views::PaneFont{17, -23});
  EXPECT_EQ(list->font().pixelSize(), 23);
  EXPECT_EQ(form.window().ItemHeight, 23);
}

TEST_F(PatrolListWindowTest, CaptionPlaceAndStayOnTop) {
  PatrolListWindow form(model, binding, 1);
  EXPECT_EQ(form.windowTitle(), u(" Zeltaro v2.11 巡回転送リスト [ 1 ]"));
  EXPECT_EQ(form.size(), QSize(780, 260));
  EXPECT_FALSE(form.isVisible());
  model.logViews.Memo_Log2.lines = {"1___1 26/12/09 23:15 JA1AAA 7,010 CW "};
  model.logViews.Memo_Log2.selStart = 2;
  model.feedPatrolListsAppending(0);
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

TEST_F(PatrolListWindowTest, EveryControlCarriesAnAccessibleName) {
  PatrolListWindow form(model, binding, 1);
  const QStringList faults = zeltaro::testing::inaccessibleControls(form);
  EXPECT_TRUE(faults.isEmpty()) << faults.join(", ").toStdString();
}

}  // namespace
}  // namespace zeltaro::app::ui
