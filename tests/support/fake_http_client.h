// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test stand-in for the page fetch: canned results per address, and a record of every
// address asked for, in order.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/http_client.h"

namespace zeltaro::platform {

class FakeHttpClient final : public HttpClient {
 public:
  // A page served with status 200.
  void setPage(std::string address, std::string body, int status = 200) {
    Result r;
    r.ok = true;
    r.status = status;
    r.body = std::move(body);
    results_[std::move(address)] = std::move(r);
  }
  // Any result, failures included.
  void setResult(std::string address, Result result) {
    results_[std::move(address)] = std::move(result);
  }
  // Runs inside get() after the packet callback, before the result is returned: lets a test
  // act while a fetch is "on the wire" (press a button, send a console line).
  void setDuringFetch(std::function<void(std::string_view address)> hook) {
    duringFetch_ = std::move(hook);
  }

  // An address with no canned result fails as an unreachable host does.
  Result get(std::string_view address, MessagePump& pump,
             const std::function<void()>& onPacket) override {
    asked_.emplace_back(address);
    const auto it = results_.find(address);
    Result r;
    if (it == results_.end()) {
      r.error = "no canned result";
    } else {
      r = it->second;
      if (r.ok && onPacket) onPacket();
    }
    pump.pump();
    if (duringFetch_) duringFetch_(address);
    return r;
  }

  const std::vector<std::string>& asked() const { return asked_; }
  void clearAsked() { asked_.clear(); }

 private:
  std::map<std::string, Result, std::less<>> results_;
  std::vector<std::string> asked_;
  std::function<void(std::string_view)> duringFetch_;
};

}  // namespace zeltaro::platform
