// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Trying a page with the settings as they stand: the page fetched through the program's own
// client or read from a file, then tested (pagetest/) with the model's separators, template,
// Body, lists and first-QSO checks. The tester window and the command line
// "--try-page URL|FILE" / "--guess-template URL|FILE --example CALL" use it. Nothing here
// writes the settings, the log, the lamps or the mail.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pagetest/page_test.h"

namespace zeltaro::platform {
class HttpClient;
class MessagePump;
}  // namespace zeltaro::platform

namespace zeltaro::app {

class MainModel;
class FirstQsoChecker;

// The largest page file read; a fetched page is bounded by the HTTP client alike.
inline constexpr std::size_t kLargestPageFile = 16u << 20;

struct PageBytes {
  bool ok = false;
  std::string bytes;
  std::string error;  // why not, UTF-8 (a fetch's reason is in the event log already)
  double fetchMs = 0;
};

// Whether a page source names an address ("scheme://...") rather than a file.
bool isPageAddress(std::string_view source);
// The file's bytes, judged by its size before a byte is read. path: the file system's spelling.
PageBytes readPageFile(const std::string& path);
// The page at address (CP932 bytes), fetched now; anything but a 2xx answer is an error (the
// client has put the failure in the event log).
PageBytes fetchPage(const std::string& address, platform::HttpClient& http,
                    platform::MessagePump& pump);

// The model's separators, template, Body, lists and role slots as a test of page; url is the
// page's number 1 ... 3 (the lists searched on it are those switched on for it), 0 for any other
// page (every list is searched). firstQso may be null (no first-QSO answers).
pagetest::PageTestInput pageTestInput(const MainModel& model, int url, FirstQsoChecker* firstQso);
// The number 1 ... 3 of the model's URL equal to address, or 0.
int urlNumberOf(const MainModel& model, std::string_view address);

// ---- the command line ----

struct PageTrialCommand {
  bool guess = false;       // --guess-template instead of --try-page
  std::string source;       // URL or file (UTF-8, as given)
  std::string settings;     // --settings PATH; empty: the program's own file
  bool json = false;        // --json
  std::string example;      // --example CALL (UTF-8)
  std::string exampleFreq;  // --example-freq TEXT (UTF-8)
};

// The trial the command line asks for; nullopt when it asks for none. A malformed one (a
// missing value, no --example for a guess) sets *error and returns nullopt.
std::optional<PageTrialCommand> pageTrialCommand(const std::vector<std::string>& args,
                                                 std::string* error);

struct PageTrialOutcome {
  int exitCode = 0;  // 0: records cut; 3: none; 2: the page or the settings could not be read
  std::string out;   // standard output, UTF-8
  std::string err;   // standard error, UTF-8, each line "zeltaro: ..."
};

// Reads the settings (command.settings, else defaultSettings; a missing default file leaves
// the defaults) into model, gets the page and answers. The settings file is never written.
PageTrialOutcome runPageTrial(const PageTrialCommand& command, const std::string& defaultSettings,
                              MainModel& model, platform::HttpClient& http,
                              platform::MessagePump& pump, FirstQsoChecker* firstQso);

}  // namespace zeltaro::app
