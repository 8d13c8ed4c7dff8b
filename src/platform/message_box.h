#pragma once
// Message and error boxes. Texts are CP932 bytes, as everywhere in the core.

#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::platform {

class MessageBox {
 public:
  enum class Kind { Information, Warning, Error };
  virtual ~MessageBox() = default;
  virtual void show(Kind kind, std::string_view caption, std::string_view text) = 0;
};

// Records what would have been shown.
class RecordingMessageBox final : public MessageBox {
 public:
  struct Shown {
    Kind kind;
    std::string caption, text;
  };
  void show(Kind kind, std::string_view caption, std::string_view text) override {
    shown.push_back({kind, std::string(caption), std::string(text)});
  }
  std::vector<Shown> shown;
};

}  // namespace zeltaro::platform
