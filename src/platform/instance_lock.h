// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single-instance lock: a system-wide lock taken by name and held for the life of the
// process. On Linux it is an flock() on a file in the user's runtime folder, so the kernel
// frees it when the process ends, however it ends.

#include <string>
#include <string_view>

namespace zeltaro::platform {

class InstanceLock {
 public:
  enum class Result {
    Acquired,  // this process holds the lock now
    Held,      // another process holds it
    // The lock cannot be taken at all (no usable runtime folder, ...): nothing says that
    // another instance runs, so the caller goes on without it.
    Unavailable,
  };
  virtual ~InstanceLock() = default;
  virtual Result acquire(std::string_view name) = 0;
  virtual void release() = 0;
  // After Held: the process id of the holder, 0 when it cannot be told.
  virtual long holder() const { return 0; }
};

// The folder that holds the lock files: $XDG_RUNTIME_DIR when it is an absolute path to a
// writable folder, else a folder "zeltaro-<uid>" under /tmp that only this user can enter
// (created on demand; refused when it is a link or belongs to someone else). Empty when
// neither can be had.
std::string runtimeFolder();

// The file name for a lock name: "%" and "/" percent-escaped, so that any lock name, a path
// included, is one distinct file name; a name too long for the file system is shortened to
// a prefix and a 64-bit hash of the whole.
std::string lockFileName(std::string_view name);

class FileInstanceLock final : public InstanceLock {
 public:
  // folder: where the lock files live; empty means runtimeFolder().
  explicit FileInstanceLock(std::string folder = {});
  ~FileInstanceLock() override;
  FileInstanceLock(const FileInstanceLock&) = delete;
  FileInstanceLock& operator=(const FileInstanceLock&) = delete;

  // The holder writes its process id into the lock file, so that a second start can name it.
  Result acquire(std::string_view name) override;
  void release() override;
  long holder() const override { return holder_; }

 private:
  std::string folder_;
  int fd_ = -1;
  long holder_ = 0;
};

}  // namespace zeltaro::platform
