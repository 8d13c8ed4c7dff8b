// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/page_test_window.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "app/main_model.h"
#include "app/page_trial.h"
#include "binder/qt_text.h"
#include "gui/window_role.h"
#include "platform/event_log.h"
#include "platform/qt_message_pump.h"
#include "spots/template_guess.h"
#include "text/codec.h"

namespace zeltaro::app::ui {

using binder::cp;
using binder::qs;

namespace {

QString u(const std::string& utf8) { return QString::fromStdString(utf8); }

QString ms(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);  // a point whatever the locale
  return QString::fromLatin1(buf);
}

template <typename W>
W* named(W* w, const char* objectName, const char* accessible, const char* tip = nullptr) {
  w->setObjectName(QString::fromLatin1(objectName));
  w->setAccessibleName(QString::fromUtf8(accessible));
  if (tip) {
    w->setToolTip(QString::fromUtf8(tip));
    w->setAccessibleDescription(QString::fromUtf8(tip));
  }
  return w;
}

constexpr int kPasted = 4, kFile = 5;  // source choices after URL 1 ... 3

}  // namespace

PageTestWindow::PageTestWindow(MainModel& model, platform::HttpClient& http,
                               FirstQsoChecker* firstQso, std::function<void()> afterAdopt,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(model),
      http_(http),
      firstQso_(firstQso),
      afterAdopt_(std::move(afterAdopt)) {
  announceWidgetWindowsAsWindows();
  setWindowTitle(QString::fromUtf8("Zeltaro  ページ試験"));
  setObjectName(QStringLiteral("PageTestWindow"));
  build();
  rerun_.setSingleShot(true);
  rerun_.setInterval(kRerunDelayMs);
  rerun_.setTimerType(Qt::PreciseTimer);
  connect(&rerun_, &QTimer::timeout, this, [this] { runTest(); });

  for (const std::string& line : platform::eventLog().lines()) appendEvent(u(line));
  // An event may be recorded while the window is gone or in another thread: it is shown from
  // the window's own thread, and not at all once the window is closed for good.
  listenHandle_ = platform::eventLog().listen([this](const std::string& line) {
    QMetaObject::invokeMethod(
        this, [this, l = u(line)] { appendEvent(l); }, Qt::QueuedConnection);
  });
  resize(900, 640);
}

PageTestWindow::~PageTestWindow() { platform::eventLog().unlisten(listenHandle_); }

void PageTestWindow::build() {
  auto* top = new QVBoxLayout(this);

  auto* sourceRow = new QHBoxLayout;
  auto* sourceLabel = new QLabel(QString::fromUtf8("ページ"), this);
  source_ = named(new QComboBox(this), "cmbSource", "試験するページ",
                  "URL1〜3 (今取得します)、貼り付けた文字列、ファイルから選びます");
  source_->addItems({QStringLiteral("URL1"), QStringLiteral("URL2"), QStringLiteral("URL3"),
                     QString::fromUtf8("貼り付け"), QString::fromUtf8("ファイル")});
  sourceLabel->setBuddy(source_);
  reload_ = named(new QPushButton(QString::fromUtf8("取得"), this), "btnReload", "取得",
                  "ページを今取得し直して試験します");
  chooseFile_ = named(new QPushButton(QString::fromUtf8("ファイル..."), this), "btnFile",
                      "ファイルを選ぶ", "試験するページのファイルを選びます");
  summary_ = named(new QLabel(this), "lblSummary", "結果の概要");
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  sourceRow->addWidget(sourceLabel);
  sourceRow->addWidget(source_);
  sourceRow->addWidget(reload_);
  sourceRow->addWidget(chooseFile_);
  sourceRow->addWidget(summary_, 1);
  top->addLayout(sourceRow);

  pasted_ = named(new QPlainTextEdit(this), "memoPasted", "貼り付けたページ",
                  "ページのソースをここに貼り付けます");
  pasted_->setLineWrapMode(QPlainTextEdit::NoWrap);
  pasted_->setMaximumHeight(90);
  pasted_->hide();
  top->addWidget(pasted_);

  auto* split = new QSplitter(Qt::Vertical, this);
  table_ = named(new QTableWidget(this), "tblRecords", "切り出したレコード",
                 "先頭500件: 使われている札ごとの値、通知行、当たるリスト、初回QSOの答え");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  split->addWidget(table_);
  problems_ =
      named(new QPlainTextEdit(this), "memoProblems", "問題点", "切り出しがうまくいかなかった所");
  problems_->setReadOnly(true);
  split->addWidget(problems_);

  auto* guessBox = new QGroupBox(QString::fromUtf8("テンプレートの推定"), this);
  guessBox->setAccessibleName(guessBox->title());
  auto* g = new QGridLayout(guessBox);
  auto* callLabel = new QLabel(QString::fromUtf8("例のコール"), guessBox);
  exampleCall_ = named(new QLineEdit(guessBox), "edtExampleCall", "例のコール",
                       "ページに載っているコールサインを一つ入力します");
  callLabel->setBuddy(exampleCall_);
  auto* freqLabel = new QLabel(QString::fromUtf8("その周波数"), guessBox);
  exampleFreq_ = named(new QLineEdit(guessBox), "edtExampleFreq", "例の周波数",
                       "そのスポットの周波数をページの書き方のまま (省略可)");
  freqLabel->setBuddy(exampleFreq_);
  guess_ = named(new QPushButton(QString::fromUtf8("推定"), guessBox), "btnGuess", "推定",
                 "例からページの繰り返し単位を探し、区切り語とテンプレートを提案します");
  adopt_ = named(new QPushButton(QString::fromUtf8("採用"), guessBox), "btnAdopt", "採用",
                 "提案の区切り語とテンプレートをメイン画面の欄に入れます");
  adopt_->setEnabled(false);
  proposalText_ =
      named(new QPlainTextEdit(guessBox), "memoProposal", "提案", "推定した区切り語とテンプレート");
  proposalText_->setReadOnly(true);
  proposalText_->setLineWrapMode(QPlainTextEdit::NoWrap);
  g->addWidget(callLabel, 0, 0);
  g->addWidget(exampleCall_, 0, 1);
  g->addWidget(freqLabel, 0, 2);
  g->addWidget(exampleFreq_, 0, 3);
  g->addWidget(guess_, 0, 4);
  g->addWidget(adopt_, 0, 5);
  g->addWidget(proposalText_, 1, 0, 1, 6);
  split->addWidget(guessBox);

  events_ = named(new QPlainTextEdit(this), "memoEvents", "イベントログ",
                  "取得やメール、ブリッジ、リグ、HAMLOGファイルの失敗 (最新200件)");
  events_->setReadOnly(true);
  events_->setLineWrapMode(QPlainTextEdit::NoWrap);
  split->addWidget(events_);
  split->setStretchFactor(0, 4);
  split->setSizes({330, 70, 150, 90});
  top->addWidget(split, 1);

  connect(source_, &QComboBox::activated, this, [this](int i) {
    if (i < 3) {
      useUrl(i + 1);
    } else if (i == kPasted - 1) {
      usePastedText(pasted_->toPlainText());
    } else if (file_.isEmpty()) {
      chooseFile_->click();
    } else {
      useFile(file_);
    }
  });
  connect(reload_, &QPushButton::clicked, this, [this] { reload(); });
  connect(chooseFile_, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, QString::fromUtf8("試験するページ"));
    if (!path.isEmpty()) useFile(path);
  });
  connect(pasted_, &QPlainTextEdit::textChanged, this, [this] {
    if (source_->currentIndex() != kPasted - 1) return;
    page_ = cp(pasted_->toPlainText());
    havePage_ = true;
    pageError_.clear();
    rerun_.start();
  });
  connect(guess_, &QPushButton::clicked, this,
          [this] { guess(exampleCall_->text(), exampleFreq_->text()); });
  connect(adopt_, &QPushButton::clicked, this, [this] { adoptProposal(); });
}

void PageTestWindow::appendEvent(const QString& line) {
  events_->appendPlainText(line);
  if (events_->blockCount() > static_cast<int>(platform::EventLog::kKept)) {
    QTextCursor c(events_->document());
    c.movePosition(QTextCursor::Start);
    c.select(QTextCursor::BlockUnderCursor);
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    c.removeSelectedText();
  }
}

void PageTestWindow::showAndRun() {
  QWidget::show();
  raise();
  activateWindow();
  reload();
}

void PageTestWindow::settingsEdited() {
  proposal_.reset();
  rerun_.start();
}

void PageTestWindow::useUrl(int n) {
  source_->setCurrentIndex(n - 1);
  pasted_->hide();
  url_ = n;
  reload();
}

void PageTestWindow::usePastedText(const QString& text) {
  source_->setCurrentIndex(kPasted - 1);
  pasted_->show();
  url_ = 0;
  if (pasted_->toPlainText() != text) pasted_->setPlainText(text);  // textChanged reruns later
  page_ = cp(text);
  havePage_ = true;
  pageError_.clear();
  fetchMs_ = 0;
  runTest();
}

void PageTestWindow::useFile(const QString& path) {
  source_->setCurrentIndex(kFile - 1);
  pasted_->hide();
  url_ = 0;
  file_ = path;
  reload();
}

void PageTestWindow::reload() {
  rerun_.stop();
  const int choice = source_->currentIndex() + 1;
  PageBytes got;
  if (choice <= 3) {
    url_ = choice;
    const std::string& address = model_.pageChecks.edtURL[static_cast<std::size_t>(choice - 1)];
    reload_->setEnabled(false);
    summary_->setText(QString::fromUtf8("取得中…"));
    platform::QtMessagePump pump;
    got = fetchPage(address, http_, pump);
    reload_->setEnabled(true);
  } else if (choice == kPasted) {
    got.ok = true;
    got.bytes = cp(pasted_->toPlainText());
  } else {
    if (file_.isEmpty()) return;
    got = readPageFile(file_.toStdString());
  }
  havePage_ = got.ok;
  page_ = std::move(got.bytes);
  pageError_ = got.error;
  fetchMs_ = got.fetchMs;
  runTest();
}

void PageTestWindow::runTest() {
  rerun_.stop();
  if (!havePage_) {
    result_ = {};
    show(result_);
    summary_->setText(QString::fromUtf8("ページを読めません: ") + u(pageError_));
    return;
  }
  pagetest::PageTestInput in = pageTestInput(model_, url_, firstQso_);
  in.page = page_;
  if (proposal_) {
    in.sepStart = proposal_->sepStart;
    in.sepEnd = proposal_->sepEnd;
    in.templateLines = proposal_->templateLines;
  }
  result_ = pagetest::testPage(in);
  show(result_);
}

void PageTestWindow::show(const pagetest::PageTestResult& r) {
  summary_->setText(QString::fromUtf8("%1 件 (表示 %2 件)  取得 %3 ms  切り出し %4 ms%5")
                        .arg(r.recordCount)
                        .arg(r.records.size())
                        .arg(ms(fetchMs_), ms(r.cutMs),
                             proposal_ ? QString::fromUtf8("  [提案で試験中]") : QString()));
  QStringList problems;
  for (const std::string& p : r.problems) problems << u(p);
  problems_->setPlainText(problems.join('\n'));

  QStringList headers{QStringLiteral("No.")};
  for (const int k : r.slotsUsed) headers << qs(spots::slotTag(k));
  headers << QString::fromUtf8("通知行") << QString::fromUtf8("リスト")
          << QString::fromUtf8("初回QSO 1") << QString::fromUtf8("初回QSO 2")
          << QString::fromUtf8("初回QSO 3");
  table_->clear();
  table_->setColumnCount(static_cast<int>(headers.size()));
  table_->setHorizontalHeaderLabels(headers);
  table_->setRowCount(static_cast<int>(r.records.size()));
  const auto firstQsoText = [](const std::optional<bool>& a) {
    return !a ? QString() : *a ? QString::fromUtf8("初回") : QString::fromUtf8("済");
  };
  for (int row = 0; row < static_cast<int>(r.records.size()); ++row) {
    const pagetest::TestedRecord& rec = r.records[static_cast<std::size_t>(row)];
    int col = 0;
    const auto put = [&](const QString& s) {
      table_->setItem(row, col++, new QTableWidgetItem(s));
    };
    put(QString::number(rec.number));
    for (const int k : r.slotsUsed) put(qs(rec.values[static_cast<std::size_t>(k)]));
    put(qs(rec.line));
    QStringList lists;
    for (int l = 1; l <= 3; ++l)
      if (rec.flagged[static_cast<std::size_t>(l - 1)]) lists << QString::number(l);
    put(lists.join(' '));
    for (std::size_t l = 0; l < 3; ++l) put(firstQsoText(rec.firstQso[l]));
  }
  table_->resizeColumnsToContents();
}

bool PageTestWindow::guess(const QString& call, const QString& freq) {
  exampleCall_->setText(call);
  exampleFreq_->setText(freq);
  if (!havePage_) reload();
  proposal_.reset();
  adopt_->setEnabled(false);
  const spots::TemplateGuess g = spots::guessTemplate(page_, {cp(call), cp(freq)});
  QStringList text;
  if (g.found) {
    proposal_ = Proposal{g.sepStart, g.sepEnd, g.templateLines, g.notes};
    text << QString::fromUtf8("開始区切り語  ") + qs(g.sepStart)
         << QString::fromUtf8("終了区切り語  ") + qs(g.sepEnd) << QString::fromUtf8("テンプレート");
    for (const std::string& l : g.templateLines) text << QStringLiteral("  ") + qs(l);
  } else {
    text << QString::fromUtf8("提案できませんでした");
  }
  for (const std::string& n : g.notes) text << u(n);
  proposalText_->setPlainText(text.join('\n'));
  adopt_->setEnabled(g.found);
  runTest();
  return proposal_.has_value();
}

void PageTestWindow::adoptProposal() {
  if (!proposal_) return;
  model_.pageChecks.edtSepStart = proposal_->sepStart;
  model_.pageChecks.edtSepEnd = proposal_->sepEnd;
  model_.pageChecks.Memo_pcre = proposal_->templateLines;
  proposal_.reset();
  adopt_->setEnabled(false);
  if (afterAdopt_) afterAdopt_();
  runTest();
}

}  // namespace zeltaro::app::ui
