// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The listening socket of the web console, in front of the HTTP server: it holds each new
// connection until the head of its request has come, judges the head (checkRequestHead) before
// a byte of the body is read, and waits for the body only as far as its announced length. A
// refused request is answered and its connection closed; an accepted one goes to the HTTP
// server whole, or, for a WebSocket, to the WebSocket handler. Each connection carries one
// request: the reply closes it, so that every request passes here.

#include <QSslConfiguration>
#include <QTcpServer>
#include <functional>
#include <optional>

#include "web/request_check.h"

class QTcpSocket;

namespace zeltaro::web {

class RequestGate final : public QTcpServer {
  Q_OBJECT

 public:
  // webSocket gets each accepted WebSocket upgrade with its head (it may refuse it by closing
  // the socket); tls, when given, makes every connection HTTPS.
  RequestGate(std::function<void(QTcpSocket*, const RequestHead&)> webSocket,
              std::optional<QSslConfiguration> tls, QObject* parent = nullptr);

  static constexpr int kRequestMs = 10000;  // the time a client has for its whole request
  static constexpr int kMaxWaiting = 64;    // connections whose request has not come yet

  // Hands the accepted connections to the HTTP server (bound to this) as it expects them.
  void announce();

 protected:
  void incomingConnection(qintptr handle) override;

 private:
  void judge(QTcpSocket* socket);
  void refuse(QTcpSocket* socket, int status, const std::string& reason);

  std::function<void(QTcpSocket*, const RequestHead&)> webSocket_;
  std::optional<QSslConfiguration> tls_;
  int waiting_ = 0;
};

// The status line's text of an HTTP status the console answers with.
const char* statusText(int status);

}  // namespace zeltaro::web
