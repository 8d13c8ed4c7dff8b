// SPDX-License-Identifier: GPL-3.0-or-later
// The window classes against the real model: start-up on construction, caption, Timer1,
// LastActiveWindow and the close sequence.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include "app/main_model.h"
#include "gui/mail_status_window.h"
#include "gui/main_window.h"
#include "gui/patrol_list_window.h"
#include "gui/settings_dialog.h"
#include "support/fixed_clock.h"
#include "text/codec.h"

namespace zeltaro::app::ui {
namespace {

void activate(QWidget& w) {
  QEvent e(QEvent::WindowActivate);
  QCoreApplication::sendEvent(&w, &e);
}

void runLoopFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

TEST(MainWindow, ConstructionRunsStartUpAndShowsTheBanner) {
  MainModel model;
  MainWindow form(model, {"/opt/zeltaro/zeltaro"});
  EXPECT_EQ(model.LastActiveWindow, &form);
  EXPECT_TRUE(model.patrolClock.Timer1Enabled);
  EXPECT_EQ(form.windowTitle().toStdString(), text::utf8FromCp932(model.caption));
  EXPECT_TRUE(form.windowTitle().startsWith(" Zeltaro v2.11"));
}

TEST(MainWindow, TicksReachTheModelOnlyWhileEnabledAndRefreshTheCaption) {
  MainModel model;
  MainWindow form(model, {"zeltaro"});
  const QString banner = form.windowTitle();
  runLoopFor(1300);
  // The tick appends the clock to the banner.
  EXPECT_NE(form.windowTitle(), banner);
  EXPECT_EQ(form.windowTitle().toStdString(), text::utf8FromCp932(model.caption));

  model.patrolClock.Timer1Enabled = false;
  model.caption = text::sj("止まっている");
  runLoopFor(1300);
  EXPECT_NE(form.windowTitle().toStdString(), text::utf8FromCp932(model.caption));
}

// The program's six windows over one model, made in the program's order.
struct ProgramWindows {
  MainModel model;
  platform::FixedClock clock{{2010, 5, 22, 14, 30, 0}};
  MainWindow form1{model, {"zeltaro"}};
  SettingsDialog form2{model};
  MailStatusWindow form3;
  PatrolListsBinding patrolLists{model, clock, nullptr};
  PatrolListWindow form4{model, patrolLists, 1}, form4b{model, patrolLists, 2},
      form4c{model, patrolLists, 3};
};

TEST(Windows, ActivationRecordsTheWindowExceptForTheMailStatus) {
  ProgramWindows w;
  auto& [model, clock, form1, form2, form3, patrolLists, form4, form4b, form4c] = w;

  activate(form2);
  EXPECT_EQ(model.LastActiveWindow, &form2);
  activate(form4);
  EXPECT_EQ(model.LastActiveWindow, &form4);
  activate(form3);
  EXPECT_EQ(model.LastActiveWindow, &form4);
  activate(form1);
  EXPECT_EQ(model.LastActiveWindow, &form1);

  EXPECT_EQ(form3.windowTitle(), QString::fromUtf8("Zeltaro  メール送信ステータス"));
  EXPECT_FALSE(form2.isVisible());
  EXPECT_FALSE(form3.isVisible());
  EXPECT_FALSE(form4.isVisible());
}

// What a screen reader announces (AT-SPI "frame" for a window, "dialog" for a dialog) and reads
// as the window's name. A plain widget window would be a "filler" without a name of its own.
TEST(Windows, EachTopLevelWindowIsAWindowOrADialogNamedByItsCaption) {
  ProgramWindows w;
  auto& [model, clock, form1, form2, form3, patrolLists, form4, form4b, form4c] = w;
  const std::pair<QWidget*, QAccessible::Role> windows[] = {
      {&form1, QAccessible::Window},  {&form2, QAccessible::Dialog},
      {&form3, QAccessible::Window},  {&form4, QAccessible::Window},
      {&form4b, QAccessible::Window}, {&form4c, QAccessible::Window}};
  for (const auto& [window, role] : windows) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(window);
    ASSERT_NE(a, nullptr) << window->metaObject()->className();
    EXPECT_EQ(a->role(), role) << window->windowTitle().toStdString();
    EXPECT_FALSE(window->windowTitle().isEmpty());
    EXPECT_EQ(a->text(QAccessible::Name), window->windowTitle());
  }
  // The rule is for windows only: a control keeps the role Qt gives it.
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(form3.findChild<QWidget*>());
  ASSERT_NE(list, nullptr);
  EXPECT_NE(list->role(), QAccessible::Window);
}

TEST(MainWindow, ClosingRunsTheCloseSequenceOnce) {
  MainModel model;
  MainWindow form(model, {"zeltaro"});
  form.show();
  int closed = 0;
  QObject::connect(&form, &MainWindow::closed, [&closed] { ++closed; });
  EXPECT_TRUE(form.close());
  form.show();
  form.close();
  EXPECT_EQ(closed, 1);
}

}  // namespace
}  // namespace zeltaro::app::ui
