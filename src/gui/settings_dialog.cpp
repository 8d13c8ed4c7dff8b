// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/settings_dialog.h"

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

SettingsDialog::SettingsDialog(MainModel& model, QWidget* parent,
                               settingsdialog::DialogServices services)
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
  dialog_.fillFromSettings(target());
  binder_.sync();
}

SettingsDialog::~SettingsDialog() = default;

settingsdialog::DialogTarget SettingsDialog::target() {
  return {model_.station, model_.pageChecks.roles};
}

void SettingsDialog::showModalFrom(QWidget* mainWindow) {
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
  dialog_.fillFromSettings(target());
  fillPorts();
  binder_.sync();
  open_ = true;
  exec();
}

void SettingsDialog::done(int r) {
  if (open_) {
    open_ = false;
    const settingsdialog::CloseResult closed = dialog_.closeAndApply(target());
    model_.settingsDialogClosed(closed.rigBefore, closed.foldersChanged);
  }
  QDialog::done(r);
}

bool SettingsDialog::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) model_.LastActiveWindow = this;
  return QDialog::event(e);
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* e) {
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

QGroupBox* SettingsDialog::group(QWidget* parent, const QRect& r, const char* caption) {
  auto* g = new QGroupBox(u(caption), parent);
  g->setGeometry(r);
  binder_.describe(g, {{}, u(caption), {}});
  return g;
}

void SettingsDialog::label(QWidget* parent, const QRect& r, const char* caption) {
  binder_.label(parent, r, u(caption));
}

QWidget* SettingsDialog::bound(QWidget* parent, const QRect& r, const char* section,
                               const char* key, int n, int index, std::function<void()> handler) {
  const settingsdialog::ControlRow* row = settingsdialog::controlRow(section, key, n, index);
  return row ? bound(parent, r, *row, std::move(handler)) : nullptr;
}

QWidget* SettingsDialog::shown(const char* section, const char* key, int n) const {
  const settingsdialog::ControlRow* row = settingsdialog::controlRow(section, key, n);
  return row ? control(QString::fromStdString(row->control)) : nullptr;
}

QWidget* SettingsDialog::bound(QWidget* parent, const QRect& r,
                               const settingsdialog::ControlRow& row,
                               std::function<void()> handler) {
  const binder::ControlText text{QString::fromStdString(row.control), u(row.caption), u(row.hint)};
  const settings::FieldPtr field = dialog_.field(row.control);
  switch (row.conv) {
    case Conv::Same:
    case Conv::Bit:
      if (std::holds_alternative<bool*>(field))
        return binder_.check(parent, r, text, *std::get<bool*>(field), std::move(handler));
      if (row.row->group == 'h' || row.row->group == 'a') {
        // A HAMLOG folder or an ADIF log: set only by "参照" (or a drop), shown, not typed into.
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
      return binder_.edit(parent, r, text, *std::get<std::string*>(field), std::move(handler));
    case Conv::Radio:
      return binder_.radio(
          parent, r, text, *std::get<bool*>(field), handler ? std::move(handler) : [] {});
    case Conv::Combo: {
      QStringList list;
      for (const auto& i : row.row->items()) list << QString::fromStdString(i);
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
      std::string& device = *std::get<std::string*>(field);
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
    case Conv::Decimal:
    case Conv::Hex2:
    case Conv::Slot: {
      QLineEdit* e =
          binder_.edit(parent, r, text, *std::get<std::string*>(field), std::move(handler));
      // As many digits as the largest value kept.
      e->setMaxLength(
          row.conv == Conv::Hex2 ? 2 : static_cast<int>(std::to_string(row.row->hi).size()));
      return e;
    }
  }
  return nullptr;
}

void SettingsDialog::radioGroup(QWidget* parent, const char* key,
                                const std::vector<QRect>& places) {
  auto* g = new QButtonGroup(parent);
  std::vector<std::string> buttons;
  for (std::size_t i = 0; i < places.size(); ++i)
    if (const auto* row = settingsdialog::controlRow("First", key, 0, static_cast<int>(i)))
      buttons.push_back(row->control);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const std::string chosen = buttons[i];
    g->addButton(static_cast<QRadioButton*>(
        bound(parent, places[i], "First", key, 0, static_cast<int>(i), [this, chosen, buttons] {
          for (const std::string& o : buttons) *std::get<bool*>(dialog_.field(o)) = o == chosen;
        })));
  }
}

void SettingsDialog::build() {
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
      if (QWidget* w = shown("First_#", "Any", n))
        w->setVisible(dialog_.anyVisible[static_cast<std::size_t>(n)]);
    for (const char* key : {"Maker", "Device", "Bps"})
      if (QWidget* w = shown("RigDirect", key)) w->setEnabled(dialog_.rigListsEnabled);
    for (const char* key : {"RigID", "PcID"})
      if (QWidget* w = shown("RigDirect", key)) w->setEnabled(dialog_.addressEnabled);
  });
}

void SettingsDialog::buildConditionsTab(QWidget* tab) {
  constexpr const char* set = "First_#";
  for (int n = 1; n <= 3; ++n) {
    const auto k = static_cast<std::size_t>(n - 1);
    static const char* const kTitles[] = {"List1", "List2", "List3"};
    QGroupBox* g = group(tab, {6 + 250 * (n - 1), 6, 244, 450}, kTitles[k]);
    g->setObjectName(QStringLiteral("GroupBoxList%1").arg(n));
    g->setAcceptDrops(true);
    g->installEventFilter(this);
    listGroups_[k] = g;

    bound(g, {8, 22, 230, 20}, set, "Use", n);
    bound(g, {8, 48, 48, 20}, set, "Num", n);
    bound(g, {58, 46, 66, 22}, set, "Num_L", n);
    label(g, {126, 48, 16, 20}, "～");
    bound(g, {144, 46, 94, 22}, set, "Num_H", n);
    bound(g, {8, 74, 62, 20}, set, "Band", n);
    bound(g, {76, 74, 66, 20}, set, "Mode", n);
    bound(g, {146, 74, 70, 20}, set, "Code", n, 0, [this, n] { dialog_.applyCodeChoice(n); });
    bound(g, {20, 98, 222, 20}, set, "Any", n);
    bound(g, {8, 124, 230, 20}, set, "Subj", n);
    bound(g, {24, 148, 212, 22}, set, "Text", n);
    label(g, {8, 180, 120, 20}, "HAMLOGフォルダ");
    binder_.button(g, {164, 176, 72, 24},
                   {QStringLiteral("Button%1").arg(n), u("参照"),
                    u("このListのHAMLOGのﾌｫﾙﾀﾞを指定 (HAMLOGのﾌｧｲﾙをﾄﾞﾛｯﾌﾟしても可)")},
                   [this, n] { dialog_.chooseFolder(n); });
    static_cast<QLabel*>(bound(g, {8, 204, 228, 40}, set, "HAMLOG#", n))->setWordWrap(true);
    bound(g, {8, 252, 214, 20}, set, "Trans", n);
    bound(g, {8, 276, 214, 20}, set, "Rig", n);
    label(g, {8, 306, 120, 20}, "MODE選択");
    static const char* const kModes[] = {"M_SSB", "M_CW",   "M_FM",    "M_AM",
                                         "M_PSK", "M_RTTY", "M_OTHERS"};
    for (int i = 0; i < 7; ++i)
      bound(g, {8 + (i % 4) * 54, 330 + (i / 4) * 24, 54, 20}, set, kModes[i], n);
    // Beyond HAMLOG: the list may ask any logger's ADIF log instead.
    label(g, {8, 380, 96, 20}, "ADIFログ");
    binder_.button(g, {108, 378, 62, 22},
                   {QStringLiteral("AdifButton%1").arg(n), u("参照"),
                    u("このListの未交信をHAMLOGでなくADIFﾛｸﾞ (WSJT-Xなど) で照合する")},
                   [this, n] { dialog_.chooseAdifFile(n); });
    binder_.button(
        g, {174, 378, 62, 22},
        {QStringLiteral("AdifClear%1").arg(n), u("解除"), u("ADIFﾛｸﾞを使わずHAMLOGで照合する")},
        [this, n] { dialog_.clearAdifFile(n); });
    static_cast<QLabel*>(bound(g, {8, 402, 228, 28}, "Adif", "File#", n))->setWordWrap(true);
  }
}

void SettingsDialog::buildSystem1Tab(QWidget* tab) {
  QGroupBox* bands = group(tab, {6, 6, 744, 118}, " HAMLOG Rig周波数設定を行うバンド設定 ");
  for (int bit = 0; bit < 15; ++bit) {
    auto* l =
        new QLabel(u(settingsdialog::controlRow("First_#", "RigFreq", 1, bit)->caption), bands);
    l->setGeometry(56 + bit * 42, 20, 40, 18);
    l->setAlignment(Qt::AlignCenter);
  }
  for (int n = 1; n <= 3; ++n) {
    label(bands, {10, 16 + n * 24, 44, 20}, n == 1 ? "List1" : n == 2 ? "List2" : "List3");
    for (int bit = 0; bit < 15; ++bit)
      bound(bands, {68 + bit * 42, 16 + n * 24, 20, 20}, "First_#", "RigFreq", n, bit);
  }

  QGroupBox* patrol = group(tab, {6, 132, 300, 84}, " 自動巡回設定 ");
  label(patrol, {10, 24, 40, 22}, "ｎｅｗ");
  bound(patrol, {54, 22, 50, 22}, "First", "NEW_STNS");
  label(patrol, {108, 24, 20, 22}, "件");
  bound(patrol, {10, 52, 130, 20}, "First", "TIMEOVER_CHK");
  bound(patrol, {144, 50, 60, 22}, "First", "TIMEOVER_MIN");
  label(patrol, {208, 52, 20, 22}, "分");

  QGroupBox* conv = group(tab, {6, 224, 300, 110}, " HAMLOG へ転送するModeの変換設定");
  for (int n = 1; n <= 3; ++n) {
    label(conv, {10, 2 + n * 26, 44, 22}, n == 1 ? "List1" : n == 2 ? "List2" : "List3");
    bound(conv, {56, n * 26, 234, 22}, "First_#", "ModeConv", n);
  }

  QGroupBox* rig = group(tab, {314, 132, 436, 202}, " Rig直接制御 ");
  bound(rig, {10, 24, 70, 20}, "RigDirect", "Use");
  bound(rig, {84, 22, 110, 24}, "RigDirect", "Maker", 0, 0, [this] { dialog_.applyMakerChoice(); });
  bound(rig, {200, 22, 176, 24}, "RigDirect", "Device");
  bound(rig, {84, 54, 110, 24}, "RigDirect", "Bps");
  label(rig, {10, 90, 70, 22}, "ICOM RIG");
  bound(rig, {84, 88, 40, 22}, "RigDirect", "RigID");
  label(rig, {140, 90, 30, 22}, "PC");
  bound(rig, {170, 88, 40, 22}, "RigDirect", "PcID");
  bound(rig, {10, 124, 366, 20}, "RigDirect", "RigTarvopc", 0, 0,
        [this] { dialog_.applyCompanionChoice(); });
}

void SettingsDialog::buildSystem2Tab(QWidget* tab) {
  static const char* const kItems[] = {"DATE", "TIME", "CALL", "FREQ",
                                       "MODE", "CODE", "QTH",  "RMKS"};
  QGroupBox* slotGroup = group(tab, {6, 6, 744, 62}, " Http：定義文 $#xx");
  const char* slotKeys[] = {"HTTP_DATE", "HTTP_TIME", "HTTP_CALL", "HTTP_FREQ",
                            "HTTP_MODE", "HTTP_CODE", "HTTP_QTH",  "HTTP_RMKS"};
  QGroupBox* cols = group(tab, {6, 74, 744, 62},
                          " HAMLOGへ転送する列設定 （ Mode2・Log一覧 スペース区切りの列位置 ) ");
  const char* columnKeys[] = {"COL_DATE", "COL_TIME", "COL_CALL", "COL_FREQ",
                              "COL_MODE", "COL_CODE", "COL_QTH",  "COL_RMKS"};
  for (int i = 0; i < 8; ++i) {
    label(slotGroup, {10 + i * 84, 26, 44, 22}, kItems[i]);
    bound(slotGroup, {54 + i * 84, 24, 30, 22}, "First", slotKeys[i]);
    label(cols, {10 + i * 84, 26, 44, 22}, kItems[i]);
    if (auto* e = qobject_cast<QLineEdit*>(
            bound(cols, {54 + i * 84, 24, 30, 22}, "First", columnKeys[i])))
      e->setMaxLength(2);  // column numbers, two digits like the slot numbers
  }

  QGroupBox* after =
      group(tab, {6, 142, 744, 50},
            " HAMLOGまたはTarvopcへ転送した後の動作設定  ( 巡回転送リスト画面が非表示のとき ） ");
  bound(after, {10, 22, 300, 20}, "First", "FOCUS_SEL");
  bound(after, {320, 22, 200, 20}, "First", "MOUSE_SEL");

  QGroupBox* companion = group(tab, {6, 198, 744, 54}, " HAMLOGへ転送時にTarvopcへ同時転送");
  label(companion, {10, 24, 20, 22}, "IP");
  bound(companion, {32, 22, 130, 22}, "Tarvopc", "IP");
  label(companion, {172, 24, 34, 22}, "Port");
  bound(companion, {208, 22, 64, 22}, "Tarvopc", "PORT");
  bound(companion, {290, 24, 70, 20}, "Tarvopc", "CALL");
  bound(companion, {364, 24, 70, 20}, "Tarvopc", "CODE");
  bound(companion, {438, 24, 64, 20}, "Tarvopc", "QTH");
  bound(companion, {506, 24, 180, 20}, "Tarvopc", "CLEAR");

  QGroupBox* key = group(tab, {6, 258, 744, 54}, " HAMLOG Rigの周波数設定 キー割当");
  bound(key, {10, 24, 70, 20}, "First", "KEY_CTRL");
  bound(key, {84, 24, 70, 20}, "First", "KEY_SHIFT");
  bound(key, {158, 24, 70, 20}, "First", "KEY_ALT");
  bound(key, {240, 22, 110, 24}, "First", "KEY_DATA");

  QGroupBox* michi = group(tab, {6, 318, 424, 110}, " HAMLOG 道の駅の設定 ");
  label(michi, {10, 24, 110, 20}, "HAMLOG照合対象 ");
  radioGroup(michi, "RS_SEL",
             {{124, 24, 84, 20}, {208, 24, 84, 20}, {292, 24, 60, 20}, {356, 24, 60, 20}});
  label(michi, {10, 52, 110, 20}, "転送先");
  radioGroup(michi, "MICHI_WR", {{120, 52, 86, 20}, {206, 52, 86, 20}, {292, 52, 60, 20}});
  bound(michi, {10, 80, 300, 20}, "First", "MICHI_FUKA");

  QGroupBox* remarks = group(tab, {436, 318, 314, 110}, " HAMLOG Remarks (Comments) の転送設定 ");
  label(remarks, {10, 24, 60, 20}, "転送先");
  radioGroup(remarks, "RMKS_SEL", {{70, 24, 86, 20}, {70, 48, 86, 20}, {70, 72, 86, 20}});
}

void SettingsDialog::buildNotesTab(QWidget* tab) {
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

void SettingsDialog::fillPorts() {
  if (!ports_) return;
  QStringList devices;
  for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) devices << p.systemLocation();
  // Stable names of USB adapters, which keep their port when plugged in elsewhere.
  const QDir byId(QStringLiteral("/dev/serial/by-id"));
  for (const QString& e : byId.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
    devices << byId.filePath(e);
  const QString current = QString::fromStdString(dialog_.text("ComboBox3"));
  if (!current.isEmpty() && !devices.contains(current)) devices.prepend(current);
  ports_->blockSignals(true);
  ports_->clear();
  ports_->addItems(devices);
  ports_->setCurrentText(current);
  ports_->blockSignals(false);
}

}  // namespace zeltaro::app::ui
