// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/web_console.h"

#include <QAbstractEventDispatcher>
#include <QAbstractHttpServer>
#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/command_line.h"
#include "app/main_model.h"
#include "app/page_trial.h"
#include "console/command_set.h"
#include "console/console_model.h"
#include "pagetest/page_test.h"
#include "platform/event_log.h"
#include "platform/qt_message_pump.h"
#include "platform/regular_file.h"
#include "text/codec.h"
#include "web/request_gate.h"
#include "web/station_json.h"

namespace zeltaro::web {
namespace {

constexpr const char* kCookie = "zeltaro_session";
constexpr const char* kTokenHeader = "x-zeltaro-token";
constexpr std::size_t kMaxPages = 32;       // open WebSockets
constexpr qint64 kMaxPemBytes = 64 * 1024;  // a certificate or key file
constexpr int kMaxConsoleLineBytes = 4096;
constexpr qint64 kMaxUnsentBytes = 4 * 1024 * 1024;  // waiting for one page

// The page's own resources, and who may fetch them before a login.
struct Asset {
  const char* path;
  const char* resource;
  const char* type;
};
constexpr Asset kAssets[] = {
    {"/", ":/web/index.html", "text/html; charset=utf-8"},
    {"/index.html", ":/web/index.html", "text/html; charset=utf-8"},
    {"/app.js", ":/web/app.js", "text/javascript; charset=utf-8"},
    {"/style.css", ":/web/style.css", "text/css; charset=utf-8"},
};

// Scripts only from the page's own files, nothing inline, nothing from elsewhere.
constexpr const char* kPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src "
    "'self'; base-uri 'none'; form-action 'self'; frame-ancestors 'none'";

std::string randomHex() {
  quint32 words[8];
  QRandomGenerator::system()->fillRange(words);
  return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex().toStdString();
}

void say(const std::string& line) { std::fprintf(stderr, "zeltaro: %s\n", line.c_str()); }

bool isLoopback(const QHostAddress& a) { return a.isLoopback(); }

// A certificate or key file: opened without blocking and judged by its descriptor, so a FIFO
// or a device named in the settings cannot hold the start-up.
std::optional<QByteArray> readSmallFile(const std::string& path, std::string* why) {
  const platform::RegularFile f(path);
  if (!f.isOpen()) {
    *why = path + ": " + f.whyNotOpen();
    return std::nullopt;
  }
  if (f.size() > static_cast<std::uint64_t>(kMaxPemBytes)) {
    *why = path + ": larger than 64 KiB";
    return std::nullopt;
  }
  std::string bytes;
  if (!f.readAt(0, static_cast<std::size_t>(f.size()), bytes)) {
    *why = path + ": cannot be read";
    return std::nullopt;
  }
  return QByteArray::fromStdString(bytes);
}

// The console's session as the page's console box has it: nothing to close, no input waiting.
class PageSession final : public console::SessionControl {
 public:
  void CloseSession() override {}
  void ClearPendingInput() override {}
};

// Origin, when sent, must name the host the page was fetched from.
bool sameOrigin(const std::string& origin, const std::string& host) {
  if (origin.empty()) return true;
  for (const char* scheme : {"http://", "https://"})
    if (origin == scheme + host) return true;
  return false;
}

}  // namespace

WebOptions webOptions(const app::MainModel& m) {
  WebOptions o;
  o.on = m.web.On;
  o.port = static_cast<std::uint16_t>(m.web.Port);
  const app::CommandLine cl = app::parseCommandLine(m.commandLine);
  if (cl.web == 0) {
    o.on = false;
  } else if (cl.web == app::CommandLine::kWebOn) {
    o.on = true;
  } else if (cl.web > 0) {
    o.on = true;
    o.port = static_cast<std::uint16_t>(cl.web);
  }
  o.bind = text::utf8FromCp932(m.web.Bind);
  o.password = m.consolePassword;
  o.certFile = text::utf8FromCp932(m.web.CertFile);
  o.keyFile = text::utf8FromCp932(m.web.KeyFile);
  // Test runs take any free port, as the telnet console does.
  const char* any = std::getenv("ZELTARO_WEB_ANY_PORT");
  if (o.on && any != nullptr && *any != '\0') o.port = 0;
  return o;
}

class WebConsole::Server final : public QAbstractHttpServer {
 public:
  explicit Server(WebConsole& owner) : owner_(owner) {}

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
    owner_.handle(request, socket);
    return true;
  }
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override {
    owner_.handle(request, socket);
  }

 public:
  static QHttpServerResponder responder(const QHttpServerRequest& request, QTcpSocket* socket) {
    return makeResponder(request, socket);
  }

 private:
  WebConsole& owner_;
};

struct WebConsole::Reply {
  int status = 200;
  QByteArray type = "application/json";
  QByteArray body;
  std::vector<std::pair<QByteArray, QByteArray>> headers;

  static Reply json(const QJsonObject& o, int status = 200) {
    return Reply{status, "application/json", QJsonDocument(o).toJson(QJsonDocument::Compact), {}};
  }
  static Reply error(int status, const char* message) {
    return json(QJsonObject{{"error", message}}, status);
  }
};

WebConsole::WebConsole(app::MainModel& model, console::ConsoleModel& console,
                       std::function<void()> afterChange)
    : model_(model),
      console_(console),
      commands_(std::make_unique<console::CommandSet>(console)),
      afterChange_(std::move(afterChange)) {}

WebConsole::~WebConsole() {
  if (eventListener_ != 0) platform::eventLog().unlisten(eventListener_);
  QObject::disconnect(idleHook_);
  for (QWebSocket* page : std::exchange(pages_, {})) {
    page->disconnect(this);
    page->abort();
    delete page;
  }
}

bool WebConsole::start(const WebOptions& options) {
  options_ = options;
  QHostAddress address;
  if (options.bind.empty() || options.bind == "localhost")
    address = QHostAddress(QHostAddress::LocalHost);
  else if (!address.setAddress(QString::fromStdString(options.bind))) {
    say("web console not started: [Web] Bind \"" + options.bind + "\" is no IP address");
    return false;
  }
  if (!isLoopback(address) && options.password.empty()) {
    say("web console not started: it would listen on " + options.bind +
        ", reachable from other machines, but no console password is set (/pass=)");
    return false;
  }
  std::optional<QSslConfiguration> tls;
  if (!options.certFile.empty() || !options.keyFile.empty()) {
    std::string why;
    const auto cert = readSmallFile(options.certFile, &why);
    const auto key = cert ? readSmallFile(options.keyFile, &why) : std::nullopt;
    if (!cert || !key) {
      say("web console not started: TLS: " + why);
      return false;
    }
    const QList<QSslCertificate> chain = QSslCertificate::fromData(*cert, QSsl::Pem);
    QSslKey privateKey(*key, QSsl::Rsa, QSsl::Pem);
    if (privateKey.isNull()) privateKey = QSslKey(*key, QSsl::Ec, QSsl::Pem);
    if (chain.isEmpty() || privateKey.isNull()) {
      say("web console not started: TLS: the certificate or the key cannot be read as PEM");
      return false;
    }
    QSslConfiguration c = QSslConfiguration::defaultConfiguration();
    c.setLocalCertificateChain(chain);
    c.setPrivateKey(privateKey);
    c.setPeerVerifyMode(QSslSocket::VerifyNone);
    tls = c;
    tls_ = true;
  }

  sessions_ = std::make_unique<Sessions>(options.password, randomHex);
  http_ = std::make_unique<Server>(*this);
  webSockets_ = std::make_unique<QWebSocketServer>(QStringLiteral("zeltaro"),
                                                   QWebSocketServer::NonSecureMode);
  webSockets_->setMaxPendingConnections(static_cast<int>(kMaxPages));
  connect(webSockets_.get(), &QWebSocketServer::newConnection, this, &WebConsole::acceptWebSocket);
  gate_ = new RequestGate([this](QTcpSocket* s, const RequestHead& h) { upgrade(s, h); }, tls);
  if (!gate_->listen(address, options.port)) {
    say("web console not started: cannot listen on " + options.bind + " port " +
        std::to_string(options.port) + ": " + gate_->errorString().toStdString());
    delete gate_;
    gate_ = nullptr;
    return false;
  }
  http_->bind(gate_);
  std::string host = address.protocol() == QAbstractSocket::IPv6Protocol
                         ? "[" + address.toString().toStdString() + "]"
                         : address.toString().toStdString();
  say(std::string("web console at ") + (tls_ ? "https://" : "http://") + host + ":" +
      std::to_string(gate_->serverPort()) + "/");

  eventListener_ = platform::eventLog().listen([this](const std::string& line) {
    QMetaObject::invokeMethod(
        this,
        [this, line] {
          broadcast(
              QJsonDocument(QJsonObject{{"type", "event"}, {"line", QString::fromStdString(line)}})
                  .toJson(QJsonDocument::Compact));
        },
        Qt::QueuedConnection);
  });
  // The live state goes out when the program has done what it had to do and waits again: a
  // check's lines reach the pages the moment the check ends, without a timer.
  if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
    idleHook_ =
        connect(d, &QAbstractEventDispatcher::aboutToBlock, this, &WebConsole::pushIfChanged);
  return true;
}

bool WebConsole::isListening() const { return gate_ != nullptr && gate_->isListening(); }
std::uint16_t WebConsole::port() const { return gate_ ? gate_->serverPort() : 0; }

void WebConsole::pushIfChanged() {
  if (pages_.empty()) return;
  const std::size_t fp = liveFingerprint(model_);
  if (fp == lastFingerprint_) return;
  lastFingerprint_ = fp;
  QJsonObject live = liveState(model_);
  live.insert("type", "live");
  broadcast(QJsonDocument(live).toJson(QJsonDocument::Compact));
}

void WebConsole::broadcast(const QByteArray& message) {
  const QString text = QString::fromUtf8(message);
  for (QWebSocket* page : pages_) {
    // A page that stopped reading is let go before what waits for it grows without end.
    if (page->bytesToWrite() > kMaxUnsentBytes) {
      page->abort();
      continue;
    }
    page->sendTextMessage(text);
  }
}

void WebConsole::changed() {
  if (afterChange_) afterChange_();
  lastFingerprint_ = 0;  // the pages get the state again, changed or not
  pushIfChanged();
}

void WebConsole::upgrade(QTcpSocket* socket, const RequestHead& head) {
  auto refuse = [socket](int status) {
    const std::string reply = "HTTP/1.1 " + std::to_string(status) + " " + statusText(status) +
                              "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    socket->skip(socket->bytesAvailable());
    socket->write(reply.data(), static_cast<qint64>(reply.size()));
    socket->disconnectFromHost();
  };
  if (head.path != "/ws") return refuse(404);
  if (!sameOrigin(head.origin, head.host)) return refuse(403);
  if (options_.password.empty() && !loopbackHost(head.host)) return refuse(403);
  if (!sessions_->touch(cookieValue(head.cookie, kCookie))) return refuse(401);
  if (pages_.size() >= kMaxPages) return refuse(503);
  socket->setParent(nullptr);
  webSockets_->handleConnection(socket);
}

void WebConsole::acceptWebSocket() {
  while (QWebSocket* page = webSockets_->nextPendingConnection()) {
    pages_.push_back(page);
    // Pages only listen; whatever they send is dropped, and a large frame ends them.
    page->setMaxAllowedIncomingMessageSize(4096);
    page->setMaxAllowedIncomingFrameSize(4096);
    connect(page, &QWebSocket::disconnected, this, [this, page] {
      std::erase(pages_, page);
      page->deleteLater();
    });
    QJsonObject live = liveState(model_);
    live.insert("type", "live");
    page->sendTextMessage(QString::fromUtf8(QJsonDocument(live).toJson(QJsonDocument::Compact)));
  }
}

void WebConsole::handle(const QHttpServerRequest& request, QTcpSocket* socket) {
  const std::string sessionId = cookieValue(request.value("Cookie").toStdString(), kCookie);
  Reply reply;
  const QString path = request.url().path();
  const std::string host = request.value("Host").toStdString();
  if (options_.password.empty() && !loopbackHost(host)) {
    reply = Reply::error(403, "without a password only http://127.0.0.1 reaches this console");
  } else if (request.method() == QHttpServerRequest::Method::Post &&
             !sameOrigin(request.value("Origin").toStdString(), host)) {
    reply = Reply::error(403, "cross-site request");
  } else {
    reply = route(request, sessionId);
  }
  send(request, socket, reply);
}

WebConsole::Reply WebConsole::route(const QHttpServerRequest& request,
                                    const std::string& sessionId) {
  const QString path = request.url().path();
  const bool get = request.method() == QHttpServerRequest::Method::Get ||
                   request.method() == QHttpServerRequest::Method::Head;
  const bool post = request.method() == QHttpServerRequest::Method::Post;
  for (const Asset& a : kAssets) {
    if (path != QLatin1String(a.path)) continue;
    if (!get) return Reply::error(405, "method not allowed");
    QFile f(QString::fromLatin1(a.resource));
    if (!f.open(QIODevice::ReadOnly)) return Reply::error(404, "not found");
    return Reply{200, a.type, f.readAll(), {}};
  }
  if (path == "/favicon.ico") return Reply{204, "image/x-icon", {}, {}};
  if (path == "/api/login" && post) {
    const QJsonObject body = QJsonDocument::fromJson(request.body()).object();
    const Sessions::LoginResult r =
        sessions_->login(request.remoteAddress().toString().toStdString(),
                         text::cp932FromUtf8(body.value("password").toString().toStdString()));
    if (r.outcome == Sessions::Login::LockedOut)
      return Reply::error(429, "locked out for a minute after five wrong passwords");
    if (r.outcome == Sessions::Login::Wrong) return Reply::error(401, "wrong password");
    Reply reply = Reply::json(QJsonObject{{"token", QString::fromStdString(r.token)}});
    QByteArray cookie = QByteArray(kCookie) + "=" + QByteArray::fromStdString(r.id) +
                        "; Path=/; HttpOnly; SameSite=Strict";
    if (tls_) cookie += "; Secure";
    reply.headers.emplace_back("Set-Cookie", cookie);
    return reply;
  }
  if (path == "/api/login") return Reply::error(405, "method not allowed");
  const std::optional<std::string> token = sessions_->touch(sessionId);
  if (!token) {
    return Reply::json(
        QJsonObject{{"error", "login needed"}, {"passwordNeeded", !options_.password.empty()}},
        401);
  }
  if (get && path == "/api/state") return Reply::json(fullState(*token));
  if (!path.startsWith("/api/")) return Reply::error(404, "not found");
  if (!post) return Reply::error(405, "method not allowed");
  if (!sessions_->tokenMatches(sessionId, request.value(kTokenHeader).toStdString()))
    return Reply::error(403, "the session's token is missing or wrong");
  const QJsonDocument doc = QJsonDocument::fromJson(request.body());
  if (!request.body().isEmpty() && !doc.isObject()) return Reply::error(400, "bad JSON");
  if (path == "/api/logout") {
    sessions_->logout(sessionId);
    Reply r = Reply::json({});
    r.headers.emplace_back("Set-Cookie",
                           QByteArray(kCookie) + "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0");
    return r;
  }
  return act(path.mid(5).toStdString(), doc.object());
}

QJsonObject WebConsole::fullState(const std::string& token) {
  QJsonObject o{{"token", QString::fromStdString(token)},
                {"live", liveState(model_)},
                {"lists", listsState(model_).value("lists")},
                {"setup", setupState(model_)}};
  QJsonArray events;
  for (const std::string& line : platform::eventLog().lines())
    events.append(QString::fromStdString(line));
  o.insert("events", events);
  return o;
}

WebConsole::Reply WebConsole::act(const std::string& action, const QJsonObject& body) {
  auto page = [&body]() { return body.value("page").toInt(); };
  if (action == "check") {
    const int n = page();
    if (n < 1 || n > 3) return Reply::error(400, "page 1, 2 or 3");
    // The check lets the loop run while it fetches: it runs after this reply has gone.
    QTimer::singleShot(0, this, [this, n] {
      if (console_.checkRunning())
        console_.checkPageThen(n, [this] { changed(); });
      else
        console_.checkPage(n);
      changed();
    });
    return Reply::json(QJsonObject{{"queued", true}}, 202);
  }
  if (action == "pagetest") {
    const int n = page();
    if (n < 1 || n > 3) return Reply::error(400, "page 1, 2 or 3");
    if (testerHttp_ == nullptr) return Reply::error(404, "no page tester");
    if (testing_) return Reply::error(409, "a page test runs");
    // The fetch lets the loop run: the table goes to the pages over the WebSocket.
    QTimer::singleShot(0, this, [this, n] { runPageTest(n); });
    return Reply::json(QJsonObject{{"queued", true}}, 202);
  }
  if (action == "interval") {
    const int minutes = body.value("minutes").toInt(-1);
    if (minutes == 0)
      console_.clickIntervalOff();
    else if (minutes >= 2 && minutes <= 5)
      console_.clickIntervalButton(minutes);
    else
      return Reply::error(400, "0 (off) or 2 ... 5 minutes");
  } else if (action == "switch") {
    const QString name = body.value("name").toString();
    const QJsonValue on = body.value("on");
    if (!on.isBool()) return Reply::error(400, "on: true or false");
    if (name == "alert")
      console_.soundAlert() = on.toBool();
    else if (name == "mail")
      console_.mailForwarding() = on.toBool();
    else if (name == "page1" || name == "page2" || name == "page3")
      console_.pageEnabled(name.back().digitValue()) = on.toBool();
    else
      return Reply::error(400, "unknown switch");
  } else if (action == "clear") {
    console_.clearLog();
  } else if (action == "lamps") {
    model_.resetAllLamps();
  } else if (action == "lists") {
    const QJsonArray lists = body.value("lists").toArray();
    if (lists.size() != 3) return Reply::error(400, "three lists");
    for (int l = 1; l <= 3; ++l) {
      const QJsonObject list = lists.at(l - 1).toObject();
      QString t = list.value("text").toString();
      t.remove('\r');
      console_.listText(l) = text::cp932FromUtf8(t.replace("\n", "\r\n").toStdString());
      console_.listChanged(l);
      const QJsonArray urls = list.value("urls").toArray();
      for (int u = 1; u <= 3 && u <= urls.size(); ++u)
        console_.listEnabledForUrl(l, u) = urls.at(u - 1).toBool();
    }
    model_.normalizeLists();
    std::string reason;
    const bool saved = console_.saveSettings(&reason);
    changed();
    return Reply::json(QJsonObject{{"saved", saved},
                                   {"reason", QString::fromStdString(text::utf8FromCp932(reason))},
                                   {"lists", listsState(model_).value("lists")}});
  } else if (action == "setup") {
    const settings::RigDirectSettings rigBefore = model_.station.rigDirect;
    const SetupChange change = applySetup(model_, body.value("settings").toObject());
    if (change.foldersChanged || change.rigChanged)
      model_.settingsDialogClosed(rigBefore, change.foldersChanged);
    std::string reason;
    const bool saved = model_.saveSettingsFile(&reason);
    changed();
    return Reply::json(QJsonObject{{"saved", saved},
                                   {"reason", QString::fromStdString(text::utf8FromCp932(reason))},
                                   {"setup", setupState(model_)}});
  } else if (action == "console") {
    const QString line = body.value("line").toString();
    if (line.toUtf8().size() > kMaxConsoleLineBytes) return Reply::error(413, "line too long");
    PageSession session;
    const std::string reply =
        commands_->ExecuteCommand(text::cp932FromUtf8(line.toStdString()), session);
    changed();
    return Reply::json(QJsonObject{{"reply", QString::fromStdString(text::utf8FromCp932(reply))}});
  } else {
    return Reply::error(404, "unknown action");
  }
  changed();
  return Reply::json(QJsonObject{{"live", liveState(model_)}});
}

void WebConsole::runPageTest(int page) {
  testing_ = true;
  const std::string& address = model_.pageChecks.edtURL[static_cast<std::size_t>(page - 1)];
  platform::QtMessagePump pump;
  const app::PageBytes got = app::fetchPage(address, *testerHttp_, pump);
  testing_ = false;
  std::vector<std::pair<std::string, std::string>> extra = {{"type", "\"pagetest\""},
                                                            {"page", std::to_string(page)}};
  pagetest::PageTestResult result;
  if (got.ok) {
    pagetest::PageTestInput in = app::pageTestInput(model_, page, testerFirstQso_);
    in.page = got.bytes;
    in.maxRecordsShown = 200;
    result = pagetest::testPage(in);
    extra.emplace_back("count", std::to_string(result.recordCount));
  } else {
    extra.emplace_back("error", pagetest::jsonString(got.error));
  }
  broadcast(QByteArray::fromStdString(pagetest::toJson(result, extra)));
}

void WebConsole::send(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply) {
  QHttpServerResponder responder = Server::responder(request, socket);
  responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
  responder.writeHeader("Content-Type", reply.type);
  responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
  responder.writeHeader("Content-Security-Policy", kPolicy);
  responder.writeHeader("X-Content-Type-Options", "nosniff");
  responder.writeHeader("X-Frame-Options", "DENY");
  responder.writeHeader("Referrer-Policy", "no-referrer");
  responder.writeHeader("Cache-Control", "no-store");
  responder.writeHeader("Connection", "close");
  for (const auto& [name, value] : reply.headers) responder.writeHeader(name, value);
  if (request.method() == QHttpServerRequest::Method::Head)
    responder.writeBody(QByteArray());
  else
    responder.writeBody(reply.body);
  // One request per connection: each passes the gate's checks.
  socket->disconnectFromHost();
}

}  // namespace zeltaro::web
