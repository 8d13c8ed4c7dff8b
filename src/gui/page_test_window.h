// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The page tester: what the separators, the extraction template and the Body as they stand in
// the main window (edited, not yet saved) cut out of a page. The page is URL 1 ... 3 fetched now,
// a pasted text or a file. It shows the counts and times, a table of the first records, the
// problems in words, a template guessed from one example call (with "採用" to take it into
// the main window) and the program's event log. Nothing it does logs, lights, mails or
// changes a list: the test runs on pagetest/, never on the page checks.

#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pagetest/page_test.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace zeltaro::platform {
class HttpClient;
}

namespace zeltaro::app {
class MainModel;
class FirstQsoChecker;
}  // namespace zeltaro::app

namespace zeltaro::app::ui {

class PageTestWindow : public QWidget {
  Q_OBJECT

 public:
  // http fetches the pages (the program's own client); firstQso may be null. afterAdopt runs
  // when "採用" has put a proposal into the model (the main window shows it then).
  PageTestWindow(MainModel& model, platform::HttpClient& http, FirstQsoChecker* firstQso,
                 std::function<void()> afterAdopt = {}, QWidget* parent = nullptr);
  ~PageTestWindow() override;

  // How long after the last edit the test runs again.
  static constexpr int kRerunDelayMs = 300;

  // The "試験" button: shows the window and tests the chosen page (fetching a URL now).
  void showAndRun();
  // The main window's separators, template or Body changed: test again after the delay.
  void settingsEdited();

  // The source of the page: 1 ... 3 for the model's URLs, or a pasted text, or a file.
  void useUrl(int n);
  void usePastedText(const QString& text);
  void useFile(const QString& path);
  // Gets the page again (fetches the URL, reads the file) and tests it.
  void reload();

  // The template guess from one example; true when a proposal was found.
  bool guess(const QString& call, const QString& freq = {});
  // "採用": the proposal into the main window's separators and template.
  void adoptProposal();

  // The last answer (the proposal's while a proposal is shown).
  const pagetest::PageTestResult& result() const { return result_; }
  QTableWidget* table() const { return table_; }

 private:
  void build();
  void runTest();
  void show(const pagetest::PageTestResult& r);
  void appendEvent(const QString& line);

  MainModel& model_;
  platform::HttpClient& http_;
  FirstQsoChecker* firstQso_;
  std::function<void()> afterAdopt_;
  int listenHandle_ = 0;
  QTimer rerun_;

  // The page as it was got last.
  int url_ = 1;  // 1 ... 3; 0 for a pasted text or a file
  QString file_;
  bool havePage_ = false;
  std::string page_;
  std::string pageError_;
  double fetchMs_ = 0;

  struct Proposal {
    std::string sepStart, sepEnd;
    std::vector<std::string> templateLines;
    std::vector<std::string> notes;
  };
  std::optional<Proposal> proposal_;  // shown until the main window's values change
  pagetest::PageTestResult result_;

  QComboBox* source_ = nullptr;
  QPushButton* reload_ = nullptr;
  QPushButton* chooseFile_ = nullptr;
  QPlainTextEdit* pasted_ = nullptr;
  QLabel* summary_ = nullptr;
  QPlainTextEdit* problems_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLineEdit* exampleCall_ = nullptr;
  QLineEdit* exampleFreq_ = nullptr;
  QPushButton* guess_ = nullptr;
  QPlainTextEdit* proposalText_ = nullptr;
  QPushButton* adopt_ = nullptr;
  QPlainTextEdit* events_ = nullptr;
};

}  // namespace zeltaro::app::ui
