// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig/rig_control.h"

#include <cstdio>

#include "platform/event_log.h"
#include "rig/companion_window.h"
#include "rig/datagram_sender.h"
#include "rig/rig_maker.h"
#include "rig/rigctld_client.h"
#include "rig/rigctld_protocol.h"
#include "rig/tune_commands.h"

namespace zeltaro::rig {

RigControl::RigControl(const settings::RigDirectSettings& rig,
                       const settings::TarvopcSettings& companion, RigServices services)
    : rig_(rig),
      companion_(companion),
      services_(std::move(services)),
      link_(*services_.serial, services_.messageBox, services_.wait) {
  if (!services_.wait) services_.wait = sleepingWaiter();
}

void RigControl::openAtStart() {
  if (rig_.Use && !rig_.RigTarvopc && isSerialMaker(rig_.Maker)) link_.OpenRigPort(rig_);
}

void RigControl::close() {
  link_.CloseRigPort();
  if (services_.rigctld) services_.rigctld->disconnect();
}

void RigControl::settingsDialogClosed(const settings::RigDirectSettings& before) {
  if (!before.Use || rig_.RigTarvopc || rig_.Use != before.Use || rig_.Maker != before.Maker ||
      rig_.Com != before.Com || rig_.Bps != before.Bps || rig_.Device != before.Device)
    link_.CloseRigPort();
  if (services_.rigctld &&
      (rig_.RigctldHost != before.RigctldHost || rig_.RigctldPort != before.RigctldPort))
    services_.rigctld->disconnect();
  if (!link_.isOpen()) openAtStart();
}

void RigControl::tune(std::string_view frequencyText, std::string_view modeText) {
  if (rig_.Maker == static_cast<int>(Maker::Rigctld)) {
    if (!rig_.RigTarvopc) tuneThroughRigctld(frequencyText, modeText);
    return;
  }
  const std::vector<RigStep> steps = buildTuneSteps(frequencyText, modeText, rig_);
  if (!steps.empty() && steps.front().route == RigStep::Route::Port) link_.reopenLost();
  for (const RigStep& step : steps) {
    if (step.route == RigStep::Route::Companion)
      sendToCompanion(step.bytes);
    else
      link_.WriteRigBytes(step.bytes);
    services_.wait(step.waitMs);
  }
}

void RigControl::tuneThroughRigctld(std::string_view frequencyText, std::string_view modeText) {
  if (!services_.rigctld) return;
  const auto port = static_cast<std::uint16_t>(settings::usedRigctldPort(rig_));
  if (services_.rigctld->run(rig_.RigctldHost, port,
                             rigctldTuneCommands(frequencyText, modeText))) {
    rigctldFailing_ = false;
    return;
  }
  // Once per outage, not at every transfer.
  if (!rigctldFailing_)
    platform::reportEvent("rigctld at " + rig_.RigctldHost + ":" + std::to_string(port) + ": " +
                          services_.rigctld->why());
  rigctldFailing_ = true;
}

void RigControl::sendToCompanion(std::string_view text) {
  if (!services_.udp || companion_.IP.empty()) return;
  const std::uint16_t port = companionPort(companion_.PORT);
  if (port == 0) return;
  if (const auto datagram = companionDatagram(text))
    services_.udp->send(companion_.IP, port, *datagram);
}

void RigControl::forwardSpotToCompanion(const SpotForCompanion& spot,
                                        const MichiNoEkiLookup& lookup) {
  for (const std::string& text : forwardSpotTexts(spot, companion_, lookup)) sendToCompanion(text);
}

void RigControl::focusCompanionWindow(bool focusSel, bool mouseSel, bool patrolWindowVisible) {
  CompanionWindow* w = services_.companionWindow;
  if (!w || !w->find() || patrolWindowVisible) return;
  if (focusSel)
    w->activate(mouseSel);
  else
    w->activateLastActive();
}

}  // namespace zeltaro::rig
