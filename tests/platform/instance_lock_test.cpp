// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cstdlib>

namespace zeltaro::platform {
namespace {

using Result = InstanceLock::Result;

TEST(FileInstanceLock, OneHolderPerNameUntilReleased) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  FileInstanceLock a(folder), b(folder), other(folder);
  const std::string name = "kobunaTarvoZELTARO/home/op/zeltaro";

  EXPECT_EQ(a.acquire(name), Result::Acquired);
  EXPECT_EQ(a.acquire(name), Result::Acquired);  // asking again keeps what it holds
  EXPECT_EQ(b.acquire(name), Result::Held);
  EXPECT_EQ(other.acquire("kobunaTarvoZELTARO/home/op/copy/zeltaro"), Result::Acquired);

  a.release();
  EXPECT_EQ(b.acquire(name), Result::Acquired);
  EXPECT_EQ(a.acquire(name), Result::Held);
}

TEST(FileInstanceLock, UnusableFolderIsNotMistakenForAnotherInstance) {
  FileInstanceLock lock("/nonexistent-folder-for-zeltaro");
  EXPECT_EQ(lock.acquire("x"), Result::Unavailable);
}

TEST(LockFileName, EveryLockNameIsOneDistinctFileName) {
  struct Row {
    const char* name;
    const char* file;
  };
  const Row rows[] = {
      {"kobunaTarvoZELTAROC__Ham_ZELTARO_exe", "kobunaTarvoZELTAROC__Ham_ZELTARO_exe.lock"},
      {"kobunaTarvoZELTARO/opt/z", "kobunaTarvoZELTARO%2Fopt%2Fz.lock"},
      // Must not meet the escaped form of the name above.
      {"kobunaTarvoZELTARO%2Fopt%2Fz", "kobunaTarvoZELTARO%252Fopt%252Fz.lock"},
      {"..", "...lock"},
  };
  for (const Row& r : rows) EXPECT_EQ(lockFileName(r.name), r.file) << r.name;
}

TEST(LockFileName, LongNamesFitTheFileSystemAndStayApart) {
  const std::string base = "kobunaTarvoZELTARO" + std::string(400, 'd');
  const std::string a = lockFileName(base + "/a"), b = lockFileName(base + "/b");
  EXPECT_LE(a.size(), 255u);
  EXPECT_NE(a, b);
  EXPECT_EQ(a.substr(0, 18), "kobunaTarvoZELTARO");

  QTemporaryDir dir;
  FileInstanceLock la(dir.path().toStdString()), lb(dir.path().toStdString());
  EXPECT_EQ(la.acquire(base + "/a"), Result::Acquired);
  EXPECT_EQ(lb.acquire(base + "/b"), Result::Acquired);
}

TEST(RuntimeFolder, UsesXdgRuntimeDirOnlyWhenItIsAWritableAbsoluteFolder) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedValue = saved ? saved : "";
  const std::string fallback = "/tmp/zeltaro-" + std::to_string(getuid());
  QTemporaryDir dir;

  setenv("XDG_RUNTIME_DIR", dir.path().toUtf8().constData(), 1);
  EXPECT_EQ(runtimeFolder(), dir.path().toStdString());
  for (const char* bad : {"relative/dir", "", "/nonexistent-folder-for-zeltaro"}) {
    setenv("XDG_RUNTIME_DIR", bad, 1);
    EXPECT_EQ(runtimeFolder(), fallback) << bad;
  }
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(runtimeFolder(), fallback);

  if (saved) setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
}

}  // namespace
}  // namespace zeltaro::platform
