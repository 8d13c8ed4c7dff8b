// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The database operations of the first-QSO check over an ADIF log (adif_format.h), so that a
// watch list can ask any logger's log instead of HAMLOG's: the check's key, index order, band,
// mode, code and range conditions run unchanged over it.
//
// The log is read live. Its records and indexes are kept while the file's size and time stay
// the same; when the file only grew (a logger appends each QSO as it is logged), only the new
// part is read; when it shrank or was replaced, it is read again whole. A record still being
// written is taken at the next check, once it is whole. Within a page (beginPage ... endPage)
// the file is looked at once, at the page's first check. The file is only ever read.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "adif/adif_format.h"
#include "hamlog/hamlog_database.h"
#include "hamlog/hdb_format.h"
#include "hamlog/index_cursor.h"

namespace zeltaro::adif {

// The ADIF log a watch list reads.
struct AdifSource {
  std::string path;                // as the settings hold it (CP932); empty: none
  std::string codeField = "CNTY";  // the field that holds the code (JCC/JCG for Japan)
};

class AdifDatabase final : public hamlog::HamlogDatabase {
 public:
  // Beyond this a file is no QSO log of this program's operators (a million QSOs take about
  // 300 MB): it is refused with one line on stderr rather than read.
  static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{512} << 20;

  // source(list) names list 1 ... 3's file; it is asked at every check, so a changed setting
  // applies at once.
  explicit AdifDatabase(std::function<AdifSource(int list)> source);
  ~AdifDatabase() override;

  bool load(int list) override;
  void release() override {}
  std::uint32_t version() override { return hamlog::kMinimumVersion; }
  void setShare(int) override {}
  // Opens the loaded list's ADIF file (the HAMLOG path is not used); not 0 when the list has
  // none or it cannot be read.
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

  // What the files cost so far, for the tests of the live reading: bytes read and whole reads.
  std::uint64_t bytesRead() const { return bytesRead_; }
  int wholeReads() const { return wholeReads_; }

  struct Record {
    std::int32_t number = 0;                                 // in file order, from 1
    std::string call, code, freq, mode, remarks1, remarks2;  // CP932, trimmed
    int band = 0;
  };
  struct Log;

 private:
  const Record* current() const;
  Log& logFor(const std::string& path);
  // open's answer for log read with codeField, after a look at the file.
  int look(Log& log, const std::string& codeField);

  std::function<AdifSource(int)> source_;
  int list_ = 0;
  std::vector<std::unique_ptr<Log>> logs_;  // one per file read, three at most in practice
  std::string lastPath_, lastFsPath_;       // the last setting asked for and its spelling
  const Log* open_ = nullptr;
  hamlog::IndexCursor cursor_;
  unsigned page_ = 0;  // the current page's number; 0 outside a page
  unsigned pages_ = 0;
  std::uint64_t bytesRead_ = 0;
  int wholeReads_ = 0;
};

}  // namespace zeltaro::adif
