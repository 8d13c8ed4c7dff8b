// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SerialDevice over a POSIX terminal device (termios). Exclusive in two ways: TIOCEXCL, which
// refuses other opens by unprivileged programs, and an flock() lock, which programs that lock
// their port (and privileged ones that check) respect.

#include "rig/serial_device.h"

namespace zeltaro::rig {

class TermiosSerialDevice final : public SerialDevice {
 public:
  TermiosSerialDevice() = default;
  ~TermiosSerialDevice() override { close(); }
  TermiosSerialDevice(const TermiosSerialDevice&) = delete;
  TermiosSerialDevice& operator=(const TermiosSerialDevice&) = delete;

  OpenResult open(const std::string& path, const LineSettings& line) override;
  void close() override;
  bool isOpen() const override { return fd_ >= 0; }
  void discardInput() override;
  WriteResult writeByte(unsigned char byte, std::chrono::milliseconds limit) override;

 private:
  OpenResult fail(OpenResult r);
  int fd_ = -1;
};

}  // namespace zeltaro::rig
