// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/station.h"

#include <QApplication>
#include <QWidget>

#include "alerts/sound_alert.h"
#include "app/hamlog_checker.h"
#include "bridge_client/bridge_companion_window.h"
#include "bridge_client/bridge_process.h"
#include "bridge_client/bridge_window_link.h"
#include "bridge_client/list_reader_database.h"
#include "patrol/line_transfer.h"
#include "platform/canberra_sound.h"
#include "platform/clock.h"
#include "platform/qt_browser.h"
#include "platform/qt_file_dialog.h"
#include "platform/qt_http_client.h"
#include "platform/qt_line_connection.h"
#include "platform/qt_message_box.h"
#include "platform/qt_message_pump.h"
#include "rig/rig_system.h"
#include "text/codec.h"
#include "transfer/transfer_line.h"

namespace zeltaro::app {

namespace {
// The rig control of rig/, made once the model (which owns its settings) exists.
struct RigControlLink final : RigLink {
  std::unique_ptr<rig::RigSystem> system;
  void open() override { system->control().openAtStart(); }
  void close() override { system->control().close(); }
  void settingsDialogClosed(const settings::RigDirectSettings& before) override {
    system->control().settingsDialogClosed(before);
  }
};

// The Windows bridge, made at its first use in the prefix the settings name then and made
// again when they name another. Its process starts with its first request; without Wine every
// request fails quietly and the program runs on.
class LazyBridge {
 public:
  LazyBridge(const settings::BridgeSettings& settings, BridgeLaunch launch,
             platform::MessagePump& pump)
      : settings_(settings), launch_(std::move(launch)), pump_(pump) {}

  bridgeclient::BridgeProcess& process() {
    const std::string prefix = bridgeclient::winePrefixFor(settings_.WinePrefix);
    // A bridge waiting for a reply (the window runs meanwhile) is kept until it is done, even
    // when the prefix setting changed during its wait.
    if (!process_ || (prefix != prefix_ && !process_->busy())) {
      bridgeclient::BridgeOptions o;
      o.wine = launch_.wine;
      o.exe = launch_.exe;
      o.prefix = prefix_ = prefix;
      o.pump = &pump_;
      process_ = std::make_unique<bridgeclient::BridgeProcess>(std::move(o));
      ++generation_;
    }
    return *process_;
  }
  // Counts the processes made, so that what holds the old one can tell.
  int generation() const { return generation_; }

 private:
  const settings::BridgeSettings& settings_;
  BridgeLaunch launch_;
  platform::MessagePump& pump_;
  std::string prefix_;
  std::unique_ptr<bridgeclient::BridgeProcess> process_;
  int generation_ = 0;
};

// The window operations over the bridge.
class LazyBridgeWindows final : public hamlog::WindowLink {
 public:
  explicit LazyBridgeWindows(LazyBridge& bridge) : bridge_(bridge) {}

  std::vector<hamlog::HamlogWindow> hamlogWindows() override { return link().hamlogWindows(); }
  hamlog::WindowHandle sendField(hamlog::WindowHandle w, std::uint32_t word,
                                 std::string_view text) override {
    return link().sendField(w, word, text);
  }
  bool pressKey(hamlog::WindowHandle w, std::uint32_t key, hamlog::KeyModifiers held) override {
    return link().pressKey(w, key, held);
  }
  bool foreground(hamlog::WindowHandle w) override { return link().foreground(w); }
  std::optional<hamlog::WindowRect> normalRect(hamlog::WindowHandle w) override {
    return link().normalRect(w);
  }
  bool movePointer(std::int32_t x, std::int32_t y) override { return link().movePointer(x, y); }
  hamlog::WindowHandle findCompanion() override { return link().findCompanion(); }

 private:
  bridgeclient::BridgeWindowLink& link() {
    bridgeclient::BridgeProcess& process = bridge_.process();
    if (!link_ || generation_ != bridge_.generation()) {
      link_ = std::make_unique<bridgeclient::BridgeWindowLink>(process);
      generation_ = bridge_.generation();
    }
    return *link_;
  }

  LazyBridge& bridge_;
  int generation_ = 0;
  std::unique_ptr<bridgeclient::BridgeWindowLink> link_;
};

// Our own windows, raised with Qt. Each window writes itself (its most derived object) to
// LastActiveWindow when it is activated.
class QtOwnWindows final : public transfer::OwnWindows {
 public:
  explicit QtOwnWindows(const MainModel& model) : model_(model) {}
  void raiseLastActive() override {
    if (!model_.LastActiveWindow) return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (dynamic_cast<const void*>(w) != model_.LastActiveWindow) continue;
      w->raise();
      w->activateWindow();
      return;
    }
  }
  bool patrolWindowVisible() const override { return model_.anyPatrolWindowVisible(); }

 private:
  const MainModel& model_;
};

struct RigSideLink final : transfer::RigSide {
  RigControlLink* rig = nullptr;
  void tune(std::string_view f, std::string_view m) override { rig->system->control().tune(f, m); }
  void sendToCompanion(std::string_view text) override {
    rig->system->control().sendToCompanion(text);
  }
  void focusCompanionWindow(bool focusSel, bool mouseSel, bool patrolVisible) override {
    rig->system->control().focusCompanionWindow(focusSel, mouseSel, patrolVisible);
  }
};

// The one transfer, as the main window's double-click and the patrol lists' walk reach it.
// When the last line asked for has gone across, the page checks asked for meanwhile run.
struct TransferAdapter final : TransferLink, patrol::LineTransfer {
  std::unique_ptr<transfer::Transfer> transfer;
  MainModel* model = nullptr;
  void TransferLine(std::string_view line) override {
    transfer->TransferLine(line);
    if (!transfer->running() && model) model->transfersDone();
  }
  void transferLine(std::string_view line) override { TransferLine(line); }
  bool transferring() const override { return transfer && transfer->running(); }
};
}  // namespace

struct Station::Services {
  explicit Services(std::string exeDir) : sound(player, fileDialog, std::move(exeDir)) {}
  platform::QtMessagePump pump;
  platform::QtHttpClient http;
  platform::QtBrowser browser;
  platform::SystemClock clock;
  platform::CanberraSoundPlayer player;
  platform::QtFileDialog fileDialog;
  alerts::SoundAlert sound;
  platform::QtLineConnection smtp;
  // The mail's waits pump at every slice of 10 ms, so the window's turn comes at each.
  platform::QtMessagePump mailPump{0, 1};
  // The bridge's waits for the window operations of a transfer likewise.
  platform::QtMessagePump bridgePump{0, 1};
  platform::QtMessageBox messageBox;
  RigControlLink rig;
  std::unique_ptr<LazyBridge> bridge;
  std::unique_ptr<bridgeclient::ListReaderDatabase> firstQsoReader;
  std::unique_ptr<LazyBridgeWindows> windows;
  std::unique_ptr<QtOwnWindows> own;
  std::unique_ptr<bridgeclient::LinkCompanionWindow> companion;
  RigSideLink rigSide;
  TransferAdapter transfer;
};

Station::Station(std::string exeDirCp932, std::string settingsFile, BridgeLaunch bridge)
    : services_(std::make_unique<Services>(exeDirCp932)) {
  MainServices s;
  s.pump = &services_->pump;
  s.http = &services_->http;
  s.browser = &services_->browser;
  s.clock = &services_->clock;
  s.sound = &services_->sound;
  services_->smtp.setPump(&services_->mailPump);
  s.smtp = &services_->smtp;
  s.messageBox = &services_->messageBox;
  s.rig = &services_->rig;
  s.transfer = &services_->transfer;
  model_ = std::make_unique<MainModel>(s);

  Services& sv = *services_;
  if (bridge.exe.empty()) bridge.exe = text::utf8FromCp932(exeDirCp932) + "/zeltaro-bridge.exe";
  sv.bridge =
      std::make_unique<LazyBridge>(model_->station.bridge, std::move(bridge), sv.bridgePump);
  // The checker reads the model's condition sets and reader choices at every check.
  sv.firstQsoReader = std::make_unique<bridgeclient::ListReaderDatabase>(
      model_->station.first, model_->station.bridge, model_->station.adif,
      [b = sv.bridge.get()]() -> bridgeclient::BridgeProcess& { return b->process(); });
  firstQso_ = std::make_unique<HamlogChecker>(model_->station.first, model_->station.shared,
                                              s.messageBox, sv.firstQsoReader.get());
  model_->attachFirstQso(firstQso_.get());

  sv.windows = std::make_unique<LazyBridgeWindows>(*sv.bridge);
  sv.own = std::make_unique<QtOwnWindows>(*model_);
  sv.companion = std::make_unique<bridgeclient::LinkCompanionWindow>(
      *sv.windows, [own = sv.own.get()] { own->raiseLastActive(); });
  sv.rig.system = std::make_unique<rig::RigSystem>(
      model_->station.rigDirect, model_->station.tarvopc, &sv.messageBox, sv.companion.get());
  sv.rigSide.rig = &sv.rig;
  sv.transfer.model = model_.get();
  HamlogChecker* checker = firstQso_.get();
  sv.transfer.transfer = std::make_unique<transfer::Transfer>(
      model_->station, transfer::TransferServices{{sv.windows.get(), sv.own.get(), &sv.rigSide},
                                                  &sv.clock,
                                                  [checker](std::string_view code, int list) {
                                                    return checker->service().michi().lookUp(code,
                                                                                             list);
                                                  }});
  model_->SettingsFile = std::move(settingsFile);
}

Station::~Station() { model_->attachFirstQso(nullptr); }

patrol::LineTransfer& Station::patrolTransfer() { return services_->transfer; }

FirstQsoChecker& Station::firstQso() { return *firstQso_; }

platform::HttpClient& Station::http() { return services_->http; }

}  // namespace zeltaro::app
