// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a file that someone else may change under us (HAMLOG's folder, the settings file)
// without letting it hold or bloat the program. The path is opened without blocking, so a FIFO
// or a device put in the file's place answers at once instead of waiting for a writer; the
// opened descriptor, never the path, is then judged to be a regular file, and its size is
// known before a byte is read.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace zeltaro::platform {

class RegularFile {
 public:
  enum class Status {
    Open,
    Missing,     // nothing at the path
    NotRegular,  // a folder, FIFO, device, socket (or a link, when links are refused)
    Unreadable,  // there, but it cannot be opened or read
  };

  // followLinks false: a symbolic link at the path is refused (O_NOFOLLOW).
  explicit RegularFile(const std::string& path, bool followLinks = true) {
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (followLinks ? 0 : O_NOFOLLOW);
    do fd_ = ::open(path.c_str(), flags);
    while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
      status_ = errno == ENOENT || errno == ENOTDIR ? Status::Missing
                : errno == ELOOP                    ? Status::NotRegular
                                                    : Status::Unreadable;
      return;
    }
    if (::fstat(fd_, &stat_) != 0) {
      status_ = Status::Unreadable;
    } else if (!S_ISREG(stat_.st_mode)) {
      status_ = Status::NotRegular;
    } else {
      status_ = Status::Open;
      return;
    }
    ::close(fd_);
    fd_ = -1;
  }
  ~RegularFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  Status status() const { return status_; }
  // Why a file did not open, in the words the program's messages use ("" when it did).
  const char* whyNotOpen() const {
    switch (status_) {
      case Status::Open:
        return "";
      case Status::Missing:
        return "no such file";
      case Status::NotRegular:
        return "not a regular file";
      case Status::Unreadable:
        break;
    }
    return "not readable";
  }
  bool isOpen() const { return status_ == Status::Open; }
  // What fstat said of the opened file (valid when open).
  const struct stat& info() const { return stat_; }
  std::uint64_t size() const { return static_cast<std::uint64_t>(stat_.st_size); }

  // Reads count bytes from offset into out (replacing its content). False on a read error;
  // a file that shrank meanwhile gives fewer bytes, which the caller judges.
  bool readAt(std::uint64_t offset, std::size_t count, std::string& out) const {
    out.resize(count);
    std::size_t got = 0;
    while (got < count) {
      const ssize_t n =
          ::pread(fd_, out.data() + got, count - got, static_cast<off_t>(offset + got));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        out.clear();
        return false;
      }
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return true;
  }

 private:
  int fd_ = -1;
  Status status_ = Status::Unreadable;
  struct stat stat_ {};
};

}  // namespace zeltaro::platform
