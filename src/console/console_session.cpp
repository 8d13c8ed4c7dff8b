// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console_session.h"

#include <algorithm>
#include <array>
#include <vector>

#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::console {

namespace {

constexpr char kBS = 8;
constexpr char kCR = 13;
constexpr char kLF = 10;
constexpr char kDEL = 0x7F;  // what most terminals send for the Backspace key

// Telnet's command bytes. 0xFF never occurs in Shift-JIS text (nor in UTF-8), so IAC always
// starts a command.
constexpr unsigned char kIAC = 0xFF;
constexpr unsigned char kSB = 0xFA;
constexpr unsigned char kSE = 0xF0;
constexpr unsigned char kWILL = 0xFB;
constexpr unsigned char kDONT = 0xFE;
constexpr std::size_t kMaxSubnegotiation = 256;

// How many bytes at the end of s start a UTF-8 character that is not complete yet (0 to 3).
std::size_t incompleteUtf8Tail(std::string_view s) {
  const std::size_t look = std::min<std::size_t>(3, s.size());
  for (std::size_t back = 1; back <= look; ++back) {
    const auto b = static_cast<unsigned char>(s[s.size() - back]);
    if ((b & 0xC0) == 0x80) continue;  // a continuation byte: the start lies further back
    const std::size_t need = b >= 0xF0 && b <= 0xF7 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    return need > back ? back : 0;
  }
  return 0;
}

constexpr bool isTrailByte(unsigned char c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// The text being edited, with its character starts kept as it grows and shrinks at the end, so
// that a backspace removes a whole double-byte character without rescanning the line.
class EditBuffer {
 public:
  explicit EditBuffer(std::string_view initial) {
    bytes_.reserve(initial.size());
    for (char c : initial) push(c);
  }

  void push(char c) {
    if (!starts_.empty() && bytes_.size() - starts_.back() == 1 &&
        text::isLeadByte(static_cast<unsigned char>(bytes_.back())) &&
        isTrailByte(static_cast<unsigned char>(c))) {
      bytes_.push_back(c);  // completes the double-byte character
      return;
    }
    starts_.push_back(bytes_.size());
    bytes_.push_back(c);
  }

  // Removes the last character; returns how many bytes it had (0 when empty).
  std::size_t popChar() {
    if (starts_.empty()) return 0;
    const std::size_t n = bytes_.size() - starts_.back();
    bytes_.resize(starts_.back());
    starts_.pop_back();
    return n;
  }

  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
  std::vector<std::size_t> starts_;
};

std::string crlfEcho(std::string echo) {
  if (echo.find("\r\n") != std::string::npos) return echo;
  const char lone = echo.find(kLF) != std::string::npos   ? kLF
                    : echo.find(kCR) != std::string::npos ? kCR
                                                          : 0;
  if (lone == 0) return echo;
  std::string out;
  out.reserve(echo.size() + 16);
  for (char c : echo) {
    if (c == lone) {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string buildGreeting() {
  static constexpr std::array<std::string_view, 21> kLines = {
      "  **************************** Hello de Zeltaro ****************************",
      "  A n xx       ：追加            A n(List1～3) xx(追加文字列)",
      "  C n xx       ：無効/有効       C n(List1～3,0はALL) xx(先頭部分指定)",
      "  D n xx       ：表示( xx有無可) D n(List1～3,0はALL) xx(先頭部分指定)",
      "  D LOG        ：表示(Log)       D LOG [オプションn(先頭からの行数)]",
      "  L nm ON/OFF  ：ListのURL       L n(List1～3)m(URL1～3) ON/OFF",
      "  M ON/OFF     ：メール転送      M ON/OFF",
      "  T xx         ：テスト          T M(メール), T V(音声), T Un(URL1～3)",
      "  U n ON/OFF   ：URL1～3         U n(URL1～3,0はALL) ON/OFF",
      "  V ON/OFF     ：音声            V ON/OFF",
      "  X ONn/OFF    ：運転開始/停止   X ONn(n分毎)/OFF",
      "  Z CFG ON/OFF ：Config          Z CFG ON/OFF",
      "  Z CLR        ：Logクリア       Z CLR",
      "  Z KILL n     ：無効行(*)削除   Z KILL n(List1～3,0はALL)",
      "  Z KILL n *xx ：無効行(*)削除   同上、但しxx(先頭部分指定)に一致する行を削除",
      "  Z LOAD       ：前回終了時または保存時の状態に戻す",
      "  Z SAVE       ：現在の設定を保存",
      "  Q            ：TELNET接続を切断",
      "  R            ：状態表示(チェックボタンなど)",
      "  ?            ：ヘルプ(このコマンド一覧)",
      "  備考         ：半角の小文字と大文字は区別なし",
  };
  std::string out = "\r\n";
  for (std::string_view line : kLines) {
    out += text::sj(line);
    out += "\r\n";
  }
  return out;
}

}  // namespace

const std::string& greeting() {
  static const std::string kGreeting = buildGreeting();
  return kGreeting;
}

void ConsoleSession::status(std::string_view event) {
  edtStatus = std::string(event);
  if (statusListener_) statusListener_(edtStatus);
}

bool ConsoleSession::accept(Connection& connection) {
  if (connection_ != nullptr) {
    if (Authenticated) {
      connection.close();
      return false;
    }
    // A client that has not given the password holds nothing yet: a silent stranger must not
    // keep the operator out, so the newcomer takes its place.
    sendOut(*connection_, kReplacedLine);
    CloseSession();
  }
  connection_ = &connection;
  ++generation_;
  PendingInput.clear();
  held_.clear();
  resetDecoder();
  Authenticated = password_.empty();
  sendOut(connection, Authenticated ? std::string_view(greeting()) : std::string_view("QRZ?\r\n"));
  return true;
}

void ConsoleSession::sendOut(Connection& connection, std::string_view cp932) {
  if (utf8_) {
    connection.send(text::utf8FromCp932(cp932));
  } else {
    connection.send(cp932);
  }
}

void ConsoleSession::resetDecoder() {
  telnet_ = Telnet::Data;
  subLength_ = 0;
  utf8Tail_.clear();
}

std::string ConsoleSession::decodeInput(std::string_view chunk) {
  std::string data;
  data.reserve(utf8Tail_.size() + chunk.size());
  data = utf8Tail_;
  utf8Tail_.clear();
  for (char c : chunk) {
    const auto b = static_cast<unsigned char>(c);
    switch (telnet_) {
      case Telnet::Data:
        if (b == kIAC) {
          telnet_ = Telnet::Command;
        } else {
          data += c;
        }
        break;
      case Telnet::Command:
        // IAC IAC (a data byte 0xFF) has no place in the text either and goes too.
        telnet_ = b >= kWILL && b <= kDONT ? Telnet::Option : b == kSB ? Telnet::Sub : Telnet::Data;
        subLength_ = 0;
        break;
      case Telnet::Option:
        telnet_ = Telnet::Data;
        break;
      case Telnet::Sub:
        // A subnegotiation is a few bytes (terminal type, window size); one that never ends
        // must not leave the console deaf for good.
        if (++subLength_ > kMaxSubnegotiation) {
          telnet_ = Telnet::Data;
        } else if (b == kIAC) {
          telnet_ = Telnet::SubCommand;
        }
        break;
      case Telnet::SubCommand:
        telnet_ = b == kSE ? Telnet::Data : Telnet::Sub;
        break;
    }
  }
  if (!utf8_) return data;
  const std::size_t tail = incompleteUtf8Tail(data);
  utf8Tail_ = data.substr(data.size() - tail);
  data.resize(data.size() - tail);
  return text::cp932FromUtf8(data);
}

void ConsoleSession::disconnected(Connection& connection) {
  if (&connection != connection_) return;
  connection_ = nullptr;
  deferredReply_ = 0;  // the awaited reply has nobody to go to
  ++generation_;
  PendingInput.clear();
  held_.clear();
  resetDecoder();
}

void ConsoleSession::CloseSession() {
  Connection* c = connection_;
  if (c == nullptr) return;
  connection_ = nullptr;
  deferredReply_ = 0;
  ++generation_;
  PendingInput.clear();
  held_.clear();
  c->close();
}

void ConsoleSession::receive(std::string_view chunk) {
  if (connection_ == nullptr || chunk.empty()) return;
  if (busy() || !held_.empty()) {
    // A command is running (it may let the event loop run): this input waits for its reply.
    held_.append(chunk.substr(0, kMaxHeldInput - std::min(held_.size(), kMaxHeldInput)));
    drainHeld();
    return;
  }

  std::string in = decodeInput(chunk);
  if (in.empty()) return;
  for (std::string_view tail : {"[A", "[B", "[C", "[D"}) in = text::replaceAll(in, tail, "");

  EditBuffer work(PendingInput);  // PendingInput followed by this chunk's accepted text
  std::size_t accepted = 0;
  std::string echo;
  for (char c : in) {
    const auto b = static_cast<unsigned char>(c);
    if (c == kBS || c == kDEL) {
      const std::size_t removed = work.popChar();
      accepted -= std::min(accepted, removed);
      // A UTF-8 terminal shows a double-byte character two columns wide.
      echo += utf8_ && removed == 2 ? "\b\b  \b\b" : "\b \b";
    } else if (b < 32 && c != kCR && c != kLF) {
      continue;
    } else {
      echo += c;
      work.push(c);
      ++accepted;
    }
  }

  if (!echo.empty()) {
    if (!Authenticated) {
      for (char& c : echo) {
        if (c != ' ' && c != kCR && c != kLF && c != kBS) c = '*';
      }
    }
    sendOut(*connection_, crlfEcho(std::move(echo)));
  }

  PendingInput = work.take();
  if (accepted > 0) assemble();
}

void ConsoleSession::assemble() {
  if (PendingInput.size() > kMaxPendingInput) {
    SendReply("\r\n" + text::sj("    不正なコマンドです") + "\r\n");
    return;
  }
  if (PendingInput.find_first_of("\r\n") == std::string::npos) return;
  std::erase_if(PendingInput, [](char c) { return c == kCR || c == kLF; });

  if (!Authenticated) {
    if (text::upperAZ(PendingInput) != text::upperAZ(password_)) {
      CloseSession();  // clears PendingInput; nothing is sent
      return;
    }
    Authenticated = true;
    SendReply(greeting());
    return;
  }
  runLine(PendingInput);
}

void ConsoleSession::runLine(std::string line) {
  if (executor_ == nullptr) return;
  const std::uint64_t generation = generation_;
  std::string reply;
  // Busy for this client only: when it leaves while its command runs, the next client is
  // served meanwhile.
  const std::uint64_t outer = busyFor_;
  busyFor_ = generation;
  deferring_ = false;
  try {
    reply = executor_->execute(line, *this);
  } catch (...) {
    busyFor_ = outer;
    deferring_ = false;
    throw;
  }
  if (deferring_) {
    deferring_ = false;
    // Still awaited (the reply function may have run already, inside execute()).
    if (deferredReply_ != 0 && generation == generation_) return;
  }
  busyFor_ = outer;
  // The client may have gone, or even been replaced, while the command ran.
  if (generation == generation_) SendReply(reply);
  drainHeld();
}

std::function<void(std::string)> ConsoleSession::DeferReply() {
  if (!busy() || connection_ == nullptr) return {};
  static std::uint64_t counter = 0;
  const std::uint64_t id = ++counter;
  deferring_ = true;
  deferredReply_ = id;
  return [this, id](std::string reply) {
    if (deferredReply_ != id) return;  // the client has gone, or the reply was sent
    deferredReply_ = 0;
    if (deferring_) return;  // still inside execute(): runLine sends nothing, then goes on
    busyFor_ = 0;
    SendReply(reply);
    drainHeld();
    if (idleListener_) idleListener_();
  };
}

void ConsoleSession::drainHeld() {
  if (draining_) return;  // the outer drain picks up what arrived meanwhile
  draining_ = true;
  while (!busy() && !held_.empty() && connection_ != nullptr) {
    std::string chunk;
    chunk.swap(held_);
    receive(chunk);
  }
  draining_ = false;
}

void ConsoleSession::SendReply(std::string_view text) {
  if (text.empty()) return;
  PendingInput.clear();
  if (connection_ == nullptr) return;
  std::string framed(text);
  framed += "\r\n";
  std::replace(framed.begin(), framed.end(), '\t', ' ');
  sendOut(*connection_, framed);
}

}  // namespace zeltaro::console
