#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::platform {

// Opens an address in the user's web browser.
class Browser {
 public:
  virtual ~Browser() = default;
  virtual void open(std::string_view address) = 0;
};

class RecordingBrowser final : public Browser {
 public:
  void open(std::string_view address) override { opened.emplace_back(address); }
  std::vector<std::string> opened;
};

}  // namespace zeltaro::platform
