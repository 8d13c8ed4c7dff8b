#include "app/ui/tform1.h"

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

#include "app/ui/click_label.h"
#include "app/ui/log_pane.h"
#include "app/ui/qt_text.h"
#include "app/ui/tform2.h"
#include "app/ui/tform3.h"
#include "text/sjis.h"
#include "views/log_font.h"

namespace zeltaro::app::ui {
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

TForm1::TForm1(MainModel& model, const std::vector<std::string>& args, QWidget* parent)
    : QMainWindow(parent), model_(model) {
  model_.LastActiveWindow = this;
  model_.layout.captionHeight = style()->pixelMetric(QStyle::PM_TitleBarHeight);
  if (!model_.hooks.copyToClipboard)
    model_.hooks.copyToClipboard = [](const std::string& t) {
      QGuiApplication::clipboard()->setText(qs(t));
    };
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
  connect(&timer1_, &QTimer::timeout, this, &TForm1::tick);
  timer1_.start();
}

TForm1::~TForm1() = default;

// ---------------------------------------------------------------- binding helpers

void TForm1::name(QWidget* w, const QString& n) {
  w->setObjectName(n);
  controls_[n] = w;
}

QWidget* TForm1::control(const QString& n) const {
  const auto it = controls_.find(n);
  return it == controls_.end() ? nullptr : it->second;
}

void TForm1::run(const std::function<void()>& handler) {
  if (syncing_) return;
  handler();
  syncFromModel();
}

QFrame* TForm1::panel(const QString& n, QWidget* parent) {
  auto* f = new QFrame(parent);
  f->setFrameShape(QFrame::StyledPanel);
  f->setFrameShadow(QFrame::Raised);
  name(f, n);
  return f;
}

QLabel* TForm1::label(QWidget* parent, const QRect& r, const QString& caption,
                      const QString& hint) {
  auto* l = new QLabel(caption, parent);
  l->setGeometry(r);
  if (!hint.isEmpty()) l->setToolTip(hint);
  return l;
}

QCheckBox* TForm1::check(QWidget* parent, const QRect& r, const QString& n, const QString& caption,
                         const QString& hint, bool& field, std::function<void()> handler) {
  auto* c = new QCheckBox(caption, parent);
  c->setGeometry(r);
  c->setToolTip(hint);
  name(c, n);
  connect(c, &QCheckBox::clicked, this, [this, &field, handler](bool on) {
    run([&] {
      field = on;
      if (handler) handler();
    });
  });
  pushers_.push_back([c, &field] {
    if (c->isChecked() != field) c->setChecked(field);
  });
  return c;
}

QLineEdit* TForm1::edit(QWidget* parent, const QRect& r, const QString& n, const QString& hint,
                        std::string& field, std::function<void()> handler) {
  auto* e = new QLineEdit(parent);
  e->setGeometry(r);
  e->setToolTip(hint);
  name(e, n);
  connect(e, &QLineEdit::textEdited, this, [this, &field, handler](const QString& t) {
    run([&] {
      field = cp(t);
      if (handler) handler();
    });
  });
  // Only a text the model changed is put back, so typing keeps its caret.
  pushers_.push_back([e, &field] {
    if (cp(e->text()) != field) e->setText(qs(field));
  });
  return e;
}

QPushButton* TForm1::button(QWidget* parent, const QRect& r, const QString& n,
                            const QString& caption, const QString& hint,
                            std::function<void()> handler) {
  auto* b = new QPushButton(caption, parent);
  b->setGeometry(r);
  if (!hint.isEmpty()) b->setToolTip(hint);
  name(b, n);
  connect(b, &QPushButton::clicked, this, [this, handler] { run(handler); });
  return b;
}

QRadioButton* TForm1::radio(QWidget* parent, const QRect& r, const QString& n,
                            const QString& caption, const QString& hint, const bool& field,
                            std::function<void()> handler) {
  auto* b = new QRadioButton(caption, parent);
  b->setGeometry(r);
  if (!hint.isEmpty()) b->setToolTip(hint);
  name(b, n);
  connect(b, &QRadioButton::clicked, this, [this, handler] { run(handler); });
  pushers_.push_back([b, &field] {
    if (b->isChecked() != field) b->setChecked(field);
  });
  return b;
}

QPlainTextEdit* TForm1::listMemo(QWidget* parent, const QString& n, const QString& hint,
                                 std::string& field, std::function<void()> onChange,
                                 std::function<void()> onExit) {
  auto* m = new QPlainTextEdit(parent);
  m->setLineWrapMode(QPlainTextEdit::NoWrap);
  m->setToolTip(hint);
  name(m, n);
  connect(m, &QPlainTextEdit::textChanged, this, [this, m, &field, onChange] {
    run([&] {
      field = cpMemo(m->toPlainText());
      if (onChange) onChange();
    });
  });
  m->installEventFilter(this);
  onExit_[m] = onExit;
  // A text the model changed (tabs turned into spaces) comes back with caret, selection and
  // scroll position where they were.
  pushers_.push_back([m, &field] {
    if (cpMemo(m->toPlainText()) == field) return;
    const QTextCursor old = m->textCursor();
    const int anchor = old.anchor(), position = old.position();
    const int scroll = m->verticalScrollBar()->value();
    m->setPlainText(qsMemo(field));
    QTextCursor c(m->document());
    const int last = m->document()->characterCount() - 1;
    c.setPosition(std::min(anchor, last));
    c.setPosition(std::min(position, last), QTextCursor::KeepAnchor);
    m->setTextCursor(c);
    m->verticalScrollBar()->setValue(scroll);
  });
  return m;
}

QComboBox* TForm1::combo(QWidget* parent, const QRect& r, const QString& n,
                         const QStringList& items, int& index, std::function<void()> handler) {
  auto* c = new QComboBox(parent);
  c->setGeometry(r);
  c->addItems(items);
  name(c, n);
  connect(c, &QComboBox::activated, this, [this, &index, handler](int i) {
    run([&] {
      index = i;
      handler();
    });
  });
  pushers_.push_back([c, &index] {
    if (c->currentIndex() != index) c->setCurrentIndex(index);
  });
  return c;
}

ClickLabel* TForm1::lamp(QWidget* parent, const QRect& r, const QString& n,
                         const alerts::LampLabel& state, std::function<void()> onClick) {
  auto* l = new ClickLabel(QString::fromUtf8("●"), parent);
  l->setGeometry(r);
  l->setToolTip(kLampHint);
  name(l, n);
  connect(l, &ClickLabel::clicked, this, [this, onClick] { run(onClick); });
  pushers_.push_back([l, &state] {
    setTextColour(l, colour(state.fontColor));
    const Qt::CursorShape shape =
        state.cursor == alerts::Cursor::HandPoint ? Qt::PointingHandCursor : Qt::ArrowCursor;
    if (l->cursor().shape() != shape) l->setCursor(shape);
  });
  return l;
}

// ---------------------------------------------------------------- the window's controls

void TForm1::build() {
  client_ = new QWidget(this);
  QFont f(QStringLiteral("IPAGothic"));
  f.setPixelSize(12);
  client_->setFont(f);
  setCentralWidget(client_);
  buildLogArea();
  buildPageArea();
  buildSettingsArea();
  buildListArea();

  views::MainLayout& L = model_.layout;
  pushers_.push_back([this, &L] {
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
    for (const char* n : {"Memo_List1", "Memo_List2", "Memo_List3"}) {
      const views::Rect& r = n[9] == '1' ? L.Memo_List1 : n[9] == '2' ? L.Memo_List2 : L.Memo_List3;
      QWidget* w = control(QString::fromLatin1(n));
      if (w->geometry() != qrect(r)) w->setGeometry(qrect(r));
    }
    QWidget* pcre = control(QStringLiteral("Memo_pcre"));
    if (pcre->geometry() != qrect(L.Memo_pcre)) pcre->setGeometry(qrect(L.Memo_pcre));
  });
}

void TForm1::buildLogArea() {
  QFrame* p1 = panel(QStringLiteral("Panel1"), client_);
  QFrame* p5 = panel(QStringLiteral("Panel5"), p1);
  p5->setFrameShape(QFrame::NoFrame);
  MainModel& m = model_;
  alerts::Lamps& lamps = m.lamps;

  lamp(p5, {4, 4, 14, 18}, QStringLiteral("Label13"), lamps.Label13, [&m] { m.Label13Click(); });
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
       m.RadioButton1,
       lamps.RadioButton1,
       &MainModel::RadioButton1Click},
      {"RadioButton5",
       "123",
       {66, 4, 48, 18},
       m.RadioButton5,
       lamps.RadioButton5,
       &MainModel::RadioButton5Click},
      {"RadioButton2",
       "1",
       {4, 26, 32, 18},
       m.RadioButton2,
       lamps.RadioButton2,
       &MainModel::RadioButton2Click},
      {"RadioButton3",
       "2",
       {58, 26, 32, 18},
       m.RadioButton3,
       lamps.RadioButton3,
       &MainModel::RadioButton3Click},
      {"RadioButton4",
       "3",
       {112, 26, 32, 18},
       m.RadioButton4,
       lamps.RadioButton4,
       &MainModel::RadioButton4Click},
  };
  for (const Filter& f : fs) {
    auto click = f.click;
    QRadioButton* b = radio(p5, f.r, QString::fromLatin1(f.name), QString::fromLatin1(f.caption),
                            {}, f.checked, [&m, click] { (m.*click)(); });
    filters->addButton(b);
    const alerts::FilterCaption& c = f.colour;
    pushers_.push_back([b, &c] { setTextColour(b, colour(c.fontColor)); });
  }
  lamp(p5, {36, 26, 14, 18}, QStringLiteral("Label10"), lamps.Label10, [&m] { m.Label10Click(); });
  lamp(p5, {90, 26, 14, 18}, QStringLiteral("Label11"), lamps.Label11, [&m] { m.Label11Click(); });
  lamp(p5, {144, 26, 14, 18}, QStringLiteral("Label12"), lamps.Label12, [&m] { m.Label12Click(); });

  auto* image = new QLabel(p5);
  image->setGeometry(176, 4, 16, 16);
  image->setPixmap(globe());
  name(image, QStringLiteral("ImageInternet"));
  pushers_.push_back([image, &m] {
    if (image->isVisibleTo(image->parentWidget()) != m.ImageInternet)
      image->setVisible(m.ImageInternet);
  });

  auto* modes = new QButtonGroup(this);
  modes->addButton(radio(p5, {4, 48, 56, 18}, QStringLiteral("radioDisp1"),
                         QString::fromUtf8("原文"), {}, m.radioDisp1,
                         [&m] { m.radioDisp1Click(); }));
  modes->addButton(radio(p5, {60, 48, 56, 18}, QStringLiteral("radioDisp2"),
                         QString::fromUtf8("整列"), {}, m.radioDisp2,
                         [&m] { m.radioDisp2Click(); }));

  QStringList counts;
  for (int n = 2; n <= 30; ++n) counts.push_back(QString::number(n));
  combo(p5, {120, 46, 48, 22}, QStringLiteral("ComboBox1"), counts, m.ComboBox1,
        [&m] { m.ComboBox1Change(); });
  label(p5, {172, 48, 22, 18}, QString::fromUtf8("列"));
  QStringList fontNames;
  for (const std::string& item : views::fontItems()) fontNames.push_back(qs(item));
  combo(p5, {4, 68, 96, 22}, QStringLiteral("ComboBox2"), fontNames, m.ComboBox2,
        [&m] { m.ComboBox2Change(); });
  button(p5, {104, 68, 44, 22}, QStringLiteral("Button1"), QStringLiteral("CLR"), {},
         [&m] { m.Button1Click(); });
  check(p5, {4, 92, 70, 18}, QStringLiteral("CheckBox1"), QStringLiteral("Config"), {}, m.CheckBox1,
        [&m] { m.CheckBox1Click(); });
  // The "new" feed belongs to the patrol lists; until they exist the box only keeps its state.
  check(p5, {78, 92, 60, 18}, QStringLiteral("CheckBox2"), QStringLiteral("new"), {}, m.CheckBox2);

  // The five panes, one popup menu for all.
  auto* menu = new QMenu(this);
  QAction* copy = menu->addAction(QString::fromUtf8("コピー   (&C)"));
  QAction* all = menu->addAction(QString::fromUtf8("すべて選択   (&A)"));
  menu->addSeparator();
  QAction* replace = menu->addAction(QString::fromUtf8("巡回リストを置換     (&1)"));
  QAction* append = menu->addAction(QString::fromUtf8("巡回リストに追加     (&2)"));
  QAction* newN1 = menu->addAction(QString());
  newN1->setCheckable(true);
  connect(copy, &QAction::triggered, this, [this, &m] { run([&m] { m.menu_CopyClick(); }); });
  connect(all, &QAction::triggered, this, [this, &m] { run([&m] { m.menu_AllClick(); }); });
  connect(menu, &QMenu::aboutToShow, this, [&m, replace, append, newN1] {
    m.PopupMenu1Popup();
    replace->setEnabled(m.popupMenu1.menu_ReplaceEnabled);
    append->setEnabled(m.popupMenu1.menu_AppendEnabled);
    newN1->setEnabled(m.popupMenu1.newN1Enabled);
    newN1->setChecked(m.popupMenu1.newN1Checked);
    newN1->setText(qs(m.popupMenu1.newN1Caption));
  });

  views::Pane* models[] = {&m.Memo_Log, &m.Memo_Log2, &m.Memo_Log3, &m.Memo_Log4, &m.Memo_Log5};
  const char* names[] = {"Memo_Log", "Memo_Log2", "Memo_Log3", "Memo_Log4", "Memo_Log5"};
  for (int i = 0; i < 5; ++i) {
    views::Pane& pane = *models[i];
    auto* w = new LogPane(pane, p1);
    name(w, QString::fromLatin1(names[i]));
    w->onKey = [this, &m, &pane](char key) { run([&] { m.Memo_LogKeyDown(pane, key, true); }); };
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [menu, w](const QPoint& at) { menu->popup(w->mapToGlobal(at)); });
    panes_.push_back(w);
  }
  const std::int32_t* colours[] = {&m.Color_1, &m.Color_2, &m.Color_3};
  pushers_.push_back([this, colours] {
    for (LogPane* p : panes_) p->syncFromModel();
    for (int n = 0; n < 3; ++n) {
      const QColor c = storedColour(*colours[n]);
      setBase(panes_[std::size_t(n) + 2], c);
      setBase(control(QStringLiteral("Memo_List%1").arg(n + 1)), c);
    }
  });
}

void TForm1::buildPageArea() {
  QFrame* p2 = panel(QStringLiteral("Panel2"), client_);
  MainModel& m = model_;
  const QString urlHint = QString::fromUtf8("url記述欄  … 接続先URL (BAND/MODE別のURLを記述)");
  const QString onHint = QString::fromUtf8("ｵﾝで有効 （自動巡回時）");
  const QString checkHint = QString::fromUtf8("手動実行 ( 巡回と通知 )");
  const QString ieHint = QString::fromUtf8("IE起動");
  bool* on[] = {&m.chkURL1, &m.chkURL2, &m.chkURL3};
  std::string* address[] = {&m.edtURL1, &m.edtURL2, &m.edtURL3};
  const bool* enabled[] = {&m.btnChkUrl1Enabled, &m.btnChkUrl2Enabled, &m.btnChkUrl3Enabled};
  for (int n = 1; n <= 3; ++n) {
    const int y = 4 + (n - 1) * 24;
    const std::size_t i = std::size_t(n - 1);
    check(p2, {4, y, 58, 20}, QStringLiteral("chkURL%1").arg(n), QStringLiteral("URL%1").arg(n),
          onHint, *on[i]);
    edit(p2, {64, y, 380, 22}, QStringLiteral("edtURL%1").arg(n), urlHint, *address[i]);
    button(p2, {448, y, 36, 22}, QStringLiteral("btnURL%1").arg(n), QStringLiteral("IE"), ieHint,
           [&m, n] { n == 1   ? m.btnURL1Click()
                     : n == 2 ? m.btnURL2Click()
                              : m.btnURL3Click(); });
    QPushButton* chk = button(p2, {488, y, 48, 22}, QStringLiteral("btnChkUrl%1").arg(n),
                              QStringLiteral("Chk"), checkHint, [&m, n] { m.UrlCheck(n); });
    const bool* e = enabled[i];
    pushers_.push_back([chk, e] {
      if (chk->isEnabled() != *e) chk->setEnabled(*e);
    });
  }

  const QString intervalHint = QString::fromUtf8("自動巡回の間隔を指定（単位は１分強、Offで停止）");
  label(p2, {548, 6, 30, 18}, QString::fromUtf8("巡回"), intervalHint);
  auto* intervals = new QButtonGroup(this);
  intervals->addButton(radio(p2, {580, 4, 44, 20}, QStringLiteral("radioTimeSel_Off"),
                             QStringLiteral("Off"), intervalHint, m.radioTimeSel_Off,
                             [&m] { m.radioTimeSel_OffClick(); }));
  struct Interval {
    int minutes;
    const bool& selected;
    void (MainModel::*click)();
    void (MainModel::*doubleClick)();
  };
  const Interval is[] = {
      {2, m.radioTimeSel_2min, &MainModel::radioTimeSel_2minClick,
       &MainModel::radioTimeSel_2minDblClick},
      {3, m.radioTimeSel_3min, &MainModel::radioTimeSel_3minClick,
       &MainModel::radioTimeSel_3minDblClick},
      {4, m.radioTimeSel_4min, &MainModel::radioTimeSel_4minClick,
       &MainModel::radioTimeSel_4minDblClick},
      {5, m.radioTimeSel_5min, &MainModel::radioTimeSel_5minClick,
       &MainModel::radioTimeSel_5minDblClick},
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
  progress->setToolTip(QString::fromUtf8("自動巡回の間隔ﾀｲﾏｰ経過時間"));
  name(progress, QStringLiteral("ProgressBar1"));
  pushers_.push_back([progress, &m] {
    if (progress->value() != m.ProgressBar1) progress->setValue(m.ProgressBar1);
  });

  auto* status = new QLineEdit(p2);
  status->setGeometry(548, 52, 244, 22);
  status->setReadOnly(true);
  status->setToolTip(QString::fromUtf8("ｼｽﾃﾑﾒｯｾｰｼﾞ (通常はﾒｯｾｰｼﾞなし)"));
  name(status, QStringLiteral("edtStatus"));
  pushers_.push_back([status, &m] {
    if (cp(status->text()) != m.edtStatus) status->setText(qs(m.edtStatus));
  });

  check(p2, {4, 80, 56, 20}, QStringLiteral("chkAlert"), QString::fromUtf8("音声"),
        QString::fromUtf8("ｵﾝで音声通知"), m.chkAlert);
  edit(p2, {64, 78, 300, 22}, QStringLiteral("edtSound"), QString::fromUtf8("音声通知用WAVﾌｧｲﾙ名"),
       m.edtSound);
  button(p2, {368, 78, 28, 22}, QStringLiteral("btnSoundFile"), QStringLiteral("..."),
         QString::fromUtf8("音声通知用WAVﾌｧｲﾙを指定 (Windows\\Media\\ﾌｫﾙﾀﾞｰにWAVﾌｧｲﾙあり)"),
         [&m] { m.btnSoundFileClick(); });
  button(p2, {400, 78, 48, 22}, QStringLiteral("btnSoundTest"), QStringLiteral("Test"),
         QString::fromUtf8("手動実行 ( 音声通知の確認 )"), [&m] { m.btnSoundTestClick(); });

  button(p2, {548, 78, 90, 22}, QStringLiteral("Button3"), QStringLiteral("1'st QSO"), {}, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<TForm2*>(w)) {
        dialog->setModal(true);
        dialog->show();
        dialog->raise();
        return;
      }
  });
  button(p2, {644, 78, 70, 22}, QStringLiteral("btnSave"), QStringLiteral("SAVE"),
         QString::fromUtf8("全ての設定を手動で保存します （終了時は自動保存されます）"),
         [&m] { m.btnSaveClick(); });
}

void TForm1::buildSettingsArea() {
  QFrame* p4 = panel(QStringLiteral("Panel4"), client_);
  MainModel& m = model_;
  alerts::MailSettings& mail = m.mail;

  check(p4, {4, 4, 84, 20}, QStringLiteral("chkMail"), QString::fromUtf8("ﾒｰﾙ通知"),
        QString::fromUtf8("ｵﾝでﾒｰﾙ通知 （現ﾊﾞｰｼﾞｮﾝはｻｰﾊﾞｰ接続異常時の再送機能はありません）"),
        mail.chkMail);
  check(p4, {92, 4, 96, 20}, QStringLiteral("chkAuth"), QString::fromUtf8("SMTP認証"),
        QString::fromUtf8("SMTP認証を有効にする （ ﾌﾟﾛﾊﾞｲﾀﾞ指定のPort番号を用いること ）"),
        mail.chkAuth);
  button(p4, {300, 2, 72, 22}, QStringLiteral("btnChkMail"), QString::fromUtf8("送信ﾃｽﾄ"),
         QString::fromUtf8("手動実行 ( 本文なしで送信 )"), [&m] { m.btnChkMailClick(); });
  auto* stat = new ClickLabel(QStringLiteral("Stat"), p4);
  stat->setGeometry(380, 6, 34, 18);
  name(stat, QStringLiteral("Label17"));
  connect(stat, &ClickLabel::doubleClicked, this, [this, &m](Qt::KeyboardModifiers mods) {
    run([&] {
      m.Label17DblClick(mods & Qt::ShiftModifier, mods & Qt::ControlModifier);
      if (!m.Form3.Visible) return;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form3 = qobject_cast<TForm3*>(w)) form3->showStatus(m.Form3);
    });
  });

  label(p4, {4, 30, 40, 18}, QStringLiteral("To"));
  QLineEdit* to = edit(p4, {46, 28, 368, 22}, QStringLiteral("edtTo"), {}, mail.edtTo);
  label(p4, {4, 54, 40, 18}, QStringLiteral("From"));
  QLineEdit* from = edit(p4, {46, 52, 180, 22}, QStringLiteral("edtFrom"), {}, mail.edtFrom);
  label(p4, {230, 54, 32, 18}, QString::fromUtf8("名前"));
  edit(p4, {264, 52, 150, 22}, QStringLiteral("edtFromName"),
       QString::fromUtf8("送信元の名前 … 漢字などOK"), mail.edtFromName);
  label(p4, {4, 78, 40, 18}, QString::fromUtf8("題名"));
  QLineEdit* subject = edit(p4, {46, 76, 368, 22}, QStringLiteral("edtSubj"),
                            QString::fromUtf8("題名 … 漢字などOK"), mail.edtSubj);
  label(p4, {4, 102, 40, 18}, QStringLiteral("SMTP"));
  edit(p4, {46, 100, 250, 22}, QStringLiteral("edtSmtp"), {}, mail.edtSmtp);
  label(p4, {300, 102, 34, 18}, QStringLiteral("Port"));
  QLineEdit* port =
      edit(p4, {336, 100, 78, 22}, QStringLiteral("edtPort"),
           QString::fromUtf8("SMTPﾒｰﾙの標準ﾎﾟｰﾄ番号25、 SMTP認証のときは587が一般的に使用される"),
           mail.edtPort);
  label(p4, {4, 126, 40, 18}, QStringLiteral("ID"));
  edit(p4, {46, 124, 150, 22}, QStringLiteral("edtSmtpID"), {}, mail.edtSmtpID);
  label(p4, {200, 126, 40, 18}, QStringLiteral("PASS"));
  QLineEdit* pass =
      edit(p4, {242, 124, 172, 22}, QStringLiteral("edtSmtpPASS"), {}, mail.edtSmtpPASS);
  pass->setEchoMode(QLineEdit::Password);
  for (QLineEdit* e : {to, from, subject}) e->setMaxLength(250);
  port->setMaxLength(4);

  label(p4, {4, 150, 40, 18}, QString::fromUtf8("区切り"));
  edit(p4, {46, 148, 180, 22}, QStringLiteral("edtSepStart"), QString::fromUtf8("区切り先頭ﾜｰﾄﾞ"),
       m.edtSepStart)
      ->setMaxLength(250);
  edit(p4, {230, 148, 184, 22}, QStringLiteral("edtSepEnd"), QString::fromUtf8("区切り終了ﾜｰﾄﾞ"),
       m.edtSepEnd)
      ->setMaxLength(250);
  label(p4, {4, 174, 40, 18}, QStringLiteral("Body:"));
  edit(
      p4, {46, 172, 368, 22}, QStringLiteral("Edit1"),
      QString::fromUtf8("通知文の定義 … $#01～$#13 (抽出文字列番号)。末尾に「!」があると検索対象。 "
                        "\\r\\nは改行ｺｰﾄﾞを示す。 半角ｽﾍﾟｰｽが文字列番号間に必須。"),
      m.Edit1);

  auto* pcre = new QPlainTextEdit(p4);
  pcre->setLineWrapMode(QPlainTextEdit::NoWrap);
  pcre->setToolTip(QString::fromUtf8("抽出条件文 … 抽出文字列番号とその前後を記述"));
  name(pcre, QStringLiteral("Memo_pcre"));
  connect(pcre, &QPlainTextEdit::textChanged, this, [this, pcre, &m] {
    run([&] { m.Memo_pcre = text::splitLines(cpMemo(pcre->toPlainText())); });
  });
  pushers_.push_back([pcre, &m] {
    if (text::splitLines(cpMemo(pcre->toPlainText())) == m.Memo_pcre) return;
    QStringList lines;
    for (const std::string& l : m.Memo_pcre) lines.push_back(qs(l));
    pcre->setPlainText(lines.join('\n'));
  });
}

void TForm1::buildListArea() {
  QFrame* p3 = panel(QStringLiteral("Panel3"), client_);
  MainModel& m = model_;
  const QString listHint = QString::fromUtf8(
      "未交信ﾘｽﾄ （Body:で定義した末尾に「!」が付く文字列番号の抽出文字に対してAND検索を行う。 "
      "語間は半角ｽﾍﾟｰｽ。 半角大文字と半角小文字の区別なし）");
  const QString enableHint = QString::fromUtf8("ｵﾝで未交信ﾘｽﾄとAND検索 (接続先URL別)");
  const std::string* counters[] = {&m.LabelList1, &m.LabelList2, &m.LabelList3};
  QFont mono(QStringLiteral("IPAGothic"));
  mono.setStyleHint(QFont::TypeWriter);
  mono.setPixelSize(12);
  for (int l = 1; l <= 3; ++l) {
    const int y = 2 + (l - 1) * 116;
    label(p3, {3, y + 2, 80, 18}, QString::fromUtf8("未交信ﾘｽﾄ%1").arg(l), listHint);
    QLabel* counter = label(p3, {84, y + 2, 90, 18}, {});
    counter->setFont(mono);
    name(counter, QStringLiteral("LabelList%1").arg(l));
    const std::string* text = counters[l - 1];
    pushers_.push_back([counter, text] {
      if (cp(counter->text()) != *text) counter->setText(qs(*text));
    });
    label(p3, {176, y + 2, 30, 18}, QStringLiteral("URL"), enableHint);
    for (int u = 1; u <= 3; ++u)
      check(p3, {206 + (u - 1) * 36, y, 34, 20}, QStringLiteral("chkList%1Url%2").arg(l).arg(u),
            QString::number(u), enableHint, m.listEnabledForUrl(l, u));
    listMemo(
        p3, QStringLiteral("Memo_List%1").arg(l), listHint, m.listText(l),
        [&m, l] { m.refreshCounter(l); }, [&m] { m.normalizeLists(); });
  }
}

// ---------------------------------------------------------------- showing the model

void TForm1::applyModelGeometry() {
  const std::array<int, 4> wanted = {model_.Left, model_.Top, model_.Width, model_.Height};
  if (wanted == shownGeometry_) return;
  shownGeometry_ = wanted;
  resize(model_.Width - 8, model_.Height - model_.layout.captionHeight - 8);
  move(model_.Left, model_.Top);
}

void TForm1::syncFromModel() {
  if (syncing_) return;
  applyModelGeometry();
  syncing_ = true;
  for (const auto& push : pushers_) push();
  if (model_.Form3.Visible)
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* form3 = qobject_cast<TForm3*>(w); form3 && form3->isVisible())
        form3->showStatus(model_.Form3);
  syncing_ = false;
}

void TForm1::refreshCaption() { setWindowTitle(qs(model_.caption)); }

void TForm1::tick() {
  if (!model_.Timer1Enabled) return;
  model_.Timer1Timer();
  refreshCaption();
  syncFromModel();
}

// ---------------------------------------------------------------- window events

void TForm1::takeWindowGeometry() {
  const int caption = model_.layout.captionHeight;
  model_.Width = width() + 8;
  model_.Height = height() + caption + 8;
  shownGeometry_[2] = model_.Width;
  shownGeometry_[3] = model_.Height;
}

void TForm1::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  if (!client_ || syncing_) return;
  run([this] {
    takeWindowGeometry();
    model_.FormResize();
  });
}

void TForm1::moveEvent(QMoveEvent* e) {
  QMainWindow::moveEvent(e);
  // Placing the window reports a position with or without the frame, as the platform has it;
  // taking that back would shift the window a little at every restart. Only the user's moves
  // count.
  if (!placed_) return;
  model_.Left = shownGeometry_[0] = x();
  model_.Top = shownGeometry_[1] = y();
}

void TForm1::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  QTimer::singleShot(0, this, [this] { placed_ = true; });
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::FocusOut) {
    const auto it = onExit_.find(watched);
    if (it != onExit_.end() && it->second) run(it->second);
  } else if (e->type() == QEvent::MouseButtonDblClick) {
    const auto it = onDoubleClick_.find(watched);
    if (it != onDoubleClick_.end()) run(it->second);
  }
  return QMainWindow::eventFilter(watched, e);
}

bool TForm1::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) model_.LastActiveWindow = this;
  return QMainWindow::event(e);
}

void TForm1::closeEvent(QCloseEvent* e) {
  e->accept();
  // A second request (a signal during the close, say) must not run the close sequence again.
  if (closed_) return;
  closed_ = true;
  timer1_.stop();
  model_.close();
  emit closed();
}

}  // namespace zeltaro::app::ui
