// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A main model whose page 1 is served by a page server on loopback and fetched through the real
// HTTP client, with the window's pump: the station the benchmarks check pages with. Mail is off;
// the lists, alerts and log are the caller's to set.

#include <string>
#include <utility>

#include "app/main_model.h"
#include "bench/page_server.h"
#include "platform/qt_http_client.h"
#include "platform/qt_message_pump.h"

namespace zeltaro::bench {

struct CheckingStation {
  explicit CheckingStation(std::string page) : server(std::move(page)) {
    model.pageChecks.edtURL[0] =
        "http://127.0.0.1:" + std::to_string(server.port()) + "/spots.html";
    model.alerts.mail.chkMail = false;
  }

  PageServer server;
  platform::QtMessagePump pump;
  platform::QtHttpClient http;
  app::MainModel model{app::MainServices{.pump = &pump, .http = &http}};
};

}  // namespace zeltaro::bench
