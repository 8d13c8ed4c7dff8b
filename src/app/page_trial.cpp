// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/page_trial.h"

#include <chrono>

#include "app/main_links.h"
#include "app/main_model.h"
#include "app/settings_io.h"
#include "platform/http_client.h"
#include "platform/message_pump.h"
#include "platform/regular_file.h"
#include "spots/template_guess.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::app {
namespace {

double msSince(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

std::string u8(std::string_view cp932) { return text::utf8FromCp932(cp932); }

}  // namespace

bool isPageAddress(std::string_view source) {
  const std::size_t colon = source.find("://");
  if (colon == std::string_view::npos || colon == 0) return false;
  for (const char c : source.substr(0, colon))
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
          c == '-' || c == '.'))
      return false;
  return true;
}

PageBytes readPageFile(const std::string& path) {
  const auto started = std::chrono::steady_clock::now();
  PageBytes page;
  const platform::RegularFile file(path);
  if (!file.isOpen()) {
    page.error = "cannot read " + path + ": " + file.whyNotOpen();
    return page;
  }
  if (file.size() > kLargestPageFile) {
    page.error =
        "cannot read " + path + ": larger than " + std::to_string(kLargestPageFile) + " bytes";
    return page;
  }
  if (!file.readAt(0, static_cast<std::size_t>(file.size()), page.bytes)) {
    page.error = "cannot read " + path + ": read error";
    return page;
  }
  page.ok = true;
  page.fetchMs = msSince(started);
  return page;
}

PageBytes fetchPage(const std::string& address, platform::HttpClient& http,
                    platform::MessagePump& pump) {
  const auto started = std::chrono::steady_clock::now();
  PageBytes page;
  platform::HttpClient::Result r = http.get(address, pump, {});
  page.fetchMs = msSince(started);
  if (!r.ok) {
    page.error = "cannot fetch " + u8(address) + ": " + r.error;
  } else if (r.status < 200 || r.status > 299) {
    page.error = "cannot fetch " + u8(address) + ": HTTP " + std::to_string(r.status);
  } else {
    page.ok = true;
    page.bytes = std::move(r.body);
  }
  return page;
}

int urlNumberOf(const MainModel& model, std::string_view address) {
  for (int n = 1; n <= 3; ++n)
    if (!address.empty() &&
        text::trim(model.pageChecks.edtURL[std::size_t(n - 1)]) == text::trim(address))
      return n;
  return 0;
}

pagetest::PageTestInput pageTestInput(const MainModel& model, int url, FirstQsoChecker* firstQso) {
  pagetest::PageTestInput in;
  const PageChecks& checks = model.pageChecks;
  in.sepStart = checks.edtSepStart;
  in.sepEnd = checks.edtSepEnd;
  in.templateLines = checks.Memo_pcre;
  in.body = checks.Edit1;
  in.roles = checks.roles;
  for (int l = 1; l <= 3; ++l) {
    const auto i = static_cast<std::size_t>(l - 1);
    // Tabs count as blanks, as the lists hold them once the operator leaves them.
    in.lists[i] = text::replaceAll(model.watchLists.Memo_List[i], "\t", " ");
    in.listSearched[i] = url == 0 || model.watchLists.enabledForUrl(l, url);
  }
  if (firstQso)
    in.firstQso = [firstQso](int list, const pagetest::FirstQsoKeys& k) {
      return firstQso->isFirstQso(list, {k.call, k.freq, k.code, k.mode});
    };
  return in;
}

std::optional<PageTrialCommand> pageTrialCommand(const std::vector<std::string>& args,
                                                 std::string* error) {
  PageTrialCommand c;
  bool asked = false, exampleGiven = false;
  std::string why;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) {
        if (why.empty()) why = a + " needs a value";
        return false;
      }
      into = args[++i];
      return true;
    };
    if (a == "--try-page" || a == "--guess-template") {
      if (asked && why.empty()) why = "give --try-page or --guess-template once";
      asked = true;
      c.guess = a == "--guess-template";
      value(c.source);
    } else if (a == "--settings") {
      value(c.settings);
    } else if (a == "--example") {
      exampleGiven = value(c.example) || exampleGiven;
    } else if (a == "--example-freq") {
      value(c.exampleFreq);
    } else if (a == "--json") {
      c.json = true;
    }
  }
  if (!asked) return std::nullopt;
  if (why.empty() && c.guess && (!exampleGiven || c.example.empty()))
    why = "--guess-template needs --example CALL";
  if (why.empty() && !c.guess && (exampleGiven || !c.exampleFreq.empty()))
    why = "--example goes with --guess-template";
  if (!why.empty()) {
    if (error) *error = why;
    return std::nullopt;
  }
  return c;
}

PageTrialOutcome runPageTrial(const PageTrialCommand& command, const std::string& defaultSettings,
                              MainModel& model, platform::HttpClient& http,
                              platform::MessagePump& pump, FirstQsoChecker* firstQso) {
  PageTrialOutcome o;
  const auto fail = [&o](const std::string& why) {
    o.exitCode = 2;
    o.err += "zeltaro: " + why + "\n";
    return o;
  };
  const std::string settingsPath = command.settings.empty() ? defaultSettings : command.settings;
  if (!command.settings.empty()) {
    const platform::RegularFile file(command.settings);
    if (!file.isOpen()) return fail("cannot read the settings file " + command.settings);
  }
  if (!settingsPath.empty()) LoadSettings(model, settingsPath);

  const bool address = isPageAddress(command.source);
  const int url = address ? urlNumberOf(model, text::cp932FromUtf8(command.source)) : 0;
  PageBytes page = address ? fetchPage(text::cp932FromUtf8(command.source), http, pump)
                           : readPageFile(command.source);
  if (!page.ok) {
    o.exitCode = 2;
    // A failed fetch has put its one line on standard error through the event log already.
    if (!address) o.err += "zeltaro: " + page.error + "\n";
    return o;
  }

  pagetest::PageTestInput in = pageTestInput(model, url, firstQso);
  in.page = std::move(page.bytes);
  std::vector<std::pair<std::string, std::string>> extra;
  std::string proposal;
  if (command.guess) {
    const spots::TemplateGuess g = spots::guessTemplate(
        in.page, {text::cp932FromUtf8(command.example), text::cp932FromUtf8(command.exampleFreq)});
    std::string notesJson = "[";
    for (std::size_t i = 0; i < g.notes.size(); ++i)
      notesJson += (i ? ", " : "") + pagetest::jsonString(g.notes[i]);
    notesJson += "]";
    if (!g.found) {
      o.exitCode = 3;
      if (command.json) {
        o.out = "{\"found\": false, \"notes\": " + notesJson + "}\n";
      } else {
        o.out = "テンプレートを推定できませんでした\n";
        for (const std::string& n : g.notes) o.out += "注: " + n + "\n";
      }
      return o;
    }
    in.sepStart = g.sepStart;
    in.sepEnd = g.sepEnd;
    in.templateLines = g.templateLines;
    std::string joined;
    for (const std::string& l : g.templateLines) joined += (joined.empty() ? "" : "\n") + u8(l);
    extra = {{"start", pagetest::jsonString(u8(g.sepStart))},
             {"end", pagetest::jsonString(u8(g.sepEnd))},
             {"template", pagetest::jsonString(joined)},
             {"notes", notesJson}};
    proposal =
        "開始区切り語 " + u8(g.sepStart) + "\n終了区切り語 " + u8(g.sepEnd) + "\nテンプレート\n";
    for (const std::string& l : g.templateLines) proposal += "  " + u8(l) + "\n";
    for (const std::string& n : g.notes) proposal += "注: " + n + "\n";
    proposal += "\n";
  }
  const pagetest::PageTestResult result = pagetest::testPage(in);
  o.out = command.json ? pagetest::toJson(result, extra) : proposal + pagetest::toText(result);
  o.exitCode = result.recordCount > 0 ? 0 : 3;
  return o;
}

}  // namespace zeltaro::app
