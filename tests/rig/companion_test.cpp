// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's datagrams on a real UDP socket on loopback, byte for byte.

#include <gtest/gtest.h>

#include <QUdpSocket>

#include "rig/rig_control.h"
#include "rig/termios_serial_device.h"
#include "rig/udp_datagram_sender.h"
#include "text/codec.h"

namespace zeltaro::rig {
namespace {

using text::sj;

// The companion: a socket on a free loopback port.
class Companion {
 public:
  Companion() { socket_.bind(QHostAddress::LocalHost, 0); }
  std::string port() const { return std::to_string(socket_.localPort()); }
  // The next datagram, or "(none)" after two seconds.
  std::string next() {
    if (!socket_.hasPendingDatagrams() && !socket_.waitForReadyRead(2000)) return "(none)";
    QByteArray d(static_cast<qsizetype>(socket_.pendingDatagramSize()), '\0');
    socket_.readDatagram(d.data(), d.size());
    return d.toStdString();
  }

 private:
  QUdpSocket socket_;
};

struct Fixture {
  explicit Fixture(const Companion& c) { companion.PORT = c.port(); }
  settings::RigDirectSettings rig;
  settings::TarvopcSettings companion;
  TermiosSerialDevice serial;
  UdpDatagramSender udp;
  RigControl control{rig, companion, services()};
  RigServices services() {
    RigServices s;
    s.serial = &serial;
    s.udp = &udp;
    return s;
  }
};

using namespace std::string_literals;

TEST(Companion, CommandTextAndOneNul) {
  Companion peer;
  Fixture f(peer);
  f.control.sendToCompanion("CLR \r");
  EXPECT_EQ(peer.next(), "CLR \r\0"s);
  const std::string longest(254, 'x');
  f.control.sendToCompanion(longest);
  EXPECT_EQ(peer.next(), longest + '\0');
  f.control.sendToCompanion(std::string(255, 'y'));  // too long: nothing
  f.control.sendToCompanion("end");
  EXPECT_EQ(peer.next(), "end\0"s);
}

TEST(Companion, IcomCommandsThroughTheCompanion) {
  Companion peer;
  Fixture f(peer);
  f.rig.Use = true;
  f.rig.RigTarvopc = true;
  f.control.tune("7.00350", "CW");
  EXPECT_EQ(peer.next(), "ICOM_MODE_FEFE6E500603FD\r\0"s);
  EXPECT_EQ(peer.next(), "ICOM_FREQ_FEFE6E50050035000700FD\r\0"s);
}

TEST(Companion, NoAddressOrAPortThatReadsAsZeroSendsNothing) {
  Companion peer;
  struct Case {
    const char* ip;
    std::string port;
  };
  const Case cases[] = {{"127.0.0.1", "0"},
                        {"127.0.0.1", "abc"},
                        {"127.0.0.1", ""},
                        {"127.0.0.1", "70000"},
                        {"", peer.port()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.ip) + ":" + c.port);
    Fixture f(peer);
    f.rig.Use = true;
    f.rig.RigTarvopc = true;
    f.companion.IP = c.ip;
    f.companion.PORT = c.port;
    f.control.sendToCompanion("CLR \r");
    f.control.tune("7.00350", "CW");
    // Leading digits are the port: "12345abc" is port 12345.
    f.companion.IP = "127.0.0.1";
    f.companion.PORT = peer.port() + "abc";
    f.control.sendToCompanion("marker");
    EXPECT_EQ(peer.next(), "marker\0"s);
  }
}

TEST(Companion, SpotForwardedInOrderWithCleanedFields) {
  struct Case {
    const char* name;
    bool qth, code, call;
    SpotForCompanion spot;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"grid code is sent empty, before the call",
       false,
       true,
       true,
       {"STN1", "PM95", "", "1___", ""},
       {"CODE \r\0"s, "CALL STN1\r\0"s, "\r\0"s}},
      {"all three, Japanese QTH and a numeric code",
       true,
       true,
       true,
       {"STN2", "100110", sj("東京都千代田区"), "_2__", "RMK1 " + sj("移動")},
       {"QTH " + sj("東京都千代田区") + "\r" + '\0', "CODE 100110\r\0"s, "CALL STN2\r\0"s,
        "RMK1 " + sj("移動") + "\r" + '\0'}},
      {"QTH in Latin letters or without a place word is sent empty",
       true,
       false,
       false,
       {"STN3", "", "Tokyo", "1___", "RMK2 x"},
       {"QTH \r\0"s, "RMK2 x\r\0"s}},
      {"Michi-no-eki code through the first flagged list's table",
       false,
       true,
       false,
       {"STN4", sj("北海道-01"), "", "_23_", ""},
       {"CODE 2:0101\r\0"s, "\r\0"s}},
      {"Michi-no-eki code the table does not know is sent empty",
       false,
       true,
       false,
       {"STN5", sj("千葉県-99"), "", "__3_", ""},
       {"CODE \r\0"s, "\r\0"s}},
      {"Michi-no-eki code with no flagged list goes unchanged",
       false,
       true,
       false,
       {"STN6", sj("千葉県-99"), "", "____", ""},
       {"CODE " + sj("千葉県-99") + "\r" + '\0', "\r\0"s}},
  };
  const MichiNoEkiLookup lookup = [](int list,
                                     std::string_view code) -> std::optional<std::string> {
    if (code == sj("北海道-01")) return std::to_string(list) + ":0101";
    return std::nullopt;
  };
  Companion peer;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f(peer);
    f.companion.QTH = c.qth;
    f.companion.CODE = c.code;
    f.companion.CALL = c.call;
    f.control.forwardSpotToCompanion(c.spot, lookup);
    f.control.sendToCompanion("end");
    std::vector<std::string> got;
    for (std::string d = peer.next(); d != "end\0"s && d != "(none)"; d = peer.next())
      got.push_back(d);
    EXPECT_EQ(got, c.expected);
  }
}

TEST(Companion, NothingForwardedWithAllOptionsOff) {
  Companion peer;
  Fixture f(peer);
  f.control.forwardSpotToCompanion({"STN1", "100110", "", "1___", "RMK1 a"}, {});
  f.control.sendToCompanion("end");
  EXPECT_EQ(peer.next(), "end\0"s);
}

}  // namespace
}  // namespace zeltaro::rig
