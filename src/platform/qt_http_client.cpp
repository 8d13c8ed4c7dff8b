// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_http_client.h"

#include <netdb.h>
#include <sys/socket.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/event_log.h"
#include "platform/exchange_limits.h"
#include "platform/http_response.h"
#include "platform/stop_request.h"
#include "text/sjis.h"

namespace zeltaro::platform {

namespace {

constexpr std::size_t kMaxTargetBytes = 256;
constexpr std::string_view kScheme = "http://";
constexpr qint64 kReadChunk = 64 * 1024;

bool hasControlByte(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
  });
}

std::optional<std::uint16_t> parsePort(std::string_view digits) {
  if (digits.empty()) return 80;  // "host:" means the default port
  if (digits.size() > 5) return std::nullopt;
  unsigned value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

std::string cutTarget(std::string_view target) {
  return std::string(target.substr(0, kMaxTargetBytes));
}

// The next address after a 300-302 answer: absolute, scheme-relative, host-relative or
// relative to the folder of the current target.
std::optional<HttpAddress> resolveLocation(const HttpAddress& current, std::string_view loc) {
  loc = trimHeaderValue(loc);
  if (loc.empty()) return std::nullopt;
  if (loc.substr(0, 2) == "//") return parseHttpAddress("http:" + std::string(loc));
  const auto colon = loc.find(':');
  const auto slash = loc.find('/');
  if (colon != std::string_view::npos && (slash == std::string_view::npos || colon < slash))
    return parseHttpAddress(loc);  // has a scheme of its own
  if (hasControlByte(loc)) return std::nullopt;
  HttpAddress next = current;
  if (loc.front() == '/') {
    next.target = cutTarget(loc);
  } else {
    std::string_view base = current.target;
    base = base.substr(0, base.find('?'));
    base = base.substr(0, base.rfind('/') + 1);
    next.target = cutTarget(std::string(base) + std::string(loc));
  }
  return next;
}

// Host names are looked up on a thread of their own so that a slow resolver cannot freeze the
// window; the fetch polls the answer between pumps and may give up on it.
struct Lookup {
  std::mutex mutex;
  std::condition_variable ready;
  bool done = false;
  std::vector<QHostAddress> addresses;
};

std::shared_ptr<Lookup> startLookup(const std::string& host) {
  auto lookup = std::make_shared<Lookup>();
  std::thread([lookup, host] {
    std::vector<QHostAddress> found;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &list) == 0) {
      for (addrinfo* a = list; a != nullptr; a = a->ai_next) found.emplace_back(a->ai_addr);
      freeaddrinfo(list);
    }
    std::lock_guard lock(lookup->mutex);
    lookup->addresses = std::move(found);
    lookup->done = true;
    lookup->ready.notify_all();
  }).detach();
  return lookup;
}

}  // namespace

std::optional<HttpAddress> parseHttpAddress(std::string_view address) {
  if (!startsWithNoCase(address, kScheme)) return std::nullopt;
  std::string_view rest = address.substr(kScheme.size());
  const auto slash = rest.find('/');
  std::string_view authority = rest.substr(0, slash);
  HttpAddress out;
  out.target = slash == std::string_view::npos ? "/" : cutTarget(rest.substr(slash));

  std::string_view portText;
  std::size_t hostEnd = authority.size();
  if (!authority.empty() && authority.front() == '[') {  // IPv6 literal
    const auto close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    hostEnd = close + 1;
    if (hostEnd < authority.size()) {
      if (authority[hostEnd] != ':') return std::nullopt;
      portText = authority.substr(hostEnd + 1);
    }
  } else if (const auto colon = authority.rfind(':'); colon != std::string_view::npos) {
    hostEnd = colon;
    portText = authority.substr(colon + 1);
  }
  const std::string_view host = authority.substr(0, hostEnd);
  if (host.empty() || host == "[]" || hasControlByte(host) || host.find(' ') != host.npos)
    return std::nullopt;
  if (hasControlByte(out.target)) return std::nullopt;
  const auto port = parsePort(portText);
  if (!port) return std::nullopt;
  out.host = std::string(host);
  out.port = *port;
  return out;
}

std::string httpRequestBytes(const HttpAddress& address) {
  std::string r;
  r += "GET " + address.target + " HTTP/1.0\r\n";
  r += "Host: " + address.host + "\r\n";
  r += "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n";
  r += "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
  r += "Content-type: application/x-www-form-urlencoded\r\n";
  r += "\r\n";
  return r;
}

// One get() in flight. The frame of the get() that asked for it owns it; whichever get() is
// innermost on the stack drives the front of the queue, so a nested get() finishes the outer
// fetch before its own instead of waiting on a frame that cannot resume.
struct QtHttpClient::Job {
  enum class Stage { Start, Lookup, Connecting, Receiving, Done };

  std::string address;
  const std::function<void()>* onPacket = nullptr;
  Stage stage = Stage::Start;
  HttpAddress target;
  int redirects = 0;
  std::shared_ptr<Lookup> lookup;
  std::vector<QHostAddress> addresses;
  std::size_t nextAddress = 0;
  std::unique_ptr<QTcpSocket> socket;
  std::unique_ptr<HttpResponseReader> reader;
  QElapsedTimer idle;
  QElapsedTimer total;  // from the first step on; a fetch queued behind another waits free
  bool packetArrived = false;
  Result result;

  bool done() const { return stage == Stage::Done; }

  void fail(std::string why) {
    if (socket) socket->abort();
    socket.reset();
    reader.reset();
    lookup.reset();
    result = Result{};
    result.error = std::move(why);
    stage = Stage::Done;
  }

  void connectNext() {
    if (nextAddress >= addresses.size()) {
      fail("cannot connect to " + target.host + ":" + std::to_string(target.port) +
           (socket ? ": " + socket->errorString().toStdString() : std::string()));
      return;
    }
    socket = std::make_unique<QTcpSocket>();
    socket->setReadBufferSize(4 * kReadChunk);
    socket->connectToHost(addresses[nextAddress++], target.port);
    stage = Stage::Connecting;
    idle.restart();
  }

  void begin() {
    socket.reset();
    reader = std::make_unique<HttpResponseReader>();
    addresses.clear();
    nextAddress = 0;
    idle.restart();
    std::string bare = target.host;
    if (bare.size() >= 2 && bare.front() == '[') bare = bare.substr(1, bare.size() - 2);
    QHostAddress literal;
    if (literal.setAddress(QString::fromStdString(bare))) {
      addresses.push_back(literal);
      connectNext();
      return;
    }
    lookup = startLookup(bare);
    stage = Stage::Lookup;
  }
};

namespace {
QtHttpClient::Limits defaultLimits() {
  QtHttpClient::Limits limits;
  limits.totalTimeoutMs = static_cast<int>(httpTotalTimeout().count());
  return limits;
}
}  // namespace

QtHttpClient::QtHttpClient() : QtHttpClient(defaultLimits()) {}
QtHttpClient::QtHttpClient(Limits limits) : limits_(limits) {}
QtHttpClient::~QtHttpClient() = default;

HttpClient::Result QtHttpClient::get(std::string_view address, MessagePump& pump,
                                     const std::function<void()>& onPacket) {
  Job job;
  job.address = std::string(address);
  job.onPacket = &onPacket;
  queue_.push_back(&job);
  while (!job.done()) {
    Job& head = *queue_.front();
    advance(head);
    if (head.done()) queue_.pop_front();
    // Callbacks and the pump run only between steps, when every job is in a consistent state,
    // so either may start another get().
    if (head.packetArrived) {
      head.packetArrived = false;
      if (*head.onPacket) (*head.onPacket)();
    }
    if (!job.done()) pump.pump();
  }
  // Every fetch that failed, or brought an error page, leaves one line in the event log; the
  // fetch ended by the program's own stop is none.
  if (!job.result.ok && !stopRequested())
    reportEvent("page fetch failed: " + job.address + ": " + job.result.error);
  else if (job.result.ok && (job.result.status < 200 || job.result.status > 299))
    reportEvent("page fetch failed: " + job.address + ": HTTP " +
                std::to_string(job.result.status));
  return std::move(job.result);
}

void QtHttpClient::advance(Job& job) {
  using Stage = Job::Stage;
  switch (job.stage) {
    case Stage::Start: {
      job.total.start();
      auto target = parseHttpAddress(job.address);
      if (!target)
        return job.fail(startsWithNoCase(job.address, "https://")
                            ? "unsupported address: https is not supported, only http://"
                            : "unsupported address: only http:// pages can be fetched");
      job.target = std::move(*target);
      job.begin();
      return;
    }
    case Stage::Lookup: {
      std::unique_lock lock(job.lookup->mutex);
      job.lookup->ready.wait_for(lock, std::chrono::milliseconds(limits_.sliceMs),
                                 [&] { return job.lookup->done; });
      if (job.lookup->done) {
        job.addresses = job.lookup->addresses;
        lock.unlock();
        job.lookup.reset();
        if (job.addresses.empty()) return job.fail("host not found: " + job.target.host);
        job.connectNext();
        return;
      }
      break;
    }
    case Stage::Connecting: {
      job.socket->waitForConnected(limits_.sliceMs);
      if (job.socket->state() == QAbstractSocket::ConnectedState) {
        const std::string request = httpRequestBytes(job.target);
        job.socket->write(request.data(), static_cast<qint64>(request.size()));
        job.socket->flush();
        job.stage = Stage::Receiving;
        job.idle.restart();
        return;
      }
      if (job.socket->state() == QAbstractSocket::UnconnectedState) {
        job.connectNext();
        return;
      }
      break;
    }
    case Stage::Receiving: {
      QTcpSocket& s = *job.socket;
      if (s.bytesAvailable() == 0 && s.state() == QAbstractSocket::ConnectedState)
        s.waitForReadyRead(limits_.sliceMs);
      HttpResponseReader::State state = HttpResponseReader::State::NeedMore;
      if (s.bytesAvailable() > 0) {
        // Never read past one byte over the cap, so an endless body cannot grow memory.
        const std::size_t room =
            limits_.maxResponseBytes - std::min(limits_.maxResponseBytes, job.reader->size()) + 1;
        char buffer[kReadChunk];
        const qint64 want = std::min<qint64>(kReadChunk, static_cast<qint64>(room));
        const qint64 got = s.read(buffer, want);
        if (got > 0) {
          job.idle.restart();
          job.packetArrived = true;
          state = job.reader->add(buffer, static_cast<std::size_t>(got));
          if (state != HttpResponseReader::State::Complete &&
              job.reader->size() > limits_.maxResponseBytes)
            return job.fail("response larger than " + std::to_string(limits_.maxResponseBytes) +
                            " bytes");
        }
      } else if (s.state() != QAbstractSocket::ConnectedState) {
        state = job.reader->closed();
      }
      if (state == HttpResponseReader::State::Bad) return job.fail(job.reader->error());
      if (state == HttpResponseReader::State::Complete) {
        const int status = job.reader->status();
        if (status >= 300 && status <= 302 && !job.reader->location().empty()) {
          if (++job.redirects > limits_.maxRedirects) return job.fail("too many redirects");
          auto next = resolveLocation(job.target, job.reader->location());
          if (!next) return job.fail("unsupported redirect: " + job.reader->location());
          job.socket->abort();
          job.target = std::move(*next);
          job.begin();
          return;
        }
        job.socket->abort();
        job.socket.reset();
        job.result = Result{};
        job.result.ok = true;
        job.result.status = status;
        job.result.body = job.reader->takeBody();
        job.reader.reset();
        job.stage = Stage::Done;
        return;
      }
      break;
    }
    case Stage::Done:
      return;
  }
  if (stopRequested()) return job.fail("stopped");
  if (job.total.elapsed() >= limits_.totalTimeoutMs)
    return job.fail("no complete response within " + std::to_string(limits_.totalTimeoutMs) +
                    " ms");
  if (job.idle.elapsed() >= limits_.idleTimeoutMs)
    job.fail("nothing received for " + std::to_string(limits_.idleTimeoutMs) + " ms");
}

}  // namespace zeltaro::platform
