// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The remote console's session logic over bytes: the accept rule with its optional password,
// line editing with echo, line assembly and reply framing. The socket side lives in
// console_server.h; the command set is reached through CommandExecutor.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zeltaro::console {

// Pending input longer than this (line ends included) is answered as an invalid command.
inline constexpr std::size_t kMaxPendingInput = 1000;
// Input that arrives while a command runs waits at most this many bytes for its turn.
inline constexpr std::size_t kMaxHeldInput = 64 * 1024;

// Sent to a client that had not given the password when a new client takes its place.
inline constexpr std::string_view kReplacedLine =
    "\r\nAnother client has connected: this one had not given the password. Bye.\r\n";

// The text sent on connecting without a password, after the password and for "?": an empty
// line and the 21 lines of the command summary, each ended by CR LF (CP932).
const std::string& greeting();

// What a command may ask of the session it runs in.
class SessionControl {
 public:
  virtual ~SessionControl() = default;
  // Closes the session's connection (the quit command).
  virtual void CloseSession() = 0;
  virtual void ClearPendingInput() = 0;
  // For a command whose action finishes later (it waits for another one): the reply given by
  // execute() is dropped, the session stays busy, and the returned function sends the real
  // reply when called (once; nothing when the client has gone meanwhile). Empty when the
  // session cannot wait: the command then runs its action at once.
  virtual std::function<void(std::string)> DeferReply() { return {}; }
};

// The command set. execute() gets one complete line (CP932, CR and LF removed) of an
// authenticated session and returns its reply; an empty reply sends nothing.
class CommandExecutor {
 public:
  virtual ~CommandExecutor() = default;
  virtual std::string execute(std::string_view line, SessionControl& session) = 0;
};

// The client connection as the session sees it.
class Connection {
 public:
  virtual ~Connection() = default;
  // Queues bytes for the client; the whole block goes out, in order.
  virtual void send(std::string_view bytes) = 0;
  // Closes after what was queued has gone out. May report the disconnect before returning.
  virtual void close() = 0;
};

class ConsoleSession final : public SessionControl {
 public:
  ConsoleSession() = default;
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;

  // Empty: no password is asked. Compared with A-Z folded.
  void setPassword(std::string password) { password_ = std::move(password); }
  bool hasPassword() const { return !password_.empty(); }
  void setExecutor(CommandExecutor* executor) { executor_ = executor; }
  // For today's terminals: replies go out in UTF-8 and input is read as UTF-8, each turned
  // into CP932 before the line editing sees it. Off: every byte is CP932, as it comes.
  void setUtf8(bool on) { utf8_ = on; }
  bool utf8() const { return utf8_; }
  // Called with each server event's name as it is written into edtStatus.
  void setStatusListener(std::function<void(const std::string&)> listener) {
    statusListener_ = std::move(listener);
  }

  // ---- Server events ----
  // Writes an event name ("Listen", "GetSocket", "Read", "Error" ...) into edtStatus.
  void status(std::string_view event);
  // The accept rule. Returns false when a session whose client has given the password (or
  // needs none) exists: the new connection has then been closed and nothing was sent to it. A
  // session still waiting for its password is closed with kReplacedLine, and the new
  // connection takes its place.
  bool accept(Connection& connection);
  // The receive rule for one chunk of the session's input.
  void receive(std::string_view chunk);
  // The client's connection is gone; the session ends if it was the session's.
  void disconnected(Connection& connection);

  // ---- Offered to the command set ----
  // Frames and sends a reply: nothing for an empty one, else PendingInput is cleared and the
  // reply goes out with CR LF added and TABs turned into blanks.
  void SendReply(std::string_view text);
  void CloseSession() override;
  void ClearPendingInput() override { PendingInput.clear(); }
  std::function<void(std::string)> DeferReply() override;
  // Called when a deferred reply has gone out and the session takes input again.
  void setIdleListener(std::function<void()> listener) { idleListener_ = std::move(listener); }

  bool hasSession() const { return connection_ != nullptr; }
  const Connection* connection() const { return connection_; }
  // True while a command line of the present client runs (or waits to reply).
  bool busy() const { return busyFor_ != 0 && busyFor_ == generation_; }
  std::size_t heldInputSize() const { return held_.size(); }

  // ---- Named state ----
  bool Authenticated = false;
  // Received text that is not yet a complete command line. Belongs to the server, not to one
  // client; it is cleared on connect and disconnect so that one client's half line never
  // leads the next client's command.
  std::string PendingInput;
  std::string edtStatus;

 private:
  void assemble();
  void runLine(std::string line);
  void drainHeld();
  // Sends bytes to the client, in UTF-8 when asked for.
  void sendOut(Connection& connection, std::string_view cp932);
  // The client's bytes without telnet negotiation, in CP932.
  std::string decodeInput(std::string_view chunk);
  void resetDecoder();

  // Where the telnet filter stands between reads.
  enum class Telnet { Data, Command, Option, Sub, SubCommand };

  Connection* connection_ = nullptr;
  // Counts sessions, so that a reply computed for one session never reaches the next.
  std::uint64_t generation_ = 0;
  std::string password_;
  CommandExecutor* executor_ = nullptr;
  std::function<void(const std::string&)> statusListener_;
  std::function<void()> idleListener_;
  std::uint64_t busyFor_ = 0;        // the session (generation) whose command runs, 0 for none
  bool deferring_ = false;           // the running command asked to reply later
  std::uint64_t deferredReply_ = 0;  // the reply awaited, 0 for none
  bool draining_ = false;
  std::string held_;
  bool utf8_ = false;
  Telnet telnet_ = Telnet::Data;
  std::size_t subLength_ = 0;  // bytes of the subnegotiation under way
  std::string utf8Tail_;       // the start of a UTF-8 character whose rest is still to come
};

}  // namespace zeltaro::console
