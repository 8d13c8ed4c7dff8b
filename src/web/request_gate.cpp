// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/request_gate.h"

#include <QMetaObject>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

namespace zeltaro::web {
namespace {

constexpr const char* kState = "zeltaroGateState";
constexpr const char* kFresh = "zeltaroGateFresh";
enum State { Waiting = 0, Passed = 1, Closing = 2 };

}  // namespace

const char* statusText(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 411:
      return "Length Required";
    case 413:
      return "Content Too Large";
    case 429:
      return "Too Many Requests";
    case 431:
      return "Request Header Fields Too Large";
    case 503:
      return "Service Unavailable";
    case 505:
      return "HTTP Version Not Supported";
    default:
      return "Error";
  }
}

RequestGate::RequestGate(std::function<void(QTcpSocket*, const RequestHead&)> webSocket,
                         std::optional<QSslConfiguration> tls, QObject* parent)
    : QTcpServer(parent), webSocket_(std::move(webSocket)), tls_(std::move(tls)) {}

void RequestGate::incomingConnection(qintptr handle) {
  QTcpSocket* socket = nullptr;
  if (tls_) {
    auto* ssl = new QSslSocket(this);
    if (!ssl->setSocketDescriptor(handle)) {
      delete ssl;
      return;
    }
    ssl->setSslConfiguration(*tls_);
    ssl->startServerEncryption();
    socket = ssl;
  } else {
    socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
      delete socket;
      return;
    }
  }
  if (waiting_ >= kMaxWaiting) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  ++waiting_;
  socket->setProperty(kState, Waiting);
  // First of the socket's readers: it sees every byte before the HTTP server does.
  connect(socket, &QIODevice::readyRead, this, [this, socket] { judge(socket); });
  connect(socket, &QAbstractSocket::disconnected, this, [this, socket] {
    if (socket->property(kState).toInt() == Waiting) {
      --waiting_;
      socket->setProperty(kState, Closing);
    }
    socket->deleteLater();
  });
  QTimer::singleShot(kRequestMs, socket, [this, socket] {
    if (socket->property(kState).toInt() == Waiting) refuse(socket, 408, "request too slow");
  });
}

void RequestGate::judge(QTcpSocket* socket) {
  const int state = socket->property(kState).toInt();
  if (state == Passed && socket->property(kFresh).toBool()) {
    // The hand-over's own readyRead: the HTTP server reads the request after this.
    socket->setProperty(kFresh, false);
    return;
  }
  if (state == Passed || state == Closing) {
    // One request per connection: whatever follows it is read by no one, only dropped.
    socket->skip(socket->bytesAvailable());
    return;
  }
  // Only the head is looked at: no more than its limit is peeked, and the body stays unread
  // in the socket until its whole announced length is there.
  const QByteArray peek = socket->peek(static_cast<qint64>(kMaxHeadBytes + kMaxBodyBytes + 1));
  const std::string_view data(peek.constData(), static_cast<std::size_t>(peek.size()));
  const std::size_t end = headEnd(data.substr(0, std::min(data.size(), kMaxHeadBytes + 4)));
  if (end == std::string_view::npos) {
    if (data.size() > kMaxHeadBytes) refuse(socket, 431, "header fields too large");
    return;
  }
  const RequestHead head = checkRequestHead(data.substr(0, end));
  if (head.status != 0) {
    refuse(socket, head.status, head.reason);
    return;
  }
  if (head.webSocket) {
    --waiting_;
    socket->setProperty(kState, Passed);
    // From here the WebSocket owns the connection: nothing of the gate's stays on it.
    disconnect(socket, nullptr, this, nullptr);
    webSocket_(socket, head);
    return;
  }
  if (data.size() < end + head.contentLength) return;  // the body is still coming
  if (data.size() > end + head.contentLength) {
    refuse(socket, 400, "one request per connection");
    return;
  }
  --waiting_;
  socket->setProperty(kState, Passed);
  addPendingConnection(socket);
  announce();
  // The HTTP server reads on readyRead; the request is in the socket already. Emitted here, so
  // that nothing can come between the judgement and the reading.
  socket->setProperty(kFresh, true);
  emit socket->readyRead();
}

void RequestGate::announce() {
  QMetaObject::invokeMethod(this, "pendingConnectionAvailable", Qt::DirectConnection);
}

void RequestGate::refuse(QTcpSocket* socket, int status, const std::string& reason) {
  if (socket->property(kState).toInt() == Waiting) --waiting_;
  socket->setProperty(kState, Closing);
  socket->skip(socket->bytesAvailable());
  const std::string body = reason + "\n";
  const std::string reply = "HTTP/1.1 " + std::to_string(status) + " " + statusText(status) +
                            "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                            std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
  socket->write(reply.data(), static_cast<qint64>(reply.size()));
  socket->disconnectFromHost();
}

}  // namespace zeltaro::web
