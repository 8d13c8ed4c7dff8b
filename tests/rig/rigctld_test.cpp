// SPDX-License-Identifier: GPL-3.0-or-later
// Tuning a rig shared through a real rigctld (Hamlib's dummy rig) on loopback, read back with
// rigctl as any other program sharing the rig would.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <vector>

#include "rig/rig_control.h"
#include "rig/rigctld_client.h"
#include "rig/rigctld_protocol.h"
#include "rig/termios_serial_device.h"
#include "support/event_lines.h"
#include "support/peak_memory.h"
#include "support/peer_process.h"
#include "support/real_program.h"
#include "support/wait.h"

namespace zeltaro::rig {
namespace {

// rigctld -m 1 (the dummy rig) listening on 127.0.0.1: on a port the kernel picks (-t 0), read
// back from the running daemon, or on a given one (a restart where the client looks for it).
class Rigctld {
 public:
  explicit Rigctld(quint16 port = 0) {
    proc_.start("rigctld", {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
    proc_.waitForStarted(5000);
    zeltaro::testing::waitUntil([&] {
      if (proc_.state() != QProcess::Running) return true;
      const std::vector<quint16> ports = zeltaro::testing::listeningPorts(proc_.processId());
      if (!ports.empty()) port_ = ports.front();
      return port_ != 0;
    });
  }
  ~Rigctld() { stop(); }
  bool listening() const { return port_ != 0; }
  quint16 port() const { return port_; }
  void stop() {
    if (proc_.state() == QProcess::NotRunning) return;
    proc_.terminate();
    if (!proc_.waitForFinished(5000)) proc_.kill();
    proc_.waitForFinished(2000);
  }
  // What rigctl, another program sharing the rig, reads back: the frequency and the mode
  // (the dummy rig's passband after "normal" depends on the Hamlib version, so it is left out).
  std::string frequencyAndMode() {
    const std::string out = read({"f", "m"});
    std::size_t end = out.find('\n');
    if (end != std::string::npos) end = out.find('\n', end + 1);
    return end == std::string::npos ? out : out.substr(0, end + 1);
  }
  std::string read(const QStringList& commands) {
    QProcess rigctl;
    rigctl.start("rigctl",
                 QStringList{"-m", "2", "-r", "127.0.0.1:" + QString::number(port_)} + commands);
    rigctl.waitForFinished(10000);
    return rigctl.readAllStandardOutput().toStdString();
  }

 private:
  quint16 port_ = 0;
  QProcess proc_;
};

struct Fixture {
  explicit Fixture(quint16 port, RigctldClient::Limits limits = {}) : client(limits) {
    rig.Use = true;
    rig.Maker = 5;
    rig.RigctldPort = port;
  }
  settings::RigDirectSettings rig;
  settings::TarvopcSettings companion;
  TermiosSerialDevice serial;
  RigctldClient client;
  RigControl control{rig, companion, services()};
  RigServices services() {
    RigServices s;
    s.serial = &serial;
    s.rigctld = &client;
    return s;
  }
};

TEST(Rigctld, TuneIsWhatOtherProgramsReadBack) {
  Rigctld daemon;
  ASSERT_TRUE(daemon.listening());
  const quint16 port = daemon.port();
  // Limits well above the program's, so that a loaded machine does not turn a slow answer into
  // a failed tune; the bounded waits have tests of their own.
  Fixture f(port, {std::chrono::milliseconds(5000), std::chrono::milliseconds(5000)});
  struct Case {
    const char* freq;
    const char* mode;
    std::string readBack;
  };
  const Case cases[] = {
      {"7.00350", "SSB", "7003500\nLSB\n"},
      {"14.07400", "FT8", "14074000\nPKTUSB\n"},
      {"7.01000", "CW", "7010000\nCW\n"},
      // A mode Hamlib has no name for leaves the mode as it was.
      {"3.53000", "XYZ", "3530000\nCW\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    f.control.tune(c.freq, c.mode);
    EXPECT_EQ(daemon.frequencyAndMode(), c.readBack);
  }
  // The daemon restarted between two tunes, on the port the client knows: the next tune
  // connects again by itself.
  daemon.stop();
  Rigctld again(port);
  ASSERT_TRUE(again.listening());
  EXPECT_TRUE(f.client.run("127.0.0.1", port, rigctldTuneCommands("21.07400", "USB")))
      << f.client.why();
  EXPECT_EQ(again.frequencyAndMode(), "21074000\nUSB\n");
}

TEST(Rigctld, StoppedDaemonFailsWithinTheWaitAndIsReportedOnce) {
  auto daemon = std::make_unique<Rigctld>();
  ASSERT_TRUE(daemon->listening());
  const quint16 port = daemon->port();
  Fixture f(port);
  f.control.tune("7.00350", "SSB");
  daemon.reset();
  ::testing::internal::CaptureStderr();
  QElapsedTimer t;
  t.start();
  f.control.tune("7.01000", "CW");
  f.control.tune("7.02000", "CW");
  const qint64 ms = t.elapsed();
  EXPECT_EQ(zeltaro::testing::withStampsMarked(::testing::internal::GetCapturedStderr()),
            "zeltaro: <stamp> rigctld at 127.0.0.1:" + std::to_string(port) +
                ": cannot connect: Connection refused\n");
  // Bounded by the connect and reply waits (2 × 1.5 s); the margin is for a loaded machine.
  EXPECT_LT(ms, 10000);
}

TEST(Rigctld, SilentPeerCostsOnlyTheReplyWait) {
  QTcpServer silent;  // accepts, never answers
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
  RigctldClient client({std::chrono::milliseconds(300), std::chrono::milliseconds(300)});
  QElapsedTimer t;
  t.start();
  EXPECT_FALSE(client.run("127.0.0.1", silent.serverPort(), {"F 7003500\n"}));
  EXPECT_LT(t.elapsed(), 3000);
  EXPECT_EQ(client.why(), "no reply within the wait");
}

// Daemons that answer a tune without end, fast or slow: the tune ends within its wait having
// taken at most one reply's bytes, and the same client tunes a sound daemon right after.
TEST(Rigctld, FloodingDaemonCostsOnlyTheWaitAndOneReply) {
  struct Row {
    QStringList mode;
    const char* why;
  } rows[] = {
      {{"rigctld-flood-bytes"}, "a reply longer than 64 KiB"},
      {{"rigctld-flood-lines"}, "a reply longer than 64 KiB"},
      {{"rigctld-drip-lines", "0.02"}, "no reply within the wait"},
  };
  RigctldClient client;  // the program's own waits
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode.join(' ').toStdString());
    zeltaro::testing::PeerProcess peer(
        zeltaro::testing::systemPython(),
        QStringList{zeltaro::testing::testScript("support/hostile_peer.py")} + r.mode);
    ASSERT_TRUE(peer.ok()) << peer.error().toStdString();
    zeltaro::testing::resetPeakMemory();
    const long before = zeltaro::testing::peakMemoryKiB();
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(client.run("127.0.0.1", peer.port(), rigctldTuneCommands("7.00350", "CW")));
    // A hang guard: the exchange's wait is 1 s.
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_EQ(client.why(), r.why);
    EXPECT_LT(zeltaro::testing::peakMemoryKiB() - before, 16 * 1024);
  }
  Rigctld daemon;
  ASSERT_TRUE(daemon.listening());
  EXPECT_TRUE(client.run("127.0.0.1", daemon.port(), rigctldTuneCommands("14.02500", "CW")))
      << client.why();
  EXPECT_EQ(daemon.frequencyAndMode(), "14025000\nCW\n");
}

TEST(RigctldProtocol, CommandsAndReplies) {
  EXPECT_EQ(rigctldTuneCommands("7.00350", "SSB"),
            (std::vector<std::string>{"M LSB 0\n", "F 7003500\n"}));
  EXPECT_EQ(rigctldTuneCommands("14.02500", "SSB2"),
            (std::vector<std::string>{"M USB 0\n", "F 14025000\n"}));
  EXPECT_EQ(rigctldTuneCommands("1295.00000", "FMN"),
            (std::vector<std::string>{"M FM 0\n", "F 1295000000\n"}));
  EXPECT_EQ(rigctldTuneCommands("abc", ""), std::vector<std::string>{});
  EXPECT_EQ(rigctldTuneCommands("7.00350", "cw"), std::vector<std::string>{"F 7003500\n"});

  EXPECT_EQ(parseRprt("RPRT 0\n"), 0);
  EXPECT_EQ(parseRprt("RPRT -11\n"), -11);
  EXPECT_EQ(parseRprt("7003500\n"), std::nullopt);
  EXPECT_EQ(parseRprt("RPRT x\n"), std::nullopt);
}

}  // namespace
}  // namespace zeltaro::rig
