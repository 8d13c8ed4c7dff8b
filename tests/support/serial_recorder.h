// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A serial device that writes down what the rig link asks of it, a line each: "open <path>
// <baud>/<stop bits>" and "close" (only when it was open). With a device to pass through (the
// real port on a pty) every call goes on to it; without one the port opens at once and the bytes
// go nowhere, for tests of when the link opens and closes rather than of what it sends.

#include <chrono>
#include <string>

#include "rig/serial_device.h"

namespace zeltaro::testing {

class RecordingSerialDevice final : public rig::SerialDevice {
 public:
  explicit RecordingSerialDevice(rig::SerialDevice* through = nullptr) : through_(through) {}

  rig::OpenResult open(const std::string& path, const rig::LineSettings& line) override {
    log += "open " + path + " " + std::to_string(line.baud) + "/" +
           std::to_string(line.stopBits) + "\n";
    if (through_ != nullptr) return through_->open(path, line);
    open_ = true;
    return rig::OpenResult::Ok;
  }
  void close() override {
    if (isOpen()) log += "close\n";
    if (through_ != nullptr) through_->close();
    open_ = false;
  }
  bool isOpen() const override { return through_ != nullptr ? through_->isOpen() : open_; }
  void discardInput() override {
    if (through_ != nullptr) through_->discardInput();
  }
  rig::WriteResult writeByte(unsigned char b, std::chrono::milliseconds limit) override {
    return through_ != nullptr ? through_->writeByte(b, limit) : rig::WriteResult::Ok;
  }

  std::string log;

 private:
  rig::SerialDevice* through_;
  bool open_ = false;
};

}  // namespace zeltaro::testing
