// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig/udp_datagram_sender.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QUdpSocket>

namespace zeltaro::rig {

struct UdpDatagramSender::Impl {
  QUdpSocket socket;
};

UdpDatagramSender::UdpDatagramSender() : impl_(std::make_unique<Impl>()) {}
UdpDatagramSender::~UdpDatagramSender() = default;

void UdpDatagramSender::send(const std::string& host, std::uint16_t port, std::string_view bytes) {
  QHostAddress address;
  if (!address.setAddress(QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())))) {
    // A host name ("localhost", a PC on the shack's network).
    const QHostInfo info = QHostInfo::fromName(QString::fromLatin1(host.c_str()));
    if (info.addresses().isEmpty()) return;
    address = info.addresses().first();
  }
  impl_->socket.writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()), address, port);
}

}  // namespace zeltaro::rig
