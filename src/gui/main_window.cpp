// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>

#include "binder/qt_text.h"
#include "gui/click_label.h"
#include "gui/log_pane.h"
#include "gui/mail_status_window.h"
#include "gui/page_test_window.h"
#include "gui/settings_dialog.h"
#include "text/sjis.h"
#include "views/log_font.h"

namespace zeltaro::app::ui {

using binder::cp;
using binder::cpMemo;
using binder::qs;
using binder::qsMemo;
namespace {

QRect qrect(const views::Rect& r) { return {r.left, r.top, r.width, r.height}; }

QColor colour(const alerts::Rgb& c) { return QColor(c.r, c.g, c.b); }

// A stored colour: 0x00BBGGRR, or a system colour (high bit set), which shows as the
// palette's default.
QColor storedColour(std::int32_t value) {
  if (value < 0) return {};
  const auto v = static_cast<std::uint32_t>(value);
  return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

void setTextColour(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  if (p.color(QPalette::WindowText) == c) return;
  p.setColor(QPalette::WindowText, c);
  p.setColor(QPalette::ButtonText, c);
  w->setPalette(p);
}

void setBase(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  const QColor want = c.isValid() ? c : QApplication::palette().color(QPalette::Base);
  if (p.color(QPalette::Base) == want) return;
  p.setColor(QPalette::Base, want);
  w->setPalette(p);
}

// The network indicator: a small globe.
QPixmap globe() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(60, 130, 220));
  p.setPen(QPen(QColor(20, 60, 140), 1));
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(230, 240, 255), 1));
  p.drawEllipse(QRectF(5, 1.5, 6, 13));
  p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
  return pm;
}

const QString kLampHint = QString::fromUtf8("新着があると赤色に変化 （左ｸﾘｯｸで緑に戻る）");

}  // namespace

MainWindow::MainWindow(MainModel& model, const std::vector<std::string>& args, QWidget* parent)
    : QMainWindow(parent), model_(model) {
  model_.mainWindowId = model_.LastActiveWindow = this;
  model_.logViews.layout.captionHeight = style()->pixelMetric(QStyle::PM_TitleBarHeight);
  if (!model_.hasClipboard()) model_.attachClipboard(&clipboard_);
  build();
  model_.startUp(args);
  // The window takes the size and place the settings gave; its resize runs FormResize.
  applyModelGeometry();
  syncFromModel();
  refreshCaption();
  // Timer1 itself runs for the whole life of the window; the model's flag says whether a tick
  // reaches the handler, so the model can stop and restart it (reload) without the window.
  timer1_.setInterval(1000);
  timer1_.setTimerType(Qt::CoarseTimer);
  connect(&timer1_, &QTimer::timeout, this, &MainWindow::tick);
  timer1_.start();
}

MainWindow::~MainWindow() = default;

// ---------------------------------------------------------------- binding helpers

QWidget* MainWindow::control(const QString& n) const { return binder_.control(n); }

void MainWindow::run(const std::function<void()>& handler) { binder_.run(handler); }

QFrame* MainWindow::panel(const QString& n, const char* holds, QWidget* parent) {
  auto* f = new QFrame(parent);
  f->setFrameShape(QFrame::StyledPanel);
  f->setFrameShadow(QFrame::Raised);
  binder_.describe(f, {n, QString::fromUtf8(holds), {}});
  return f;
}

QLabel* MainWindow::label(QWidget* parent, const QRect& r, const QString& caption,
                          const QString& hint) {
  return binder_.label(parent, r, caption, hint);
}

QCheckBox* MainWindow::check(QWidget* parent, const QRect& r, const QString& n,
                             const QString& caption, const QString& hint, bool& field,
                             std::function<void()> handler) {
  return binder_.check(parent, r, {n, caption, hint}, field, std::move(handler));
}

QPushButton* MainWindow::button(QWidget* parent, const QRect& r, const QString& n,
                                const QString& caption, const QString& hint,
                                std::function<void()> handler) {
  return binder_.button(parent, r, {n, caption, hint}, std::move(handler));
}

QRadioButton* MainWindow::radio(QWidget* parent, const QRect& r, const QString& n,
                                const QString& caption, const QString& hint, const bool& field,
                                std::function<void()> handler) {
  return binder_.radio(parent, r, {n, caption, hint}, field, std::move(handler));
}

QWidget* MainWindow::bound(QWidget* parent, const QRect& r, const char* controlName,
                           std::function<void()> handler, const QStringList& items) {
  int n = 0;
  const SettingRow* row = settingRowForControl(controlName, &n);
  return binder_.bindRow(parent, r, *row, n, model_, std::move(handler), items);
}

ClickLabel* MainWindow::lamp(QWidget* parent, const QRect& r, const QString& n,
                             const alerts::LampLabel& state, std::function<void()> onClick) {
  auto* l = new ClickLabel(QString::fromUtf8("●"), parent);
  l->setGeometry(r);
  binder_.describe(l, {n, QString::fromUtf8("新着ランプ"), kLampHint});
  connect(l, &ClickLabel::clicked, this, [this, onClick] { run(onClick); });
  binder_.onSync([l, &state] {
    setTextColour(l, colour(state.fontColor));
    const Qt::CursorShape shape =
        state.cursor == alerts::Cursor::HandPoint ? Qt::PointingHandCursor : Qt::ArrowCursor;
    if (l->cursor().shape() != shape) l->setCursor(shape);
  });
  return l;
}

// ---------------------------------------------------------------- the window's controls

void MainWindow::build() {
  client_ = new QWidget(this);
  QFont f(QStringLiteral("IPAGothic"));
  f.setPixelSize(12);
  client_->setFont(f);
  setCentralWidget(client_);
  buildLogArea();
  buildPageArea();
  buildSettingsArea();
  buildListArea();

  views::MainLayout& L = model_.logViews.layout;
  binder_.onSync([this, &L] {
    struct Area {
      const char* name;
      const views::Rect& r;
      bool visible;
    };
    const Area areas[] = {{"Panel1", L.Panel1, true},
                          {"Panel2", L.Panel2, L.Panel2Visible},
                          {"Panel3", L.Panel3, L.Panel3Visible},
                          {"Panel4", L.Panel4, L.Panel4Visible},
                          {"Panel5", L.Panel5, true}};
    for (const Area& a : areas) {
      QWidget* w = control(QString::fromLatin1(a.name));
      if (w->geometry() != qrect(a.r)) w->setGeometry(qrect(a.r));
      if (w->isVisibleTo(client_) != a.visible) w->setVisible(a.visible);
    }
    const views::Rect* lists[] = {&L.Memo_List1, &L.Memo_List2, &L.Memo_List3};
    for (int l = 1; l <= 3; ++l) {
      const QRect r = qrect(*lists[l - 1]);
      QWidget* w = control(QStringLiteral("Memo_List%1").arg(l));
      if (w->geometry() != r) w->setGeometry(r);
    }
    QWidget* pcre = control(QStringLiteral("Memo_pcre"));
    if (pcre->geometry() != qrect(L.Memo_pcre)) pcre->setGeometry(qrect(L.Memo_pcre));
  });
}

void MainWindow::buildLogArea() {
  QFrame* p1 = panel(QStringLiteral("Panel1"), "ログ", client_);
  QFrame* p5 = panel(QStringLiteral("Panel5"), "表示", p1);
  p5->setFrameShape(QFrame::NoFrame);
  MainModel& m = model_;
  alerts::Lamps& lamps = m.alerts.lamps;

  lamp(p5, {4, 4, 14, 18}, QStringLiteral("Label13"), lamps.masterLamp,
       [&m] { m.resetAllLamps(); });
  auto* filters = new QButtonGroup(this);
  struct Filter {
    const char* name;
    const char* caption;
    QRect r;
    const bool& checked;
    const alerts::FilterCaption& colour;
    void (MainModel::*click)();
  };
  const Filter fs[] = {
      {"RadioButton1",
       "All",
       {20, 4, 44, 18},
       m.logViews.RadioButton1,
       lamps.allCaption,
       &MainModel::filterLogAll},
      {"RadioButton5",
       "123",
       {66, 4, 48, 18},
       m.logViews.RadioButton5,
       lamps.stackedCaption,
       &MainModel::filterLogStacked},
      {"RadioButton2",
       "1",
       {4, 26, 32, 18},
       m.logViews.RadioButton2,
       lamps.list1Caption,
       &MainModel::filterLogList1},
      {"RadioButton3",
       "2",
       {58, 26, 32, 18},
       m.logViews.RadioButton3,
       lamps.list2Caption,
       &MainModel::filterLogList2},
      {"RadioButton4",
       "3",
       {112, 26, 32, 18},
       m.logViews.RadioButton4,
       lamps.list3Caption,
       &MainModel::filterLogList3},
  };
  for (const Filter& f : fs) {
    auto click = f.click;
    QRadioButton* b = radio(p5, f.r, QString::fromLatin1(f.name), QString::fromLatin1(f.caption),
                            {}, f.checked, [&m, click] { (m.*click)(); });
    filters->addButton(b);
    const alerts::FilterCaption& c = f.colour;
    binder_.onSync([b, &c] { setTextColour(b, colour(c.fontColor)); });
  }
  lamp(p5, {36, 26, 14, 18}, QStringLiteral("Label10"), lamps.list1Lamp,
       [&m] { m.resetList1Lamp(); });
  lamp(p5, {90, 26, 14, 18}, QStringLiteral("Label11"), lamps.list2Lamp,
       [&m] { m.resetList2Lamp(); });
  lamp(p5, {144, 26, 14, 18}, QStringLiteral("Label12"), lamps.list3Lamp,
       [&m] { m.resetList3Lamp(); });

  auto* image = new QLabel(p5);
  image->setGeometry(176, 4, 16, 16);
  image->setPixmap(globe());
  binder_.describe(image, {QStringLiteral("ImageInternet"), QString::fromUtf8("通信中"), {}});
  binder_.onSync([image, &m] {
    if (image->isVisibleTo(image->parentWidget()) != m.pageChecks.ImageInternet)
      image->setVisible(m.pageChecks.ImageInternet);
  });

  auto* modes = new QButtonGroup(this);
  modes->addButton(radio(p5, {4, 48, 56, 18}, QStringLiteral("radioDisp1"),
                         QString::fromUtf8("原文"), {}, m.logViews.radioDisp1,
                         [&m] { m.chooseDisplay1(); }));
  modes->addButton(radio(p5, {60, 48, 56, 18}, QStringLiteral("radioDisp2"),
                         QString::fromUtf8("整列"), {}, m.logViews.radioDisp2,
                         [&m] { m.chooseDisplay2(); }));

  QStringList counts;
  for (int n = 2; n <= 30; ++n) counts.push_back(QString::number(n));
  bound(
      p5, {120, 46, 48, 22}, "ComboBox1", [&m] { m.applyColumnCount(); }, counts);
  label(p5, {172, 48, 22, 18}, QString::fromUtf8("列"));
  QStringList fontNames;
  for (const std::string& item : views::fontItems()) fontNames.push_back(qs(item));
  bound(
      p5, {4, 68, 96, 22}, "ComboBox2", [&m] { m.applyLogFont(); }, fontNames);
  button(p5, {104, 68, 44, 22}, QStringLiteral("Button1"), QStringLiteral("CLR"), {},
         [&m] { m.clearLogs(); });
  bound(p5, {4, 92, 70, 18}, "CheckBox1", [&m] { m.applyConfigSwitch(); });
  // "new": the newest lines feed the patrol lists.
  bound(p5, {78, 92, 60, 18}, "CheckBox2", [&m] { m.applyNewSwitch(); });

  // The five panes, one popup menu for all.
  auto* menu = new QMenu(this);
  QAction* copy = menu->addAction(QString::fromUtf8("コピー   (&C)"));
  QAction* all = menu->addAction(QString::fromUtf8("すべて選択   (&A)"));
  menu->addSeparator();
  QAction* replace = menu->addAction(QString::fromUtf8("巡回リストを置換     (&1)"));
  QAction* append = menu->addAction(QString::fromUtf8("巡回リストに追加     (&2)"));
  QAction* newN1 = menu->addAction(QString());
  newN1->setCheckable(true);
  connect(copy, &QAction::triggered, this, [this, &m] { run([&m] { m.copySelection(); }); });
  connect(all, &QAction::triggered, this, [this, &m] { run([&m] { m.selectWholeLog(); }); });
  // The patrol items feed from the aligned pane that has the keyboard focus.
  auto focusedPane = [this] {
    for (std::size_t i = 1; i < panes_.size(); ++i)
      if (panes_[i] == QApplication::focusWidget()) return int(i) - 1;
    return -1;
  };
  connect(replace, &QAction::triggered, this, [this, &m, focusedPane] {
    run([&m, p = focusedPane()] { m.feedPatrolListsReplacing(p); });
  });
  connect(append, &QAction::triggered, this, [this, &m, focusedPane] {
    run([&m, p = focusedPane()] { m.feedPatrolListsAppending(p); });
  });
  connect(newN1, &QAction::triggered, this, [this, &m] { run([&m] { m.toggleNewSwitch(); }); });
  connect(menu, &QMenu::aboutToShow, this, [&m, replace, append, newN1] {
    m.prepareLogMenu();
    replace->setEnabled(m.logViews.logMenu.replaceEnabled);
    append->setEnabled(m.logViews.logMenu.appendEnabled);
    newN1->setEnabled(m.logViews.logMenu.newItemEnabled);
    newN1->setChecked(m.logViews.logMenu.newItemChecked);
    newN1->setText(qs(m.logViews.logMenu.newItemCaption));
  });

  views::Pane* models[] = {&m.logViews.Memo_Log, &m.logViews.Memo_Log2, &m.logViews.Memo_Log3,
                           &m.logViews.Memo_Log4, &m.logViews.Memo_Log5};
  const char* names[] = {"Memo_Log", "Memo_Log2", "Memo_Log3", "Memo_Log4", "Memo_Log5"};
  // What each pane holds, for its accessible name.
  const char* holds[] = {"通知ログ", "整列ログ", "未交信ﾘｽﾄ1のログ", "未交信ﾘｽﾄ2のログ",
                         "未交信ﾘｽﾄ3のログ"};
  void (MainModel::*doubleClicks[])() = {
      &MainModel::transferFromNoticeLog, &MainModel::transferFromAlignedLog,
      &MainModel::transferFromList1Log, &MainModel::transferFromList2Log,
      &MainModel::transferFromList3Log};
  for (int i = 0; i < 5; ++i) {
    views::Pane& pane = *models[i];
    auto* w = new LogPane(pane, p1);
    w->onDoubleClick = [this, &m, handler = doubleClicks[i]] { run([&] { (m.*handler)(); }); };
    binder_.describe(w, {QString::fromLatin1(names[i]), QString::fromUtf8(holds[i]), {}});
    w->onKey = [this, &m, &pane](char key) { run([&] { m.paneKeyDown(pane, key, true); }); };
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [menu, w](const QPoint& at) { menu->popup(w->mapToGlobal(at)); });
    panes_.push_back(w);
  }
  const std::int32_t* colours[] = {&m.logViews.Color[0], &m.logViews.Color[1],
                                   &m.logViews.Color[2]};
  binder_.onSync([this, colours] {
    for (LogPane* p : panes_) p->syncFromModel();
    for (int n = 0; n < 3; ++n) {
      const QColor c = storedColour(*colours[n]);
      setBase(panes_[std::size_t(n) + 2], c);
      setBase(control(QStringLiteral("Memo_List%1").arg(n + 1)), c);
    }
  });
}

void MainWindow::buildPageArea() {
  QFrame* p2 = panel(QStringLiteral("Panel2"), "巡回", client_);
  MainModel& m = model_;
  const QString checkHint = QString::fromUtf8("手動実行 ( 巡回と通知 )");
  const QString ieHint = QString::fromUtf8("IE起動");
  void (MainModel::*openUrl[])() = {&MainModel::openPage1, &MainModel::openPage2,
                                    &MainModel::openPage3};
  for (int n = 1; n <= 3; ++n) {
    const int y = 4 + (n - 1) * 24;
    const std::size_t i = std::size_t(n - 1);
    const std::string number = std::to_string(n);
    bound(p2, {4, y, 58, 20}, ("chkURL" + number).c_str());
    bound(p2, {64, y, 380, 22}, ("edtURL" + number).c_str());
    auto open = openUrl[i];
    button(p2, {448, y, 36, 22}, QStringLiteral("btnURL%1").arg(n), QStringLiteral("IE"), ieHint,
           [&m, open] { (m.*open)(); });
    QPushButton* chk = button(p2, {488, y, 48, 22}, QStringLiteral("btnChkUrl%1").arg(n),
                              QStringLiteral("Chk"), checkHint, [&m, n] { m.UrlCheck(n); });
    const bool* e = &m.pageChecks.btnChkUrlEnabled[i];
    binder_.onSync([chk, e] {
      if (chk->isEnabled() != *e) chk->setEnabled(*e);
    });
  }

  const QString intervalHint = QString::fromUtf8("自動巡回の間隔を指定（単位は１分強、Offで停止）");
  label(p2, {548, 6, 30, 18}, QString::fromUtf8("巡回"), intervalHint);
  auto* intervals = new QButtonGroup(this);
  intervals->addButton(radio(p2, {580, 4, 44, 20}, QStringLiteral("radioTimeSel_Off"),
                             QStringLiteral("Off"), intervalHint, m.patrolClock.radioTimeSel_Off,
                             [&m] { m.switchPatrolOff(); }));
  struct Interval {
    int minutes;
    const bool& selected;
    void (MainModel::*click)();
    void (MainModel::*doubleClick)();
  };
  const Interval is[] = {
      {2, m.patrolClock.radioTimeSel_2min, &MainModel::patrolEvery2Min,
       &MainModel::patrolEvery2MinFromNextTick},
      {3, m.patrolClock.radioTimeSel_3min, &MainModel::patrolEvery3Min,
       &MainModel::patrolEvery3MinFromNextTick},
      {4, m.patrolClock.radioTimeSel_4min, &MainModel::patrolEvery4Min,
       &MainModel::patrolEvery4MinFromNextTick},
      {5, m.patrolClock.radioTimeSel_5min, &MainModel::patrolEvery5Min,
       &MainModel::patrolEvery5MinFromNextTick},
  };
  for (const Interval& iv : is) {
    auto click = iv.click;
    auto dbl = iv.doubleClick;
    QRadioButton* b =
        radio(p2, {626 + (iv.minutes - 2) * 36, 4, 34, 20},
              QStringLiteral("radioTimeSel_%1min").arg(iv.minutes), QString::number(iv.minutes),
              intervalHint, iv.selected, [&m, click] { (m.*click)(); });
    intervals->addButton(b);
    b->installEventFilter(this);
    onDoubleClick_[b] = [&m, dbl] { (m.*dbl)(); };
  }
  label(p2, {772, 6, 20, 18}, QString::fromUtf8("分"), intervalHint);

  auto* progress = new QProgressBar(p2);
  progress->setGeometry(548, 30, 244, 14);
  progress->setRange(0, 60);
  progress->setTextVisible(false);
  binder_.describe(
      progress,
      {QStringLiteral("ProgressBar1"), {}, QString::fromUtf8("自動巡回の間隔ﾀｲﾏｰ経過時間")});
  binder_.onSync([progress, &m] {
    if (progress->value() != m.patrolClock.ProgressBar1)
      progress->setValue(m.patrolClock.ProgressBar1);
  });

  auto* status = new QLineEdit(p2);
  status->setGeometry(548, 52, 244, 22);
  status->setReadOnly(true);
  binder_.describe(
      status,
      {QStringLiteral("edtStatus"), {}, QString::fromUtf8("ｼｽﾃﾑﾒｯｾｰｼﾞ (通常はﾒｯｾｰｼﾞなし)")});
  binder_.onSync([status, &m] {
    if (cp(status->text()) != m.edtStatus) status->setText(qs(m.edtStatus));
  });

  bound(p2, {4, 80, 56, 20}, "chkAlert");
  bound(p2, {64, 78, 300, 22}, "edtSound");
  button(p2, {368, 78, 28, 22}, QStringLiteral("btnSoundFile"), QStringLiteral("..."),
         QString::fromUtf8("音声通知用WAVﾌｧｲﾙを指定 (Windows\\Media\\ﾌｫﾙﾀﾞｰにWAVﾌｧｲﾙあり)"),
         [&m] { m.chooseSoundFile(); });
  button(p2, {400, 78, 48, 22}, QStringLiteral("btnSoundTest"), QStringLiteral("Test"),
         QString::fromUtf8("手動実行 ( 音声通知の確認 )"), [&m] { m.playTestSound(); });

  button(p2, {548, 78, 90, 22}, QStringLiteral("Button3"), QStringLiteral("1'st QSO"), {}, [this] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<SettingsDialog*>(w)) {
        dialog->showModalFrom(this);
        return;
      }
  });
  button(p2, {644, 78, 70, 22}, QStringLiteral("btnSave"), QStringLiteral("SAVE"),
         QString::fromUtf8("全ての設定を手動で保存します （終了時は自動保存されます）"),
         [&m] { m.saveNow(); });
}

void MainWindow::buildSettingsArea() {
  QFrame* p4 = panel(QStringLiteral("Panel4"), "ﾒｰﾙと抽出", client_);
  MainModel& m = model_;

  bound(p4, {4, 4, 84, 20}, "chkMail");
  bound(p4, {92, 4, 96, 20}, "chkAuth");
  button(
      p4, {192, 2, 100, 22}, QStringLiteral("btnPageTest"), QString::fromUtf8("試験"),
      QString::fromUtf8(
          "区切り語・抽出ﾃﾝﾌﾟﾚｰﾄ・Body でﾍﾟｰｼﾞを試し切りします (ﾛｸﾞ・ﾗﾝﾌﾟ・ﾒｰﾙには何もしません)"),
      [this] {
        for (QWidget* w : QApplication::topLevelWidgets())
          if (auto* tester = qobject_cast<PageTestWindow*>(w)) {
            tester->showAndRun();
            return;
          }
      });
  button(p4, {300, 2, 72, 22}, QStringLiteral("btnChkMail"), QString::fromUtf8("送信ﾃｽﾄ"),
         QString::fromUtf8("手動実行 ( 本文なしで送信 )"), [&m] { m.sendMailNow(); });
  auto* stat = new ClickLabel(QStringLiteral("Stat"), p4);
  stat->setGeometry(380, 6, 34, 18);
  binder_.describe(stat, {QStringLiteral("Label17"), QStringLiteral("Stat"), {}});
  connect(stat, &ClickLabel::doubleClicked, this, [this, &m](Qt::KeyboardModifiers mods) {
    run([&] {
      m.showMailStatusOnRequest(mods & Qt::ShiftModifier, mods & Qt::ControlModifier);
      if (!m.alerts.Form3.Visible) return;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* mailStatus = qobject_cast<MailStatusWindow*>(w))
          mailStatus->showStatus(m.alerts.Form3);
    });
  });

  // Each edit box with its caption as a label in front.
  struct Field {
    const char* control;
    QRect label, box;
    int maxLength;
  };
  const Field fields[] = {
      {"edtTo", {4, 30, 40, 18}, {46, 28, 368, 22}, 250},
      {"edtFrom", {4, 54, 40, 18}, {46, 52, 180, 22}, 250},
      {"edtFromName", {230, 54, 32, 18}, {264, 52, 150, 22}, 0},
      {"edtSubj", {4, 78, 40, 18}, {46, 76, 368, 22}, 250},
      {"edtSmtp", {4, 102, 40, 18}, {46, 100, 250, 22}, 0},
      {"edtPort", {300, 102, 34, 18}, {336, 100, 78, 22}, 4},
      {"edtSmtpID", {4, 126, 40, 18}, {46, 124, 150, 22}, 0},
      {"edtSmtpPASS", {200, 126, 40, 18}, {242, 124, 172, 22}, 0},
      {"edtSepStart", {4, 150, 40, 18}, {46, 148, 180, 22}, 250},
      {"edtSepEnd", {}, {230, 148, 184, 22}, 250},
      {"Edit1", {4, 174, 40, 18}, {46, 172, 368, 22}, 0},
  };
  for (const Field& f : fields) {
    const SettingRow* row = settingRowForControl(f.control);
    if (!f.label.isNull()) label(p4, f.label, QString::fromUtf8(row->caption));
    const std::string_view name = f.control;
    const bool cutsPages = name == "edtSepStart" || name == "edtSepEnd" || name == "Edit1";
    auto* box = static_cast<QLineEdit*>(
        bound(p4, f.box, f.control,
              cutsPages ? std::function<void()>([this] { emit pageSettingsEdited(); })
                        : std::function<void()>()));
    if (f.maxLength) box->setMaxLength(f.maxLength);
  }

  auto* pcre = new QPlainTextEdit(p4);
  pcre->setLineWrapMode(QPlainTextEdit::NoWrap);
  binder_.describe(pcre, binder::Binder::rowText(*settingRowForControl("Memo_pcre"), 0));
  connect(pcre, &QPlainTextEdit::textChanged, this, [this, pcre, &m] {
    run([&] { m.pageChecks.Memo_pcre = text::splitLines(cpMemo(pcre->toPlainText())); });
    emit pageSettingsEdited();
  });
  binder_.onSync([pcre, &m] {
    if (text::splitLines(cpMemo(pcre->toPlainText())) == m.pageChecks.Memo_pcre) return;
    QStringList lines;
    for (const std::string& l : m.pageChecks.Memo_pcre) lines.push_back(qs(l));
    pcre->setPlainText(lines.join('\n'));
  });
}

void MainWindow::buildListArea() {
  QFrame* p3 = panel(QStringLiteral("Panel3"), "未交信ﾘｽﾄ", client_);
  MainModel& m = model_;
  QFont mono(QStringLiteral("IPAGothic"));
  mono.setStyleHint(QFont::TypeWriter);
  mono.setPixelSize(12);
  for (int l = 1; l <= 3; ++l) {
    const int y = 2 + (l - 1) * 116;
    const std::string list = "Memo_List" + std::to_string(l);
    int n = 0;
    const SettingRow& listRow = *settingRowForControl(list, &n);
    const binder::ControlText listText = binder::Binder::rowText(listRow, n);
    label(p3, {3, y + 2, 80, 18}, listText.caption, listText.hint);
    QLabel* counter = label(p3, {84, y + 2, 90, 18}, {});
    counter->setFont(mono);
    binder_.describe(
        counter,
        {QStringLiteral("LabelList%1").arg(l), listText.caption + QString::fromUtf8(" 件数"), {}});
    const std::string* text = &m.watchLists.LabelList[std::size_t(l - 1)];
    binder_.onSync([counter, text] {
      if (cp(counter->text()) != *text) counter->setText(qs(*text));
    });
    label(p3, {176, y + 2, 30, 18}, QStringLiteral("URL"),
          QString::fromUtf8(settingRowForControl("chkList1Url1")->hint));
    for (int u = 1; u <= 3; ++u)
      bound(p3, {206 + (u - 1) * 36, y, 34, 20},
            ("chkList" + std::to_string(l) + "Url" + std::to_string(u)).c_str());
    binder_.memo(
        p3, listText, m.watchLists.text(l), [&m, l] { m.watchLists.refreshCounter(l); },
        [&m] { m.watchLists.normalize(); });
  }
}

// ---------------------------------------------------------------- showing the model

void MainWindow::applyModelGeometry() {
  const std::array<int, 4> wanted = {model_.logViews.Left, model_.logViews.Top,
                                     model_.logViews.Width, model_.logViews.Height};
  if (wanted == shownGeometry_) return;
  shownGeometry_ = wanted;
  resize(model_.logViews.Width - 8,
         model_.logViews.Height - model_.logViews.layout.captionHeight - 8);
  move(model_.logViews.Left, model_.logViews.Top);
}

void MainWindow::syncFromModel() {
  if (binder_.syncing()) return;
  applyModelGeometry();
  binder_.sync();
  if (model_.alerts.Form3.Visible)
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* mailStatus = qobject_cast<MailStatusWindow*>(w);
          mailStatus && mailStatus->isVisible())
        mailStatus->showStatus(model_.alerts.Form3);
}

void MainWindow::refreshCaption() { setWindowTitle(qs(model_.caption)); }

void MainWindow::tick() {
  if (!model_.patrolClock.Timer1Enabled) return;
  model_.tick();
  refreshCaption();
  syncFromModel();
}

// ---------------------------------------------------------------- window events

void MainWindow::takeWindowGeometry() {
  const int caption = model_.logViews.layout.captionHeight;
  model_.logViews.Width = width() + 8;
  model_.logViews.Height = height() + caption + 8;
  shownGeometry_[2] = model_.logViews.Width;
  shownGeometry_[3] = model_.logViews.Height;
}

void MainWindow::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  if (!client_ || binder_.syncing()) return;
  run([this] {
    takeWindowGeometry();
    model_.fitToWindowSize();
  });
}

void MainWindow::moveEvent(QMoveEvent* e) {
  QMainWindow::moveEvent(e);
  // Placing the window reports a position with or without the frame, as the platform has it;
  // taking that back would shift the window a little at every restart. Only the user's moves
  // count.
  if (!placed_) return;
  model_.logViews.Left = shownGeometry_[0] = x();
  model_.logViews.Top = shownGeometry_[1] = y();
}

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  QTimer::singleShot(0, this, [this] { placed_ = true; });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonDblClick) {
    const auto it = onDoubleClick_.find(watched);
    if (it != onDoubleClick_.end()) run(it->second);
  }
  return QMainWindow::eventFilter(watched, e);
}

bool MainWindow::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) model_.LastActiveWindow = this;
  return QMainWindow::event(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
  e->accept();
  // A second request (a signal during the close, say) must not run the close sequence again.
  if (closed_) return;
  closed_ = true;
  timer1_.stop();
  model_.close();
  emit closed();
}

}  // namespace zeltaro::app::ui
