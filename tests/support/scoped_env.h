// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An environment variable set (or removed) for one test, put back as it was afterwards.

#include <stdlib.h>

#include <optional>
#include <string>

namespace zeltaro::testing {

class ScopedEnv {
 public:
  // value empty (nullopt): the variable is removed.
  ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
    if (const char* old = ::getenv(name_.c_str())) saved_ = old;
    if (value)
      ::setenv(name_.c_str(), value->c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }
  ~ScopedEnv() {
    if (saved_)
      ::setenv(name_.c_str(), saved_->c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

}  // namespace zeltaro::testing
