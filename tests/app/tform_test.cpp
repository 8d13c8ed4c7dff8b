// The window classes against the real model: start-up on construction, caption, Timer1,
// LastActiveWindow and the close sequence.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include "app/main_model.h"
#include "app/ui/tform1.h"
#include "app/ui/tform2.h"
#include "app/ui/tform3.h"
#include "app/ui/tform4.h"
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

TEST(TForm1, ConstructionRunsStartUpAndShowsTheBanner) {
  MainModel model;
  TForm1 form(model, {"/opt/zeltaro/zeltaro"});
  EXPECT_EQ(model.LastActiveWindow, &form);
  EXPECT_TRUE(model.Timer1Enabled);
  EXPECT_EQ(form.windowTitle().toStdString(), text::utf8FromCp932(model.caption));
  EXPECT_TRUE(form.windowTitle().startsWith(" Zeltaro v2.11"));
}

TEST(TForm1, TicksReachTheModelOnlyWhileEnabledAndRefreshTheCaption) {
  MainModel model;
  TForm1 form(model, {"zeltaro"});
  const QString banner = form.windowTitle();
  runLoopFor(1300);
  // The tick appends the clock to the banner.
  EXPECT_NE(form.windowTitle(), banner);
  EXPECT_EQ(form.windowTitle().toStdString(), text::utf8FromCp932(model.caption));

  model.Timer1Enabled = false;
  model.caption = text::sj("止まっている");
  runLoopFor(1300);
  EXPECT_NE(form.windowTitle().toStdString(), text::utf8FromCp932(model.caption));
}

TEST(Windows, ActivationRecordsTheWindowExceptForTheMailStatus) {
  MainModel model;
  platform::FixedClock clock({2010, 5, 22, 14, 30, 0});
  TForm1 form1(model, {"zeltaro"});
  TForm2 form2(model);
  TForm3 form3;
  PatrolListsBinding patrolLists(model, clock, nullptr);
  TForm4 form4(model, patrolLists, 1);

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

TEST(TForm1, ClosingRunsTheCloseSequenceOnce) {
  MainModel model;
  TForm1 form(model, {"zeltaro"});
  form.show();
  int closed = 0;
  QObject::connect(&form, &TForm1::closed, [&closed] { ++closed; });
  EXPECT_TRUE(form.close());
  form.show();
  form.close();
  EXPECT_EQ(closed, 1);
}

}  // namespace
}  // namespace zeltaro::app::ui
