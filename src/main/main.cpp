// SPDX-License-Identifier: GPL-3.0-or-later
// The program entry: one run per executable file, the program's parts (gui/program.h), the
// message loop, and a clean stop on SIGTERM/SIGINT as if the main window had been closed.
// Without a display it runs as a headless station on Qt's offscreen platform.

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/command_line.h"
#include "app/main_model.h"
#include "app/page_trial.h"
#include "app/settings_location.h"
#include "gui/program.h"
#include "gui/station.h"
#include "platform/instance_lock.h"
#include "platform/qt_http_client.h"
#include "platform/qt_message_box.h"
#include "platform/qt_message_pump.h"
#include "platform/stop_request.h"
#include "text/codec.h"

namespace {

using namespace zeltaro;

constexpr const char* kTitle = "ZELTARO";
// Every line the program writes to standard error starts with this and ": ".
constexpr const char* kStderrName = "zeltaro";

void showFatal(const char* what) {
  platform::QtMessageBox().show(platform::MessageBox::Kind::Error, kTitle, what);
}

// An exception out of an event handler must not unwind through Qt: it is shown here and
// ends the message loop, as one escaping the loop would.
class Application final : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* e) override {
    try {
      return QApplication::notify(receiver, e);
    } catch (const std::exception& ex) {
      showFatal(ex.what());
    } catch (...) {
      showFatal("unknown exception");
    }
    exit(0);
    return false;
  }
};

// The running file's own path with links resolved, so that every way of reaching one file
// names one lock, while a copy elsewhere names another.
std::string executablePath(const char* argv0) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) p = std::filesystem::weakly_canonical(std::filesystem::absolute(argv0, ec), ec);
  return p.string();
}

// CP932, as the rest of the program sees texts; a path CP932 cannot hold keeps its own bytes,
// so that two such paths still name two locks.
std::string toCp932(const std::string& utf8) {
  std::string cp = text::cp932FromUtf8(utf8);
  return text::utf8FromCp932(cp) == utf8 ? cp : utf8;
}

// SIGTERM and SIGINT only raise the stop flag (which ends any wait on a peer at once) and
// write a byte; the loop reads it and closes the main window.
int signalFds[2] = {-1, -1};

void onSignal(int) {
  const int saved = errno;
  platform::requestStop();
  const char b = 1;
  [[maybe_unused]] const ssize_t n = write(signalFds[1], &b, 1);
  errno = saved;
}

bool installSignalHandlers() {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalFds) != 0)
    return false;
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  return sigaction(SIGTERM, &sa, nullptr) == 0 && sigaction(SIGINT, &sa, nullptr) == 0;
}

// Whether Qt has been told which platform to use, on the command line or in the environment.
bool platformChosen(int argc, char** argv) {
  const char* env = std::getenv("QT_QPA_PLATFORM");
  if (env != nullptr && *env != '\0') return true;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (a[0] == '-' && a[1] == '-') ++a;  // Qt takes --platform as well
    if (std::strcmp(a, "-platform") == 0) return true;
  }
  return false;
}

bool hasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* v = std::getenv(name);
    if (v != nullptr && *v != '\0') return true;
  }
  return false;
}

// Without a display and without a chosen platform, Qt would abort trying to reach an X server:
// run headless instead, reached through the console.
void fallBackToOffscreen(int argc, char** argv) {
  if (hasDisplay() || platformChosen(argc, argv)) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::fprintf(stderr, "%s: no display (DISPLAY and WAYLAND_DISPLAY unset): running headless\n",
               kStderrName);
}

// Qt warns at every start when XDG_RUNTIME_DIR is missing (a service account, a cron or ssh
// start) and then uses a folder of its own in /tmp; a private folder named up front does the
// same without the warning.
void provideRuntimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg != nullptr && *xdg != '\0') return;
  const std::string dir = "/tmp/zeltaro-runtime-" + std::to_string(getuid());
  mkdir(dir.c_str(), 0700);
  struct stat st {};
  if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return;
  if ((st.st_mode & 0777) != 0700 && chmod(dir.c_str(), 0700) != 0) return;
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

// Qt's own messages (a missing plugin, a font) get the program's prefix like every other line
// on standard error, one line each.
void qtMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  QString line = message;
  line.replace(QLatin1Char('\n'), QLatin1Char(' '));
  std::fprintf(stderr, "%s: %s\n", kStderrName, line.toLocal8Bit().constData());
}

bool isHeadless() {
  const QString p = QGuiApplication::platformName();
  return p == "offscreen" || p == "minimal";
}

// "--try-page" and "--guess-template": the page tried with the settings, the answer printed;
// no lock, no console, no window, and the settings file is only read.
int runPageTrial(const app::PageTrialCommand& command, const std::string& exe, int argc,
                 char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  provideRuntimeFolder();
  QApplication qapp(argc, argv);
  app::Station station(toCp932(std::filesystem::path(exe).parent_path().string()));
  platform::QtHttpClient http;
  platform::QtMessagePump pump;
  const app::PageTrialOutcome o =
      app::runPageTrial(command, app::settingsLocationForThisRun(exe), station.model(), http, pump,
                        &station.firstQso());
  std::fputs(o.out.c_str(), stdout);
  std::fflush(stdout);
  std::fputs(o.err.c_str(), stderr);
  return o.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(qtMessage);
  // --help, --version and unknown options are answered before anything starts.
  if (const auto answer = app::immediateAnswer(std::vector<std::string>(argv, argv + argc))) {
    std::fputs(answer->text.c_str(), answer->toStderr ? stderr : stdout);
    return answer->exitCode;
  }
  const std::string exe = executablePath(argc > 0 ? argv[0] : "zeltaro");
  {
    std::string wrong;
    const auto trial = app::pageTrialCommand(std::vector<std::string>(argv, argv + argc), &wrong);
    if (!wrong.empty()) {
      std::fprintf(stderr, "%s: %s (zeltaro --help lists the options)\n", kStderrName,
                   wrong.c_str());
      return 2;
    }
    if (trial) {
      try {
        return runPageTrial(*trial, exe, argc, argv);
      } catch (const std::exception& ex) {
        std::fprintf(stderr, "%s: %s\n", kStderrName, ex.what());
        return 2;
      }
    }
  }
  platform::FileInstanceLock lock;
  switch (lock.acquire(app::instanceLockName(toCp932(exe)))) {
    case platform::InstanceLock::Result::Held:
      if (lock.holder() > 0)
        std::fprintf(stderr, "%s: another copy runs from this folder (process %ld): not started\n",
                     kStderrName, lock.holder());
      else
        std::fprintf(stderr, "%s: another copy runs from this folder: not started\n", kStderrName);
      return 1;
    case platform::InstanceLock::Result::Unavailable:
      std::fprintf(stderr, "%s: single-instance lock unavailable, running without it\n",
                   kStderrName);
      break;
    case platform::InstanceLock::Result::Acquired:
      break;
  }
  // Installed before the windows exist: a signal during start-up waits in the socket until
  // the loop runs and then closes the window like any other.
  if (!installSignalHandlers()) std::perror("zeltaro: signal handlers");

  fallBackToOffscreen(argc, argv);
  provideRuntimeFolder();

  try {
    Application qapp(argc, argv);  // takes Qt's own options (-platform ...) out of argv
    QCoreApplication::setApplicationName(kTitle);

    std::vector<std::string> args;
    args.push_back(toCp932(exe));
    for (int i = 1; i < argc; ++i) args.push_back(text::cp932FromUtf8(argv[i]));

    gui::Program program(toCp932(std::filesystem::path(exe).parent_path().string()),
                         app::settingsLocationForThisRun(exe), args);
    app::MainModel& model = program.model();
    app::ui::MainWindow& mainWindow = program.mainWindow();
    // Nobody reaches a headless station without its console: a console that cannot listen
    // ends the run. With a display the error box has said so and the window works on.
    if (isHeadless() && model.consolePort != 0 && !program.console().server().isListening()) {
      std::fprintf(stderr,
                   "%s: headless and the console cannot listen on port %u: nothing could reach "
                   "this station, stopping\n",
                   kStderrName, static_cast<unsigned>(model.consolePort));
      lock.release();
      return 2;
    }
    program.openOtherWindows();
    QObject::connect(&mainWindow, &app::ui::MainWindow::closed, &qapp, &QCoreApplication::quit);

    QSocketNotifier signalNotifier(signalFds[0], QSocketNotifier::Read);
    // A check that runs lets the loop run, so the signal may be seen in the middle of it. The
    // stop flag ends its fetch and its processing at once; the window closes when the check
    // has put what it found into the log, so that the save holds it.
    QTimer closeWhenAtRest;
    closeWhenAtRest.setInterval(20);
    QElapsedTimer sinceSignal;
    QObject::connect(&closeWhenAtRest, &QTimer::timeout, &mainWindow, [&] {
      if (!model.atRest() && sinceSignal.elapsed() < 5000) return;
      closeWhenAtRest.stop();
      mainWindow.close();
    });
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &mainWindow, [&] {
      char buf[64];
      while (read(signalFds[0], buf, sizeof buf) > 0) {
      }
      if (!sinceSignal.isValid()) sinceSignal.start();
      closeWhenAtRest.start();
    });

    mainWindow.show();
    qapp.exec();
  } catch (const std::exception& ex) {
    showFatal(ex.what());
  } catch (...) {
    showFatal("unknown exception");
  }
  lock.release();
  return 0;
}
