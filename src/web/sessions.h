// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Who is logged in to the web console: sessions named by a random cookie, each with its own
// token that every state-changing request must carry, ended after 12 hours without a request;
// and the addresses locked out for a minute after five wrong passwords in a row.

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace zeltaro::web {

class Sessions {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::hours kIdleLimit{12};
  static constexpr int kWrongPasswordsAllowed = 5;
  static constexpr std::chrono::seconds kLockout{60};
  static constexpr std::size_t kMaxSessions = 64;  // the oldest goes when a new one would pass it
  static constexpr std::size_t kMaxAddresses = 4096;  // addresses with wrong passwords kept

  // password: the console password; letter case is not compared, as the console does not.
  // random: 32 random bytes as 64 hexadecimal digits per call.
  Sessions(std::string password, std::function<std::string()> random,
           std::function<Clock::time_point()> now = Clock::now);

  enum class Login { Accepted, Wrong, LockedOut };
  struct LoginResult {
    Login outcome = Login::Wrong;
    std::string id, token;  // of the new session, when accepted
  };
  // A login from address with the password typed.
  LoginResult login(const std::string& address, const std::string& typed);

  // The session's token when id names a live one (and counts as a request: its idle time
  // starts again); nothing otherwise.
  std::optional<std::string> touch(const std::string& id);
  // Whether token is the token of the live session id (constant time).
  bool tokenMatches(const std::string& id, const std::string& token) const;
  void logout(const std::string& id);

  std::size_t count() const { return sessions_.size(); }

 private:
  struct Session {
    std::string token;
    Clock::time_point lastUse;
  };
  struct Failures {
    int count = 0;
    Clock::time_point lockedUntil{};
  };
  void dropIdle();

  std::string password_;
  std::function<std::string()> random_;
  std::function<Clock::time_point()> now_;
  std::map<std::string, Session> sessions_;
  std::map<std::string, Failures> failures_;
};

// Equal texts, compared in time that does not depend on where they differ.
bool sameSecret(const std::string& a, const std::string& b);

}  // namespace zeltaro::web
