// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace zeltaro::platform {
namespace {

bool isWritableFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && path[0] == '/' && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         access(path.c_str(), W_OK | X_OK) == 0;
}

// /tmp is shared by every user: a folder of our own keeps others from planting a link under
// the lock's name or holding our lock.
std::string privateTmpFolder() {
  const std::string path = "/tmp/zeltaro-" + std::to_string(getuid());
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
      (st.st_mode & 077) != 0)
    return {};
  return path;
}

std::uint64_t fnv1a(std::string_view s) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : s) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

// The process id the holder wrote: a few digits, read from the locked file (a regular file,
// opened without following links), at most 32 bytes.
long pidIn(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  char buf[32];
  const ssize_t n = pread(fd, buf, sizeof buf, 0);
  if (n <= 0) return 0;
  long pid = 0;
  const auto [end, ec] = std::from_chars(buf, buf + n, pid);
  return ec == std::errc() && end < buf + n && *end == '\n' && pid > 0 ? pid : 0;
}

}  // namespace

std::string runtimeFolder() {
  if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && isWritableFolder(xdg)) return xdg;
  return privateTmpFolder();
}

std::string lockFileName(std::string_view name) {
  std::string out;
  out.reserve(name.size() + 8);
  for (const char c : name) {
    if (c == '%')
      out += "%25";
    else if (c == '/')
      out += "%2F";
    else if (c == '\0')
      out += "%00";
    else
      out += c;
  }
  out += ".lock";
  // NAME_MAX is 255 on the usual file systems.
  constexpr std::size_t kMax = 255;
  if (out.size() > kMax) {
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(name)));
    out = out.substr(0, kMax - 1 - 16 - 5) + "~" + hash + ".lock";
  }
  return out;
}

FileInstanceLock::FileInstanceLock(std::string folder) : folder_(std::move(folder)) {}

FileInstanceLock::~FileInstanceLock() { release(); }

InstanceLock::Result FileInstanceLock::acquire(std::string_view name) {
  if (fd_ >= 0) return Result::Acquired;
  const std::string folder = folder_.empty() ? runtimeFolder() : folder_;
  if (folder.empty()) return Result::Unavailable;
  const std::string path = folder + "/" + lockFileName(name);
  // Close-on-exec: a program we start must not keep our lock alive after we end.
  const int fd =
      open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
  if (fd < 0) return Result::Unavailable;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return Result::Unavailable;
  }
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const int err = errno;
    if (err == EWOULDBLOCK) holder_ = pidIn(fd);
    close(fd);
    return err == EWOULDBLOCK ? Result::Held : Result::Unavailable;
  }
  fd_ = fd;
  const std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(fd, 0) != 0 || pwrite(fd, pid.data(), pid.size(), 0) < 0) {
    // Only the second start's message misses the number.
  }
  return Result::Acquired;
}

// The file stays: removing it would let a process that has just opened it lock a name that
// a newer process has already recreated and locked.
void FileInstanceLock::release() {
  if (fd_ < 0) return;
  close(fd_);
  fd_ = -1;
}

}  // namespace zeltaro::platform
