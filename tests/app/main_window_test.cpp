// SPDX-License-Identifier: GPL-3.0-or-later
// The main window against the real model: the check buttons fetch through the model, the
// filter buttons, "CLR" and the lamps change the model, and the model's state shows in the
// widgets.
#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "app/accessible_controls.h"
#include "app/main_model.h"
#include "app/spot_page.h"
#include "binder/qt_text.h"
#include "gui/log_pane.h"
#include "support/fake_http_client.h"
#include "support/qt_text.h"
#include "text/codec.h"

namespace zeltaro::app::ui {

using binder::cp;
using binder::cpMemo;
using binder::qs;
using binder::qsMemo;
namespace {

using testing::Spot;
using testing::spotPage;

const std::string kUrl1 = "http://127.0.0.1:1/one.html";

using zeltaro::testing::u;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : model(services()) {
    model.pageChecks.edtURL[0] = kUrl1;
    model.watchLists.Memo_List[0] = "STN1\r\n";
    model.watchLists.Memo_List[1] = "SSB\r\n";
    model.watchLists.Memo_List[2] = "JA3\r\n";
  }
  MainServices services() {
    MainServices s;
    s.http = &http;
    return s;
  }
  template <typename W>
  W* get(MainWindow& form, const char* name) {
    W* w = qobject_cast<W*>(form.control(QString::fromLatin1(name)));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  static void leftClick(QWidget* w) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
  }
  static void doubleClick(QWidget* w, Qt::KeyboardModifiers mods) {
    QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)),
                  Qt::LeftButton, Qt::LeftButton, mods);
    QCoreApplication::sendEvent(w, &e);
  }

  platform::FakeHttpClient http;
  MainModel model;
};

const Spot a{"STN1", "7,010"};
const Spot b{"JA3AAA", "14,020", "SSB"};

TEST_F(MainWindowTest, CheckButtonFetchesAndThePanesShowTheLog) {
  MainWindow form(model, {"zeltaro"});
  http.setPage(kUrl1, spotPage({a, b}));
  get<QPushButton>(form, "btnChkUrl1")->click();
  EXPECT_EQ(http.asked(), std::vector<std::string>{kUrl1});
  ASSERT_EQ(model.logViews.Memo_Log.lines.size(), 2u);

  auto* log2 = get<QPlainTextEdit>(form, "Memo_Log2");
  auto* log3 = get<QPlainTextEdit>(form, "Memo_Log3");
  // Every line ends with its line break, as in the model's text.
  EXPECT_EQ(log2->toPlainText(), qs(model.logViews.Memo_Log2.lines[0]) + '\n' +
                                     qs(model.logViews.Memo_Log2.lines[1]) + '\n');
  EXPECT_TRUE(log2->isVisibleTo(&form));
  EXPECT_FALSE(log3->isVisibleTo(&form));
  EXPECT_TRUE(get<QPushButton>(form, "btnChkUrl1")->isEnabled());
  // A hidden pane shows the log once it is shown: the list 1 line alone.
  get<QRadioButton>(form, "RadioButton2")->click();
  EXPECT_TRUE(log3->isVisibleTo(&form));
  EXPECT_EQ(log3->toPlainText(), qs(model.logViews.Memo_Log3.lines[0]) + '\n');
  get<QRadioButton>(form, "RadioButton1")->click();
  EXPECT_FALSE(log3->isVisibleTo(&form));

  // The lamps turned red, and the captions of "All", "123", "1" and "3" with them.
  auto colourOf = [](QWidget* w) { return w->palette().color(QPalette::WindowText); };
  EXPECT_EQ(colourOf(get<QLabel>(form, "Label13")), QColor(255, 0, 0));
  EXPECT_EQ(colourOf(get<QLabel>(form, "Label11")), QColor(255, 0, 0));
  EXPECT_EQ(colourOf(get<QRadioButton>(form, "RadioButton4")), QColor(255, 0, 0));
  EXPECT_EQ(colourOf(get<QRadioButton>(form, "RadioButton3")), QColor(255, 0, 0));
  EXPECT_EQ(get<QLabel>(form, "Label10")->cursor().shape(), Qt::PointingHandCursor);

  // A lamp click resets its own lamp and caption; CLR empties everything.
  leftClick(get<QLabel>(form, "Label11"));
  EXPECT_EQ(model.alerts.lamps.list2Lamp.fontColor, alerts::kLampGreen);
  EXPECT_EQ(colourOf(get<QRadioButton>(form, "RadioButton3")), QColor(0, 128, 0));
  EXPECT_EQ(colourOf(get<QLabel>(form, "Label13")), QColor(255, 0, 0));
  get<QPushButton>(form, "Button1")->click();
  EXPECT_TRUE(model.logViews.Memo_Log.lines.empty());
  EXPECT_EQ(get<QPlainTextEdit>(form, "Memo_Log")->toPlainText(), QString());
  EXPECT_EQ(colourOf(get<QLabel>(form, "Label13")), QColor(0, 128, 0));
}

// What a screen reader is told of a control: its caption (or hint) and its hint.
TEST_F(MainWindowTest, ControlsTellTheirNameAndHintToAccessibility) {
  MainWindow form(model, {"zeltaro"});
  struct Row {
    const char* control;
    const char* name;
    const char* description;
  };
  const Row rows[] = {
      {"chkURL2", "URL2", "ｵﾝで有効 （自動巡回時）"},
      {"edtURL1", "url記述欄  … 接続先URL (BAND/MODE別のURLを記述)",
       "url記述欄  … 接続先URL (BAND/MODE別のURLを記述)"},
      {"btnChkUrl3", "Chk", "手動実行 ( 巡回と通知 )"},
      {"chkAlert", "音声", "ｵﾝで音声通知"},
      {"edtTo", "To", ""},
      {"edtFromName", "名前", "送信元の名前 … 漢字などOK"},
      {"chkList3Url2", "2", "ｵﾝで未交信ﾘｽﾄとAND検索 (接続先URL別)"},
      {"Memo_List2", "未交信ﾘｽﾄ2",
       "未交信ﾘｽﾄ （Body:で定義した末尾に「!」が付く文字列番号の抽出文字に対してAND検索を行う。 "
       "語間は半角ｽﾍﾟｰｽ。 半角大文字と半角小文字の区別なし）"},
      {"Memo_Log4", "未交信ﾘｽﾄ2のログ", ""},
      {"Label12", "新着ランプ", "新着があると赤色に変化 （左ｸﾘｯｸで緑に戻る）"},
      {"btnSave", "SAVE", "全ての設定を手動で保存します （終了時は自動保存されます）"},
      {"radioTimeSel_3min", "3", "自動巡回の間隔を指定（単位は１分強、Offで停止）"},
  };
  for (const Row& r : rows) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(get<QWidget>(form, r.control));
    ASSERT_NE(a, nullptr) << r.control;
    EXPECT_EQ(a->text(QAccessible::Name), u(r.name)) << r.control;
    EXPECT_EQ(a->text(QAccessible::Description), u(r.description)) << r.control;
  }
}

TEST_F(MainWindowTest, EveryControlCarriesAnAccessibleName) {
  // A screen reader (and a test driving the window through AT-SPI) finds controls by name: no
  // button, box, edit, pane or list may be nameless, and a hint is also read out.
  MainWindow form(model, {"zeltaro"});
  const QStringList faults = zeltaro::testing::inaccessibleControls(form);
  EXPECT_TRUE(faults.isEmpty()) << faults.join(", ").toStdString();
}

TEST_F(MainWindowTest, FilterButtonsAndDisplayModeFollowTheModel) {
  MainWindow form(model, {"zeltaro"});
  get<QRadioButton>(form, "RadioButton5")->click();
  EXPECT_EQ(model.logViews.Log123, 4);
  for (const char* n : {"Memo_Log3", "Memo_Log4", "Memo_Log5"})
    EXPECT_TRUE(get<QWidget>(form, n)->isVisibleTo(&form)) << n;
  EXPECT_FALSE(get<QWidget>(form, "Memo_Log2")->isVisibleTo(&form));
  const QRect r4 = get<QWidget>(form, "Memo_Log4")->geometry();
  EXPECT_EQ(r4.top(), model.logViews.Memo_Log4.bounds.top);
  EXPECT_EQ(r4.height(), model.logViews.Memo_Log4.bounds.height);

  get<QRadioButton>(form, "radioDisp1")->click();
  EXPECT_TRUE(get<QWidget>(form, "Memo_Log")->isVisibleTo(&form));
  EXPECT_FALSE(get<QWidget>(form, "Memo_Log3")->isVisibleTo(&form));

  form.show();
  form.resize(1000, 700);
  EXPECT_EQ(model.logViews.Width, 1008);
  EXPECT_EQ(model.logViews.Log123, 4);
  EXPECT_EQ(get<QWidget>(form, "Memo_Log")->width(), 1000 - 200 - 6);

  get<QCheckBox>(form, "CheckBox1")->click();  // "Config" off
  EXPECT_FALSE(model.logViews.CheckBox1);
  EXPECT_FALSE(get<QWidget>(form, "Panel3")->isVisibleTo(&form));
  EXPECT_EQ(get<QWidget>(form, "Panel1")->height(), 700);

  auto* fonts = get<QComboBox>(form, "ComboBox2");
  EXPECT_EQ(fonts->count(), 15);
  EXPECT_EQ(fonts->currentIndex(), 3);
  EXPECT_EQ(get<QWidget>(form, "Memo_Log5")->font().pixelSize(), 16);
  fonts->setCurrentIndex(14);
  emit fonts->activated(14);
  EXPECT_EQ(model.logViews.ComboBox2, 14);
  EXPECT_EQ(get<QWidget>(form, "Memo_Log5")->font().pixelSize(), 96);
}

TEST_F(MainWindowTest, EditsWriteTheModelAndRunTheirHandlers) {
  MainWindow form(model, {"zeltaro"});
  auto* list = get<QPlainTextEdit>(form, "Memo_List1");
  list->setPlainText(u("ab\n\n*cd"));
  EXPECT_EQ(model.watchLists.Memo_List[0], "ab\r\n\r\n*cd");
  EXPECT_EQ(cp(get<QLabel>(form, "LabelList1")->text()), "   3(2/1)");

  // Leaving the box turns tabs into spaces; the caret stays where it was.
  list->setPlainText(u("a\tb\nc"));
  QTextCursor c = list->textCursor();
  c.setPosition(3);
  list->setTextCursor(c);
  QFocusEvent out(QEvent::FocusOut);
  QCoreApplication::sendEvent(list, &out);
  EXPECT_EQ(model.watchLists.Memo_List[0], "a b\r\nc");
  EXPECT_EQ(list->toPlainText(), u("a b\nc"));
  EXPECT_EQ(list->textCursor().position(), 3);

  // A list the model changes (a console command, a reload) shows, also when it changes back.
  model.watchLists.Memo_List[0] = "JA1\r\n";
  form.syncFromModel();
  EXPECT_EQ(list->toPlainText(), u("JA1\n"));
  model.watchLists.Memo_List[0] = "a b\r\nc";
  form.syncFromModel();
  EXPECT_EQ(list->toPlainText(), u("a b\nc"));
  list->setPlainText(u("typed"));
  form.syncFromModel();
  EXPECT_EQ(model.watchLists.Memo_List[0], "typed");
  EXPECT_EQ(list->toPlainText(), u("typed"));

  auto* url = get<QLineEdit>(form, "edtURL2");
  url->setFocus();
  url->selectAll();
  emit url->textEdited(u("http://127.0.0.1:1/x.html"));
  EXPECT_EQ(model.pageChecks.edtURL[1], "http://127.0.0.1:1/x.html");
  EXPECT_EQ(get<QLineEdit>(form, "edtURL1")->toolTip(),
            u("url記述欄  … 接続先URL (BAND/MODE別のURLを記述)"));

  get<QCheckBox>(form, "chkList2Url3")->click();
  EXPECT_FALSE(model.watchLists.chkListUrl[1][2]);

  // A double click on an interval button makes the next tick start a cycle.
  doubleClick(get<QRadioButton>(form, "radioTimeSel_3min"), Qt::NoModifier);
  EXPECT_TRUE(model.patrolClock.radioTimeSel_3min);
  EXPECT_EQ(model.patrolClock.ProgressBar1, 60);

  // "Stat" opens the mail status window only with Shift and Ctrl held.
  doubleClick(get<QLabel>(form, "Label17"), Qt::ShiftModifier);
  EXPECT_FALSE(model.alerts.Form3.Visible);
  doubleClick(get<QLabel>(form, "Label17"), Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_TRUE(model.alerts.Form3.Visible);
}

TEST_F(MainWindowTest, UserSelectionReachesThePaneInBytes) {
  MainWindow form(model, {"zeltaro"});
  model.logViews.Memo_Log.lines = {text::sj("1___東京 STN1"), "1___STN2"};
  model.refreshViews();
  form.syncFromModel();
  auto* pane = qobject_cast<LogPane*>(form.control(QStringLiteral("Memo_Log2")));
  ASSERT_NE(pane, nullptr);
  // "STN1" starts at character 7 of the widget's line and at byte 9 of the CP932 text.
  QTextCursor c = pane->textCursor();
  c.setPosition(7);
  c.setPosition(11, QTextCursor::KeepAnchor);
  pane->setTextCursor(c);
  EXPECT_EQ(model.logViews.Memo_Log2.selStart, 9);
  EXPECT_EQ(views::selectedText(model.logViews.Memo_Log2), "STN1");
  // Line 2 starts after 14 bytes and CR LF, and after 12 characters and LF.
  EXPECT_EQ(pane->positionOfByte(16), 13);
  EXPECT_EQ(pane->toPlainText().indexOf("1___STN2"), 13);
}

// A check that adds lines in front of a full log lays out only those lines: the document
// takes in the new lines' characters, not the whole log's, and the pane reads as the whole log
// would. Anything else is shown whole again.
TEST_F(MainWindowTest, LinesAddedAtTheTopAreTheOnlyOnesLaidOut) {
  MainWindow form(model, {"zeltaro"});
  auto* pane = qobject_cast<LogPane*>(form.control(QStringLiteral("Memo_Log2")));
  ASSERT_NE(pane, nullptr);
  int charsAdded = 0;
  QObject::connect(pane->document(), &QTextDocument::contentsChange,
                   [&charsAdded](int, int, int added) { charsAdded += added; });
  const auto show = [&](std::vector<std::string> lines) {
    model.logViews.Memo_Log.lines = std::move(lines);
    model.refreshViews();
    charsAdded = 0;
    form.syncFromModel();
    QString whole;
    for (const std::string& line : model.logViews.Memo_Log2.lines) whole += qs(line) + '\n';
    EXPECT_EQ(pane->toPlainText(), whole);
  };
  std::vector<std::string> log;
  for (int i = 0; i < 200; ++i) log.push_back("1___OLD" + std::to_string(100 + i) + " 7,010 CW");
  show(log);

  struct Step {
    const char* what;
    int added;        // new lines in front of the log
    bool laidOutNew;  // only the new lines' characters are laid out
  } steps[] = {
      {"one line, the last pushed off", 1, true},
      {"three lines", 3, true},
      {"more lines than the log holds: all new", 250, false},
  };
  int made = 100;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    std::vector<std::string> next;
    for (int i = 0; i < step.added; ++i)
      next.push_back("_2__NEW" + std::to_string(made++) + " 7,020 CW");
    next.insert(next.end(), model.logViews.Memo_Log.lines.begin(),
                model.logViews.Memo_Log.lines.end());
    next.resize(std::min<std::size_t>(next.size(), 200));
    show(next);
    int newChars = 0;
    for (int i = 0; i < std::min(step.added, 200); ++i)
      newChars +=
          static_cast<int>(qs(model.logViews.Memo_Log2.lines[static_cast<std::size_t>(i)]).size()) +
          1;
    if (step.laidOutNew) {
      EXPECT_LE(charsAdded, newChars + 1);
    } else {
      EXPECT_GE(charsAdded, newChars);
    }
    EXPECT_EQ(pane->document()->blockCount(), 201);
  }
  // The byte offsets of the model's selection still land where they should.
  EXPECT_EQ(pane->positionOfByte(static_cast<int>(model.logViews.Memo_Log2.lines[0].size()) + 2),
            static_cast<int>(qs(model.logViews.Memo_Log2.lines[0]).size()) + 1);
  show({"1___ONLY"});
  show({});
}

// Through the real pane: a double-click in the blank space under the last line puts the caret
// on the empty line after it, which holds no spot, so nothing reaches HAMLOG or the rig; a
// double-click on a line transfers that line.
TEST_F(MainWindowTest, DoubleClickBelowTheLastLineTransfersNothing) {
  struct Transfers final : TransferLink {
    std::vector<std::string> lines;
    void TransferLine(std::string_view line) override { lines.emplace_back(line); }
  } transfers;
  model.attachTransfer(&transfers);
  MainWindow form(model, {"zeltaro"});
  model.logViews.Memo_Log.lines = {"1___STN1 7,010 CW", "1___STN2 7,020 CW"};
  model.refreshViews();
  form.syncFromModel();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  auto* pane = qobject_cast<LogPane*>(form.control(QStringLiteral("Memo_Log2")));
  ASSERT_NE(pane, nullptr);
  ASSERT_TRUE(pane->isVisible());
  const QRect lastLine = pane->cursorRect(QTextCursor(pane->document()->findBlockByNumber(1)));
  ASSERT_GT(pane->viewport()->height(), lastLine.bottom() + 20);
  // Through the window, as the platform delivers a double-click: press, release, press that
  // becomes the double-click, release.
  auto doubleClick = [&](int y) {
    QTest::mouseDClick(form.windowHandle(), Qt::LeftButton, {},
                       pane->viewport()->mapTo(&form, QPoint(40, y)));
  };
  doubleClick(pane->viewport()->height() - 10);
  EXPECT_EQ(transfers.lines, std::vector<std::string>{});
  EXPECT_EQ(views::caretLine(model.logViews.Memo_Log2), std::nullopt);

  doubleClick(lastLine.center().y());
  EXPECT_EQ(transfers.lines, std::vector<std::string>{model.logViews.Memo_Log2.lines[1]});
  model.attachTransfer(nullptr);
}

// Not a check: a picture for people to look at, written only when asked for.
TEST_F(MainWindowTest, AReloadedPlaceAndSizeMoveTheWindow) {
  MainWindow form(model, {"/opt/zeltaro/zeltaro"});
  form.show();
  QCoreApplication::processEvents();
  const int caption = model.logViews.layout.captionHeight;
  model.logViews.Left = 120;
  model.logViews.Top = 90;
  model.logViews.Width = 900;
  model.logViews.Height = 700;
  form.syncFromModel();  // as after the console's reload
  QCoreApplication::processEvents();
  EXPECT_EQ(form.width(), 892);
  EXPECT_EQ(form.height(), 692 - caption);
  EXPECT_EQ(form.pos(), QPoint(120, 90));
  EXPECT_EQ(model.logViews.Width, 900);
  EXPECT_EQ(model.logViews.Height, 700);
}

}  // namespace
}  // namespace zeltaro::app::ui
