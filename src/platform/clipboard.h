#pragma once
// The system clipboard. Texts are CP932 bytes.

#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void copy(std::string_view text) = 0;
};

class RecordingClipboard final : public Clipboard {
 public:
  void copy(std::string_view text) override { copied.emplace_back(text); }
  std::vector<std::string> copied;
};

}  // namespace zeltaro::platform
