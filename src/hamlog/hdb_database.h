// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The database operations over HAMLOG's own QSO file, for a system where HAMLOG's library
// cannot be loaded: HAMLOG runs under Wine, or on a Windows PC whose folder is mounted here.
// The file is only ever read, never locked or written, so HAMLOG keeps working on it
// meanwhile. The parsed file and its indexes are kept while the file's size and modification
// time stay the same: a page of spots checked against three lists reads the log once, and a
// QSO that HAMLOG has just saved counts at the next check. Within a page (beginPage ... endPage)
// the file is looked at once, at the page's first check: a QSO saved meanwhile counts from the
// next page on.

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hamlog/hamlog_database.h"
#include "hamlog/hdb_format.h"
#include "hamlog/index_cursor.h"

namespace zeltaro::hamlog {

class HdbDatabase final : public HamlogDatabase {
 public:
  // The version of the library whose operations these are.
  static constexpr std::uint32_t kVersion = 0x50300;

  bool load(int) override { return true; }
  void release() override {}
  std::uint32_t version() override { return kVersion; }
  void setShare(int) override {}
  // Reads basePath + ".hdb", the name matched without regard to case. Not 0 when the file is
  // missing, unreadable or not a QSO file HAMLOG could have written.
  int open(std::string_view basePath) override;
  void close() override;
  int seek(std::string_view key, int index) override;
  int skip(int count, int index) override;
  int bandClass(std::string_view freqMHz) override;

  std::string_view call() const override;
  std::string_view code() const override;
  std::string_view freq() const override;
  std::string_view mode() const override;
  std::string_view remarks1() const override;
  std::string_view remarks2() const override;
  std::int32_t recordNumber() const override;

  void beginPage() override;
  void endPage() override;

  // How many times a file was read and parsed, for the tests of the cache.
  int reads() const { return reads_; }

 private:
  struct Cached {
    std::string basePath;  // as passed to open
    std::string filePath;  // the file found for it
    FileStamp stamp;
    std::shared_ptr<const HdbLog> log;  // null: the file is not a QSO file
    unsigned lookedAt = 0;              // the page in which the file was last looked at
    int pageAnswer = 1;                 // what open answered then
  };

  Cached& entryFor(std::string_view basePath);
  // open's answer for c, after a look at the file.
  int look(Cached& c, std::string_view basePath);
  const HdbRecord* current() const;

  std::vector<Cached> cache_;  // one per database opened, three at most in practice
  std::shared_ptr<const HdbLog> open_;
  IndexCursor cursor_;
  unsigned page_ = 0;  // the current page's number; 0 outside a page
  unsigned pages_ = 0;
  int reads_ = 0;
};

}  // namespace zeltaro::hamlog
