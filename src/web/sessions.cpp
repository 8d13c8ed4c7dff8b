// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/sessions.h"

#include <algorithm>

namespace zeltaro::web {
namespace {

std::string upperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

}  // namespace

bool sameSecret(const std::string& a, const std::string& b) {
  unsigned char diff = a.size() == b.size() ? 0 : 1;
  const std::size_t n = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = i < a.size() ? a[i] : 0;
    const char y = i < b.size() ? b[i] : 0;
    diff |= static_cast<unsigned char>(x ^ y);
  }
  return diff == 0;
}

Sessions::Sessions(std::string password, std::function<std::string()> random,
                   std::function<Clock::time_point()> now)
    : password_(upperAscii(std::move(password))),
      random_(std::move(random)),
      now_(std::move(now)) {}

Sessions::LoginResult Sessions::login(const std::string& address, const std::string& typed) {
  const Clock::time_point t = now_();
  // Addresses that are not locked out are forgotten before the list could grow without end.
  if (failures_.size() >= kMaxAddresses && !failures_.contains(address))
    std::erase_if(failures_, [t](const auto& e) { return e.second.lockedUntil <= t; });
  Failures& f = failures_[address];
  if (f.lockedUntil > t) return {Login::LockedOut, {}, {}};
  if (!sameSecret(upperAscii(typed), password_)) {
    if (++f.count >= kWrongPasswordsAllowed) {
      f.count = 0;
      f.lockedUntil = t + kLockout;
      return {Login::LockedOut, {}, {}};
    }
    return {Login::Wrong, {}, {}};
  }
  failures_.erase(address);
  dropIdle();
  while (sessions_.size() >= kMaxSessions) {
    auto oldest = std::min_element(sessions_.begin(), sessions_.end(), [](auto& a, auto& b) {
      return a.second.lastUse < b.second.lastUse;
    });
    sessions_.erase(oldest);
  }
  LoginResult r{Login::Accepted, random_(), random_()};
  sessions_[r.id] = Session{r.token, t};
  // Addresses whose lockout is over and that failed nothing since are forgotten.
  std::erase_if(failures_,
                [t](const auto& e) { return e.second.count == 0 && e.second.lockedUntil <= t; });
  return r;
}

std::optional<std::string> Sessions::touch(const std::string& id) {
  dropIdle();
  auto it = sessions_.find(id);
  if (id.empty() || it == sessions_.end()) return std::nullopt;
  it->second.lastUse = now_();
  return it->second.token;
}

bool Sessions::tokenMatches(const std::string& id, const std::string& token) const {
  auto it = sessions_.find(id);
  if (id.empty() || it == sessions_.end() || token.empty()) return false;
  if (now_() - it->second.lastUse > kIdleLimit) return false;
  return sameSecret(it->second.token, token);
}

void Sessions::logout(const std::string& id) { sessions_.erase(id); }

void Sessions::dropIdle() {
  const Clock::time_point t = now_();
  std::erase_if(sessions_, [t](const auto& e) { return t - e.second.lastUse > kIdleLimit; });
}

}  // namespace zeltaro::web
