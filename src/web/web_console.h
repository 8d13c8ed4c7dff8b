// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The web console: one page, served by the program, that shows the station (the aligned log,
// lamps and counters, pushed over a WebSocket the moment they change) and drives it as the
// main window and the telnet console do (checks, interval, switches, "CLR", watch lists,
// set-up settings, any console command). Off unless asked for; on 127.0.0.1 unless [Web] Bind
// names another address, which needs the console password. A login with that password gives a
// session cookie, and every request that changes something carries the session's token.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "web/request_check.h"
#include "web/sessions.h"

class QHttpServerRequest;
class QJsonObject;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

namespace zeltaro::app {
class FirstQsoChecker;
class MainModel;
}  // namespace zeltaro::app
namespace zeltaro::platform {
class HttpClient;
}
namespace zeltaro::console {
class ConsoleModel;
class CommandSet;
}  // namespace zeltaro::console

namespace zeltaro::web {

class RequestGate;

// How this run's web console listens: the settings with the command line's /web= over them.
struct WebOptions {
  bool on = false;
  std::uint16_t port = 0;  // 0: any free port (test runs)
  std::string bind;        // the address (UTF-8)
  std::string password;    // the console password; empty: none
  std::string certFile, keyFile;
};
WebOptions webOptions(const app::MainModel& m);

class WebConsole final : public QObject {
  Q_OBJECT

 public:
  // console: the model as the console's command set drives it. afterChange runs after every
  // change the page made, so that the windows show it.
  WebConsole(app::MainModel& model, console::ConsoleModel& console,
             std::function<void()> afterChange = {});
  ~WebConsole() override;

  // Starts listening; false (with one "zeltaro: " line on standard error) when it may not or
  // cannot. Prints where it listens when it does.
  bool start(const WebOptions& options);
  bool isListening() const;
  std::uint16_t port() const;

  // The page tester's table for a chosen page: pages are fetched through http and asked the
  // first-QSO question of firstQso (may be null). Without it the page has no tester.
  void attachPageTester(platform::HttpClient& http, app::FirstQsoChecker* firstQso) {
    testerHttp_ = &http;
    testerFirstQso_ = firstQso;
  }

  // Sends the live state to every open page now when it has changed since the last push.
  void pushIfChanged();

 private:
  class Server;
  friend class Server;
  struct Reply;

  void handle(const QHttpServerRequest& request, QTcpSocket* socket);
  Reply route(const QHttpServerRequest& request, const std::string& sessionId);
  Reply act(const std::string& action, const QJsonObject& body);
  void send(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply);
  void upgrade(QTcpSocket* socket, const RequestHead& head);
  void acceptWebSocket();
  void broadcast(const QByteArray& message);
  void changed();
  QJsonObject fullState(const std::string& token);
  void runPageTest(int page);

  app::MainModel& model_;
  console::ConsoleModel& console_;
  std::unique_ptr<console::CommandSet> commands_;
  std::function<void()> afterChange_;
  WebOptions options_;
  std::unique_ptr<Sessions> sessions_;
  std::unique_ptr<Server> http_;
  RequestGate* gate_ = nullptr;  // owned by http_
  std::unique_ptr<QWebSocketServer> webSockets_;
  std::vector<QWebSocket*> pages_;
  std::size_t lastFingerprint_ = 0;
  bool tls_ = false;
  int eventListener_ = 0;
  QMetaObject::Connection idleHook_;
  platform::HttpClient* testerHttp_ = nullptr;
  app::FirstQsoChecker* testerFirstQso_ = nullptr;
  bool testing_ = false;
};

}  // namespace zeltaro::web
