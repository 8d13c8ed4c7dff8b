// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig/termios_serial_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace zeltaro::rig {

namespace {

speed_t speedOf(int baud) {
  switch (baud) {
    case 4800:
      return B4800;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    default:
      return B9600;
  }
}

void setModemLines(int fd, int request, int lines) {
  // Not every device has modem lines (a pty has none); that is no reason to fail.
  (void)::ioctl(fd, request, &lines);
}

bool deviceGone(int err) {
  return err == EIO || err == ENXIO || err == ENODEV || err == EBADF || err == EPIPE;
}

}  // namespace

OpenResult TermiosSerialDevice::fail(OpenResult r) {
  ::close(fd_);
  fd_ = -1;
  return r;
}

OpenResult TermiosSerialDevice::open(const std::string& path, const LineSettings& line) {
  if (fd_ >= 0) return OpenResult::Ok;
  // Non-blocking, so that neither the open (carrier detect) nor a write can hang the window;
  // writes wait in poll() with their limit instead.
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return OpenResult::OpenFailed;
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) return fail(OpenResult::OpenFailed);
  if (::ioctl(fd_, TIOCEXCL) != 0) return fail(OpenResult::Set1Failed);  // not a terminal
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags < 0 || ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK) != 0)
    return fail(OpenResult::Set2Failed);
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) return fail(OpenResult::Set4Failed);
  ::cfmakeraw(&t);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  if (line.stopBits == 2) t.c_cflag |= CSTOPB;
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  const speed_t speed = speedOf(line.baud);
  if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0 ||
      ::tcsetattr(fd_, TCSANOW, &t) != 0)
    return fail(OpenResult::Set5Failed);
  // tcsetattr succeeds when any part of the change took; check the parts that matter.
  termios check{};
  if (::tcgetattr(fd_, &check) != 0 || ::cfgetospeed(&check) != speed ||
      (check.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS)) !=
          (t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS)))
    return fail(OpenResult::Set5Failed);
  ::tcflush(fd_, TCIOFLUSH);
  setModemLines(fd_, TIOCMBIS, TIOCM_DTR);
  setModemLines(fd_, TIOCMBIS, TIOCM_RTS);
  return OpenResult::Ok;
}

void TermiosSerialDevice::close() {
  if (fd_ < 0) return;
  setModemLines(fd_, TIOCMBIC, TIOCM_RTS);
  setModemLines(fd_, TIOCMBIC, TIOCM_DTR);
  ::tcflush(fd_, TCIOFLUSH);
  ::close(fd_);  // a failing close changes nothing for us
  fd_ = -1;
}

void TermiosSerialDevice::discardInput() {
  if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

WriteResult TermiosSerialDevice::writeByte(unsigned char byte, std::chrono::milliseconds limit) {
  if (fd_ < 0) return WriteResult::Failed;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const ssize_t n = ::write(fd_, &byte, 1);
    if (n == 1) return WriteResult::Ok;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN)
      return deviceGone(errno) ? WriteResult::Gone : WriteResult::Failed;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return WriteResult::Failed;
    pollfd p{fd_, POLLOUT, 0};
    const int r = ::poll(&p, 1, static_cast<int>(left.count()));
    if (r < 0 && errno != EINTR) return WriteResult::Failed;
    if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return WriteResult::Gone;
  }
}

}  // namespace zeltaro::rig
