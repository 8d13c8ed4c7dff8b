// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operations of HAMLOG's database access library that the first-QSO check uses, as one
// interface. On Windows it is the library itself; on Linux a reader of HAMLOG's own QSO file
// stands behind it (hdb_database.h). Texts are CP932 bytes.

#include <cstdint>
#include <string_view>

namespace zeltaro::hamlog {

// Index numbers of the seek and skip operations.
constexpr int kCallIndex = 16;  // the first 6 characters of the call sign
constexpr int kCodeIndex = 17;  // the code (JCC/JCG number)

// The oldest library version whose operations behave as the check relies on.
constexpr std::uint32_t kMinimumVersion = 0x50300;

class HamlogDatabase {
 public:
  virtual ~HamlogDatabase() = default;

  // Makes the library of list 1 ... 3 usable; false when it is unavailable.
  virtual bool load(int list) = 0;
  // Lets it go again; harmless when nothing is loaded.
  virtual void release() = 0;
  virtual std::uint32_t version() = 0;
  // Asks for a shared open (1) before every open.
  virtual void setShare(int share) = 0;
  // Opens the database at basePath (HAMLOG folder followed by "HAMLOG", no extension);
  // 0 when it is open.
  virtual int open(std::string_view basePath) = 0;
  virtual void close() = 0;
  // Puts the cursor on the first record of the index whose key is not below key (at most 6
  // characters); 0 when there is one.
  virtual int seek(std::string_view key, int index) = 0;
  // Moves the cursor count records forward in the index; 0 when it stands on a record.
  virtual int skip(int count, int index) = 0;
  // A band class of a frequency text in MHz; only the equality of two classes means anything.
  virtual int bandClass(std::string_view freqMHz) = 0;

  // The record under the cursor, valid after a successful seek or skip.
  virtual std::string_view call() const = 0;
  virtual std::string_view code() const = 0;
  virtual std::string_view freq() const = 0;
  virtual std::string_view mode() const = 0;
  virtual std::string_view remarks1() const = 0;
  virtual std::string_view remarks2() const = 0;
  virtual std::int32_t recordNumber() const = 0;

  // True when the database stopped answering during the current check (a library reached
  // through another process): the check's answer then means nothing and counts as no.
  virtual bool failed() const { return false; }

  // A page's checks begin and end. Between the two a database may keep for the page what it
  // found at the page's first check (the log file as it was looked at, the library loaded and
  // the log open) instead of looking again at every check; endPage lets it all go. Checks
  // outside a page look afresh every time.
  virtual void beginPage() {}
  virtual void endPage() {}
};

}  // namespace zeltaro::hamlog
