// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial device under the rig link: opened exclusively with a fixed framing, written one
// byte at a time. One implementation per platform; tests use the real one on a pty.

#include <chrono>
#include <string>

namespace zeltaro::rig {

// 8 data bits, no parity, no flow control of any kind; speed and stop bits vary.
struct LineSettings {
  int baud = 9600;
  int stopBits = 1;
};

// Which setup step failed; each has its own message ("open", "set 1", "set 2", "set 4",
// "set 5").
enum class OpenResult { Ok, OpenFailed, Set1Failed, Set2Failed, Set4Failed, Set5Failed };

enum class WriteResult {
  Ok,
  Failed,  // not accepted within the limit, or refused
  Gone,    // the device went away (a USB adapter pulled, the radio switched off)
};

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;
  // Opens path for reading and writing, refusing a device another program holds, sets the
  // line, discards pending data and raises DTR and RTS. On failure the device stays closed.
  virtual OpenResult open(const std::string& path, const LineSettings& line) = 0;
  // Drops RTS and DTR, discards pending data, closes. Nothing when closed.
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  virtual void discardInput() = 0;
  virtual WriteResult writeByte(unsigned char byte, std::chrono::milliseconds limit) = 0;
};

}  // namespace zeltaro::rig
