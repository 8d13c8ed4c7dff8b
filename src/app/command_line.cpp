// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <array>

#include "text/sjis.h"

#ifndef ZELTARO_VERSION
#error "ZELTARO_VERSION comes from the project's version in CMakeLists.txt"
#endif

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
  static constexpr std::string_view kWeb = "/web=";
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
    } else if (startsWith(trimmed, kWeb)) {
      const std::string_view value = text::trim(trimmed.substr(kWeb.size()));
      if (value == "on")
        cl.web = CommandLine::kWebOn;
      else if (value == "off")
        cl.web = 0;
      else
        cl.web = leadingNumber(value);
    }
  }
  return cl;
}

namespace {

constexpr std::string_view kHelp =
    "Usage: zeltaro [/telnet=PORT|on|off] [/pass=TEXT] [/charset=utf-8] [/web=PORT|on|off]\n"
    "               [-platform NAME]\n"
    "       zeltaro --try-page URL|FILE [--settings PATH] [--json]\n"
    "       zeltaro --guess-template URL|FILE --example CALL [--example-freq TEXT] [--json]\n"
    "\n"
    "Watches up to three spot pages, matches their spots against three watch lists and\n"
    "first-QSO checks in a HAMLOG log, and alerts by log panes and lamps, sound, e-mail and a\n"
    "telnet console from which the whole program can be driven.\n"
    "\n"
    "Options:\n"
    "  /telnet=PORT      open the console on PORT (/telnet=on: port 23, /telnet=off: none)\n"
    "  /pass=TEXT        the console asks for this password (letter case is not compared)\n"
    "  /charset=utf-8    the console speaks UTF-8 instead of Shift-JIS\n"
    "  /web=PORT         the web console on PORT (/web=on: the settings' port, /web=off: none);\n"
    "                    it listens on 127.0.0.1 unless [Web] Bind names another address,\n"
    "                    which needs /pass=\n"
    "  -platform NAME    Qt's window platform, e.g. offscreen to run without a window;\n"
    "                    without DISPLAY or WAYLAND_DISPLAY the program runs headless\n"
    "  -h, --help        print this help and exit\n"
    "  --version         print the name and version and exit\n"
    "\n"
    "Trying a page (no window, no console; the settings file is read, never written):\n"
    "  --try-page URL|FILE       cut the page with the separators, template and Body of the\n"
    "                            settings and print each record's slots, line and lists\n"
    "  --guess-template URL|FILE propose separators and a template from one example\n"
    "  --example CALL            a call sign seen on the page (with --guess-template)\n"
    "  --example-freq TEXT       its frequency as the page writes it (optional)\n"
    "  --settings PATH           read this settings file instead of the program's own\n"
    "  --json                    print JSON: {\"records\": [{\"slots\": {\"01\": ...},\n"
    "                            \"line\": ..., \"lists\": [1, 3]}], \"problems\": [...]}\n"
    "\n"
    "Settings file:\n"
    "  zeltaro.ini beside the executable when that folder can be written, otherwise\n"
    "  $XDG_CONFIG_HOME/zeltaro/zeltaro.ini (~/.config/zeltaro/zeltaro.ini); Shift-JIS text,\n"
    "  read at start and by the console's Z LOAD, written at exit, by SAVE and by Z SAVE.\n"
    "\n"
    "Environment:\n"
    "  ZELTARO_HTTP_TOTAL_MS     total time of one page fetch (default 60000)\n"
    "  ZELTARO_SMTP_TOTAL_MS     total time of one mail (default 60000)\n"
    "  ZELTARO_CONSOLE_GRACE_MS  time a console client has for its password (default 120000)\n"
    "  WINEPREFIX                the Wine prefix of HAMLOG and the companion (default ~/.wine)\n"
    "  XDG_CONFIG_HOME, XDG_RUNTIME_DIR, DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM\n"
    "\n"
    "Exit status: 0 after a normal end (the window closed, SIGTERM, Ctrl+C); 1 when another\n"
    "copy runs from the same folder; 2 for an unknown option, or headless with a console\n"
    "that cannot listen. A page trial: 0 when records were cut, 3 when none were, 2 when the\n"
    "page or the settings file could not be read (the reason on standard error).\n"
    "\n"
    "See zeltaro(1).\n";

// Qt's own command-line options, taken with one dash or two.
constexpr std::array<std::string_view, 16> kQtOptions = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",     "qmljsdebugger",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "reverse",    "session",
    "display",         "geometry",           "style",         "stylesheet", "widgetcount",
    "nograb"};

// The page trial's options (app/page_trial.h reads them).
constexpr std::array<std::string_view, 6> kPageTrialOptions = {
    "try-page", "guess-template", "settings", "example", "example-freq", "json"};

}  // namespace

std::optional<ImmediateAnswer> immediateAnswer(const std::vector<std::string>& args) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") return ImmediateAnswer{0, std::string(kHelp), false};
    if (arg == "--version") return ImmediateAnswer{0, "zeltaro " ZELTARO_VERSION "\n", false};
  }
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!arg.starts_with("--") || arg == "--") continue;
    std::string_view name = arg.substr(2);
    name = name.substr(0, name.find('='));
    bool qt = false;
    for (const std::string_view o : kQtOptions) qt = qt || name == o;
    bool ours = false;
    for (const std::string_view o : kPageTrialOptions) ours = ours || name == o;
    if (!qt && !ours)
      return ImmediateAnswer{
          2, "zeltaro: unknown option " + std::string(arg) + " (zeltaro --help lists them)\n",
          true};
  }
  return std::nullopt;
}

}  // namespace zeltaro::app
