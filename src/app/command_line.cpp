#include "app/command_line.h"

#include "text/sjis.h"

namespace zeltaro::app {
namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// The leading decimal digits as a number kept to 16 bits, as the port variable holds it;
// no digits give 0.
std::uint16_t leadingNumber(std::string_view s) {
  std::uint32_t n = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') break;
    n = (n * 10 + static_cast<std::uint32_t>(c - '0')) & 0xFFFFu;
  }
  return static_cast<std::uint16_t>(n);
}

}  // namespace

std::string instanceLockName(std::string_view executablePath) {
  std::string path = text::replaceAll(executablePath, "\\", "_");
  path = text::replaceAll(path, ":", "_");
  path = text::replaceAll(path, ".", "_");
  return "kobunaTarvoZELTARO" + path;
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  static constexpr std::string_view kTelnet = "/telnet=";
  static constexpr std::string_view kPass = "/pass=";
  static constexpr std::string_view kCharset = "/charset=";
  CommandLine cl;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::string lower = text::foldAZ(arg);
    const std::string_view trimmed = text::trim(lower);
    if (trimmed == "/telnet=on") {
      cl.port = 23;
    } else if (trimmed == "/telnet=off") {
      cl.port = 0;
    } else if (startsWith(lower, kTelnet)) {
      cl.port = leadingNumber(text::trim(std::string_view(arg).substr(kTelnet.size())));
    } else if (startsWith(lower, kPass)) {
      cl.password = text::trim(std::string_view(arg).substr(kPass.size()));
    } else if (startsWith(trimmed, kCharset)) {
      const std::string_view name = text::trim(trimmed.substr(kCharset.size()));
      cl.utf8Console = name == "utf-8" || name == "utf8";
    }
  }
  return cl;
}

}  // namespace zeltaro::app
