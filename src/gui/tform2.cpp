#include "gui/tform2.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QTabWidget>
#include <QUrl>

#include "binder/qt_text.h"
#include "bridge_client/bridge_process.h"
#include "platform/message_box.h"
#include "platform/qt_file_dialog.h"
#include "settings/key_table.h"

namespace zeltaro::app::ui {

using binder::cp;
using binder::qs;
using settingsdialog::Conv;

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// The missing-files box: modal on the dialog, one OK button. The operator has just chosen the
// folder, so waiting for the click is what is wanted.
class DialogMessageBox final : public platform::MessageBox {
 public:
  explicit DialogMessageBox(QWidget* owner) : owner_(owner) {}
  void show(Kind, std::string_view caption, std::string_view text) override {
    // Windows that stay on top (the patrol lists can) would hide the box: normal meanwhile.
    std::vector<QPointer<QWidget>> onTop;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint)) {
        onTop.emplace_back(w);
        w->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        w->show();
      }
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(text::utf8FromCp932(caption)),
                    QString::fromStdString(text::utf8FromCp932(text)), QMessageBox::Ok, owner_);
    box.exec();
    for (const QPointer<QWidget>& w : onTop)
      if (w) {
        w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        w->show();
      }
  }

 private:
  QWidget* owner_;
};

}  // namespace

TForm2::TForm2(MainModel& model, QWidget* parent, settingsdialog::DialogServices services)
    : QDialog(parent), model_(model) {
  if (!services.folders) {
    ownFolders_ = std::make_unique<platform::QtFileDialog>(this);
    services.folders = ownFolders_.get();
  }
  if (!services.messageBox) {
    ownBox_ = std::make_unique<DialogMessageBox>(this);
    services.messageBox = ownBox_.get();
  }
  // Shortcuts are read in the prefix the bridge runs in, unless the caller names one.
  followBridgePrefix_ = services.winePrefix.empty();
  if (followBridgePrefix_)
    services.winePrefix = bridgeclient::winePrefixFor(model_.station.bridge.WinePrefix);
  dialog_ = settingsdialog::SettingsDialogModel(std::move(services));
  setWindowTitle(u("ログからファーストQSO局を抽出する条件設定など"));
  build();
  // No default button: Enter in an edit box must not press a "参照" button behind the
  // operator's back (a dialog makes every push button an auto-default one).
  for (QPushButton* b : findChildren<QPushButton*>()) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  dialog_.FormCreate(target());
  binder_.sync();
}

TForm2::~TForm2() = default;

settingsdialog::DialogTarget TForm2::target() { return {model_.station, model_.roles}; }

void TForm2::showModalFrom(QWidget* mainWindow) {
  if (open_) return;
  // Placed once, beside the main window, on the first tab; afterwards the dialog keeps the
  // place and the tab the operator left it at.
  if (!placed_) {
    if (mainWindow) move(mainWindow->pos() + QPoint(4, 4));
    tabs_->setCurrentIndex(0);
    placed_ = true;
  }
  // Filled at every opening: what the patrol windows' menus, the console or a reload changed
  // since the last closing is shown, and so not undone by this closing.
  if (followBridgePrefix_) {
    dialog_.setWinePrefix(bridgeclient::winePrefixFor(model_.station.bridge.WinePrefix));
  }
  dialog_.FormCreate(target());
  fillPorts();
  binder_.sync();
  open_ = true;
  exec();
}

void TForm2::done(int r) {
  if (open_) {
    open_ = false;
    const settingsdialog::CloseResult closed = dialog_.FormClose(target());
    model_.settingsDialogClosed(closed.rigBefore, closed.foldersChanged);
  }
  QDialog::done(r);
}

bool TForm2::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) model_.LastActiveWindow = this;
  return QDialog::event(e);
}

bool TForm2::eventFilter(QObject* watched, QEvent* e) {
  for (int n = 1; n <= 3; ++n) {
    if (watched != listGroups_[n - 1]) continue;
    if (e->type() == QEvent::DragEnter) {
      auto* d = static_cast<QDragEnterEvent*>(e);
      if (d->mimeData()->hasUrls()) d->acceptProposedAction();
      return true;
    }
    if (e->type() == QEvent::Drop) {
      auto* d = static_cast<QDropEvent*>(e);
      std::vector<std::string> paths;
      for (const QUrl& url : d->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
      d->acceptProposedAction();
      binder_.run([this, n, paths] { dialog_.dropFiles(n, paths); });
      return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}

// ---------------------------------------------------------------- building

QGroupBox* TForm2::group(QWidget* parent, const QRect& r, const char* caption) {
  auto* g = new QGroupBox(u(caption), parent);
  g->setGeometry(r);
  binder_.describe(g, {{}, u(caption), {}});
  return g;
}

void TForm2::label(QWidget* parent, const QRect& r, const char* caption) {
  binder_.label(parent, r, u(caption));
}

QWidget* TForm2::bound(QWidget* parent, const QRect& r, const std::string& control,
                       std::function<void()> handler) {
  const settingsdialog::ControlRow* row = settingsdialog::controlRow(control);
  if (!row) return nullptr;
  const binder::ControlText text{QString::fromStdString(control), u(row->caption), u(row->hint)};
  const settings::FieldPtr field = dialog_.field(control);
  switch (row->conv) {
    case Conv::Check:
    case Conv::Bit:
      return binder_.check(parent, r, text, *std::get<bool*>(field), std::move(handler));
    case Conv::Radio:
      return binder_.radio(
          parent, r, text, *std::get<bool*>(field), handler ? std::move(handler) : [] {});
    case Conv::Combo: {
      const auto& items =
          control == "ComboBox2" ? settingsdialog::makerItems() : settingsdialog::speedItems();
      QStringList list;
      for (const auto& i : items) list << QString::fromStdString(i);
      return binder_.combo(parent, r, text, list, *std::get<std::int32_t*>(field),
                           std::move(handler));
    }
    case Conv::KeyName: {
      QStringList names;
      for (const auto& k : settings::keyNameTable())
        names << QString::fromLatin1(k.name.data(), static_cast<int>(k.name.size()));
      auto* c = binder_.combo(parent, r, text, names, *std::get<std::int32_t*>(field));
      c->setMaxVisibleItems(20);
      return c;
    }
    case Conv::Port: {
      auto* c = new QComboBox(parent);
      c->setGeometry(r);
      c->setEditable(true);
      c->setInsertPolicy(QComboBox::NoInsert);
      binder_.describe(c, text);
      std::string& device = dialog_.ComboBox3;
      connect(c, &QComboBox::currentTextChanged, this, [this, &device](const QString& t) {
        if (!binder_.syncing()) device = t.toStdString();
      });
      binder_.onSync([c, &device] {
        if (c->currentText().toStdString() != device)
          c->setCurrentText(QString::fromStdString(device));
      });
      ports_ = c;
      return c;
    }
    case Conv::Text:
      if (control.starts_with("StaticText")) {
        // Set only by "参照" or a drop: shown, not typed into.
        auto* l = new QLabel(parent);
        l->setGeometry(r);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        binder_.describe(l, text);
        std::string& folder = *std::get<std::string*>(field);
        binder_.onSync([l, &folder] {
          const QString shown = qs(folder);
          if (l->text() != shown) {
            l->setText(shown);
            l->setToolTip(shown.isEmpty() ? l->accessibleDescription() : shown);
          }
        });
        return l;
      }
      [[fallthrough]];
    case Conv::Decimal:
    case Conv::Hex2:
    case Conv::Slot: {
      QLineEdit* e =
          binder_.edit(parent, r, text, *std::get<std::string*>(field), std::move(handler));
      if (row->conv == Conv::Hex2 || row->conv == Conv::Slot) e->setMaxLength(2);
      if (control == "Edit26") e->setMaxLength(3);
      if (control == "Edit27") e->setMaxLength(4);
      return e;
    }
  }
  return nullptr;
}

void TForm2::radioGroup(QWidget* parent, const std::vector<std::pair<int, QRect>>& buttons) {
  auto* g = new QButtonGroup(parent);
  std::vector<int> numbers;
  for (const auto& [n, r] : buttons) numbers.push_back(n);
  for (const auto& [n, r] : buttons) {
    const int chosen = n;
    g->addButton(static_cast<QRadioButton*>(
        bound(parent, r, "RadioButton" + std::to_string(n), [this, chosen, numbers] {
          for (int o : numbers) dialog_.RadioButton[static_cast<std::size_t>(o)] = o == chosen;
        })));
  }
}

void TForm2::build() {
  resize(770, 500);
  tabs_ = new QTabWidget(this);
  tabs_->setGeometry(4, 4, 762, 492);
  const char* names[] = {" 抽出条件 ", "ｼｽﾃﾑ設定(1)", "ｼｽﾃﾑ設定(2)", "使用説明"};
  QWidget* pages[4];
  for (int i = 0; i < 4; ++i) {
    pages[i] = new QWidget;
    tabs_->addTab(pages[i], u(names[i]));
  }
  buildConditionsTab(pages[0]);
  buildSystem1Tab(pages[1]);
  buildSystem2Tab(pages[2]);
  buildNotesTab(pages[3]);
  binder_.onSync([this] {
    for (int n = 1; n <= 3; ++n)
      if (QWidget* w = control(QStringLiteral("CheckBox%1").arg(18 + n)))
        w->setVisible(dialog_.anyVisible[static_cast<std::size_t>(n)]);
    for (const char* name : {"ComboBox2", "ComboBox3", "ComboBox4"})
      if (QWidget* w = control(QString::fromLatin1(name))) w->setEnabled(dialog_.rigListsEnabled);
    for (const char* name : {"Edit18", "Edit34"})
      if (QWidget* w = control(QString::fromLatin1(name))) w->setEnabled(dialog_.addressEnabled);
  });
}

void TForm2::buildConditionsTab(QWidget* tab) {
  const auto name = [](const char* kind, int number) { return kind + std::to_string(number); };
  for (int n = 1; n <= 3; ++n) {
    const auto k = static_cast<std::size_t>(n - 1);
    const auto pick = [k](int a, int b, int c) { return std::array<int, 3>{a, b, c}[k]; };
    static const char* const kTitles[] = {"List1", "List2", "List3"};
    QGroupBox* g = group(tab, {6 + 250 * (n - 1), 6, 244, 450}, kTitles[k]);
    g->setObjectName(QStringLiteral("GroupBoxList%1").arg(n));
    g->setAcceptDrops(true);
    g->installEventFilter(this);
    listGroups_[k] = g;

    bound(g, {8, 22, 230, 20}, name("CheckBox", pick(4, 8, 12)));
    bound(g, {8, 48, 48, 20}, name("CheckBox", pick(1, 7, 11)));
    bound(g, {58, 46, 66, 22}, name("Edit", pick(1, 3, 5)));
    label(g, {126, 48, 16, 20}, "～");
    bound(g, {144, 46, 94, 22}, name("Edit", pick(2, 4, 6)));
    bound(g, {8, 74, 62, 20}, name("CheckBox", pick(2, 5, 9)));
    bound(g, {76, 74, 66, 20}, name("CheckBox", pick(3, 6, 10)));
    const std::string code = name("CheckBox", pick(16, 17, 18));
    bound(g, {146, 74, 70, 20}, code, [this, n] {
      if (n == 1) dialog_.CheckBox16Click();
      if (n == 2) dialog_.CheckBox17Click();
      if (n == 3) dialog_.CheckBox18Click();
    });
    bound(g, {20, 98, 222, 20}, name("CheckBox", pick(19, 20, 21)));
    bound(g, {8, 124, 230, 20}, name("CheckBox", pick(13, 14, 15)));
    bound(g, {24, 148, 212, 22}, name("Edit", pick(9, 10, 11)));
    label(g, {8, 180, 120, 20}, "HAMLOGフォルダ");
    binder_.button(g, {164, 176, 72, 24},
                   {QStringLiteral("Button%1").arg(n), u("参照"),
                    u("このListのHAMLOGのﾌｫﾙﾀﾞを指定 (HAMLOGのﾌｧｲﾙをﾄﾞﾛｯﾌﾟしても可)")},
                   [this, n] { dialog_.chooseFolder(n); });
    bound(g, {8, 204, 228, 40}, name("StaticText", n));
    static_cast<QLabel*>(control(QStringLiteral("StaticText%1").arg(n)))->setWordWrap(true);
    bound(g, {8, 252, 214, 20}, name("CheckBox", pick(23, 25, 27)));
    bound(g, {8, 276, 214, 20}, name("CheckBox", pick(24, 26, 28)));
    label(g, {8, 306, 120, 20}, "MODE選択");
    const int first = 36 + 7 * (n - 1);
    for (int i = 0; i < 7; ++i)
      bound(g, {8 + (i % 4) * 54, 330 + (i / 4) * 24, 54, 20}, name("CheckBox", first + i));
  }
}

void TForm2::buildSystem1Tab(QWidget* tab) {
  QGroupBox* bands = group(tab, {6, 6, 744, 118}, " HAMLOG Rig周波数設定を行うバンド設定 ");
  static const char* const kBands[] = {"135K", "1.9", "3.5", "7",   "10",  "14",   "18", "21",
                                       "24",   "28",  "50",  "144", "430", "1.2G", "他"};
  for (int bit = 0; bit < 15; ++bit) {
    auto* l = new QLabel(u(kBands[bit]), bands);
    l->setGeometry(56 + bit * 42, 20, 40, 18);
    l->setAlignment(Qt::AlignCenter);
  }
  for (int n = 1; n <= 3; ++n) {
    label(bands, {10, 16 + n * 24, 44, 20}, n == 1 ? "List1" : n == 2 ? "List2" : "List3");
    for (int bit = 0; bit < 15; ++bit) {
      const int box = bit < 14 ? 57 + 14 * (n - 1) + bit : 98 + n;
      bound(bands, {68 + bit * 42, 16 + n * 24, 20, 20}, "CheckBox" + std::to_string(box));
    }
  }

  QGroupBox* patrol = group(tab, {6, 132, 300, 84}, " 自動巡回設定 ");
  label(patrol, {10, 24, 40, 22}, "ｎｅｗ");
  bound(patrol, {54, 22, 50, 22}, "Edit26");
  label(patrol, {108, 24, 20, 22}, "件");
  bound(patrol, {10, 52, 130, 20}, "CheckBox103");
  bound(patrol, {144, 50, 60, 22}, "Edit27");
  label(patrol, {208, 52, 20, 22}, "分");

  QGroupBox* conv = group(tab, {6, 224, 300, 110}, " HAMLOG へ転送するModeの変換設定");
  for (int n = 1; n <= 3; ++n) {
    label(conv, {10, 2 + n * 26, 44, 22}, n == 1 ? "List1" : n == 2 ? "List2" : "List3");
    bound(conv, {56, n * 26, 234, 22}, "Edit" + std::to_string(22 + n));
  }

  QGroupBox* rig = group(tab, {314, 132, 436, 202}, " Rig直接制御 ");
  bound(rig, {10, 24, 70, 20}, "CheckBox105");
  bound(rig, {84, 22, 110, 24}, "ComboBox2", [this] { dialog_.ComboBox2Change(); });
  bound(rig, {200, 22, 176, 24}, "ComboBox3");
  bound(rig, {84, 54, 110, 24}, "ComboBox4");
  label(rig, {10, 90, 70, 22}, "ICOM RIG");
  bound(rig, {84, 88, 40, 22}, "Edit18");
  label(rig, {140, 90, 30, 22}, "PC");
  bound(rig, {170, 88, 40, 22}, "Edit34");
  bound(rig, {10, 124, 366, 20}, "CheckBox106", [this] { dialog_.CheckBox106Click(); });
}

void TForm2::buildSystem2Tab(QWidget* tab) {
  static const char* const kItems[] = {"DATE", "TIME", "CALL", "FREQ",
                                       "MODE", "CODE", "QTH",  "RMKS"};
  QGroupBox* slotGroup = group(tab, {6, 6, 744, 62}, " Http：定義文 $#xx");
  const char* slotEdits[] = {"Edit30", "Edit31", "Edit13", "Edit7",
                             "Edit8",  "Edit12", "Edit14", "Edit33"};
  QGroupBox* cols = group(tab, {6, 74, 744, 62},
                          " HAMLOGへ転送する列設定 （ Mode2・Log一覧 スペース区切りの列位置 ) ");
  const char* colEdits[] = {"Edit28", "Edit29", "Edit19", "Edit15",
                            "Edit16", "Edit17", "Edit20", "Edit32"};
  for (int i = 0; i < 8; ++i) {
    label(slotGroup, {10 + i * 84, 26, 44, 22}, kItems[i]);
    bound(slotGroup, {54 + i * 84, 24, 30, 22}, slotEdits[i]);
    label(cols, {10 + i * 84, 26, 44, 22}, kItems[i]);
    if (auto* e = qobject_cast<QLineEdit*>(bound(cols, {54 + i * 84, 24, 30, 22}, colEdits[i])))
      e->setMaxLength(2);  // column numbers, two digits like the slot numbers
  }

  QGroupBox* after =
      group(tab, {6, 142, 744, 50},
            " HAMLOGまたはTarvopcへ転送した後の動作設定  ( 巡回転送リスト画面が非表示のとき ） ");
  bound(after, {10, 22, 300, 20}, "CheckBox22");
  bound(after, {320, 22, 200, 20}, "CheckBox32");

  QGroupBox* companion = group(tab, {6, 198, 744, 54}, " HAMLOGへ転送時にTarvopcへ同時転送");
  label(companion, {10, 24, 20, 22}, "IP");
  bound(companion, {32, 22, 130, 22}, "Edit21");
  label(companion, {172, 24, 34, 22}, "Port");
  bound(companion, {208, 22, 64, 22}, "Edit22");
  bound(companion, {290, 24, 70, 20}, "CheckBox33");
  bound(companion, {364, 24, 70, 20}, "CheckBox34");
  bound(companion, {438, 24, 64, 20}, "CheckBox104");
  bound(companion, {506, 24, 180, 20}, "CheckBox35");

  QGroupBox* key = group(tab, {6, 258, 744, 54}, " HAMLOG Rigの周波数設定 キー割当");
  bound(key, {10, 24, 70, 20}, "CheckBox29");
  bound(key, {84, 24, 70, 20}, "CheckBox30");
  bound(key, {158, 24, 70, 20}, "CheckBox31");
  bound(key, {240, 22, 110, 24}, "ComboBox1");

  QGroupBox* michi = group(tab, {6, 318, 424, 110}, " HAMLOG 道の駅の設定 ");
  label(michi, {10, 24, 110, 20}, "HAMLOG照合対象 ");
  radioGroup(michi, {{1, {124, 24, 84, 20}},
                     {2, {208, 24, 84, 20}},
                     {3, {292, 24, 60, 20}},
                     {4, {356, 24, 60, 20}}});
  label(michi, {10, 52, 110, 20}, "転送先");
  radioGroup(michi, {{5, {120, 52, 86, 20}}, {6, {206, 52, 86, 20}}, {7, {292, 52, 60, 20}}});
  bound(michi, {10, 80, 300, 20}, "CheckBox102");

  QGroupBox* remarks = group(tab, {436, 318, 314, 110}, " HAMLOG Remarks (Comments) の転送設定 ");
  label(remarks, {10, 24, 60, 20}, "転送先");
  radioGroup(remarks, {{8, {70, 24, 86, 20}}, {9, {70, 48, 86, 20}}, {10, {70, 72, 86, 20}}});
}

void TForm2::buildNotesTab(QWidget* tab) {
  const char* notes[] = {
      "① 各設定内容はこの画面を閉じメイン画面へ戻るときに有効になります。",
      "② コントロール毎の機能説明はヒント表示を参照してください。",
      "③ 実行中のHAMLOGと共有するときは HAMLOGメニュー－オプション－環境設定－設定２\n"
      "の「QSOデータの共有オープン」を有効にしてHAMLOGの再起動が必要です。\n"
      "（ TurboHAMLOGヘルプ参照 ）",
      "④ HAMLOGへ転送するときはHAMLOG－メニュー－オプション－設定４の「確定後はリグか\n"
      "ら取得しない」を有効にしてください。 （ TurboHAMLOGヘルプ参照 ）",
  };
  const int tops[] = {16, 48, 80, 150};
  const int heights[] = {24, 24, 64, 48};
  for (int i = 0; i < 4; ++i) {
    auto* l = new QLabel(u(notes[i]), tab);
    l->setGeometry(16, tops[i], 680, heights[i]);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    binder_.describe(l, {QStringLiteral("Note%1").arg(i + 1), u(notes[i]), {}});
  }
}

void TForm2::fillPorts() {
  if (!ports_) return;
  QStringList devices;
  for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) devices << p.systemLocation();
  // Stable names of USB adapters, which keep their port when plugged in elsewhere.
  const QDir byId(QStringLiteral("/dev/serial/by-id"));
  for (const QString& e : byId.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
    devices << byId.filePath(e);
  const QString current = QString::fromStdString(dialog_.ComboBox3);
  if (!current.isEmpty() && !devices.contains(current)) devices.prepend(current);
  ports_->blockSignals(true);
  ports_->clear();
  ports_->addItems(devices);
  ports_->setCurrentText(current);
  ports_->blockSignals(false);
}

}  // namespace zeltaro::app::ui
