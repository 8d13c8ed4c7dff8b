// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/hdb_database.h"

#include <cstdio>

#include "hamlog/band.h"
#include "hamlog/folder_files.h"
#include "platform/event_log.h"
#include "platform/regular_file.h"

namespace zeltaro::hamlog {

namespace {

bool stampOf(const struct stat& st, FileStamp& out) {
  if (!S_ISREG(st.st_mode)) return false;
  out = FileStamp::of(st);
  return true;
}

// Beyond this a file is no QSO log (a million QSOs take about 300 MB); it is refused with one
// line on stderr rather than read.
constexpr std::uint64_t kMaxLogBytes = std::uint64_t{1} << 30;

// The log in an opened file: the header first, judged against the file's size, then exactly
// the bytes it claims, never the file's length. Nothing when it is not a QSO file.
std::optional<HdbLog> readLog(const platform::RegularFile& file, const std::string& path) {
  std::string bytes;
  if (!file.readAt(0, kHdbFixedHeader, bytes)) return std::nullopt;
  const std::optional<std::size_t> headerLength = hdbHeaderLength(bytes);
  if (!headerLength || !file.readAt(0, *headerLength, bytes)) return std::nullopt;
  const std::optional<HdbHeader> header = parseHdbHeader(bytes, file.size());
  if (!header) return std::nullopt;
  if (header->claimedSize() > kMaxLogBytes) {
    platform::reportEvent(path + " claims " + std::to_string(header->claimedSize()) +
                          " bytes of QSOs, more than a log holds: not read");
    return std::nullopt;
  }
  if (!file.readAt(0, static_cast<std::size_t>(header->claimedSize()), bytes)) return std::nullopt;
  return parseHdb(std::move(bytes));  // a file that shrank meanwhile is refused there
}

}  // namespace

HdbDatabase::Cached& HdbDatabase::entryFor(std::string_view basePath) {
  for (Cached& c : cache_)
    if (c.basePath == basePath) return c;
  cache_.push_back({std::string(basePath), {}, {}, nullptr});
  return cache_.back();
}

void HdbDatabase::beginPage() {
  if (++pages_ == 0) ++pages_;  // 0 stands for no page
  page_ = pages_;
}

void HdbDatabase::endPage() { page_ = 0; }

int HdbDatabase::open(std::string_view basePath) {
  close();
  Cached& c = entryFor(basePath);
  if (page_ == 0 || c.lookedAt != page_) {
    c.pageAnswer = look(c, basePath);
    c.lookedAt = page_;
  }
  if (c.pageAnswer != 0) return c.pageAnswer;
  open_ = c.log;
  return 0;
}

int HdbDatabase::look(Cached& c, std::string_view basePath) {
  const std::size_t cut = basePath.find_last_of('/');
  const std::string_view folder =
      cut == std::string_view::npos ? std::string_view() : basePath.substr(0, cut + 1);
  const std::string name = std::string(basePath.substr(folder.size())) + ".hdb";

  // The file found last time, if it is still there; a search of the folder otherwise. The
  // stat only tells whether the cached log is still current: what is read is judged on the
  // opened descriptor.
  struct stat st {};
  if (c.filePath.empty() || ::stat(c.filePath.c_str(), &st) != 0) {
    c.filePath = findFileNoCase(folderForFs(folder), name);
    if (c.filePath.empty() || ::stat(c.filePath.c_str(), &st) != 0) {
      c.filePath.clear();
      return 1;
    }
  }
  FileStamp now;
  if (!stampOf(st, now)) return 1;
  if (now != c.stamp) {
    const platform::RegularFile file(c.filePath);
    // The stamp of what is actually read; a change after this is seen at the next check.
    if (!file.isOpen() || !stampOf(file.info(), now)) return 1;
    ++reads_;
    std::optional<HdbLog> parsed = readLog(file, c.filePath);
    c.log = parsed ? std::make_shared<const HdbLog>(std::move(*parsed)) : nullptr;
    c.stamp = now;
  }
  return c.log ? 0 : 1;
}

void HdbDatabase::close() {
  open_.reset();
  cursor_.reset();
}

int HdbDatabase::seek(std::string_view key, int index) {
  if (!open_) {
    cursor_.reset();
    return 1;
  }
  return cursor_.seek(open_->byCall, open_->byCode, key, index);
}

int HdbDatabase::skip(int count, int index) { return cursor_.skip(count, index); }

int HdbDatabase::bandClass(std::string_view freqMHz) {
  // The check asks for the current record's band once per record: it is known from the parse.
  if (const HdbRecord* r = current();
      r && freqMHz.data() == freq().data() && freqMHz.size() == r->freq.length)
    return r->band;
  return bandClassOf(freqMHz);
}

const HdbRecord* HdbDatabase::current() const {
  const std::uint32_t* record = cursor_.record();
  return record ? &open_->records[*record] : nullptr;
}

std::string_view HdbDatabase::call() const {
  const HdbRecord* r = current();
  return r ? std::string_view(r->call) : std::string_view();
}
std::string_view HdbDatabase::code() const {
  const HdbRecord* r = current();
  return r ? open_->text(r->code) : std::string_view();
}
std::string_view HdbDatabase::freq() const {
  const HdbRecord* r = current();
  return r ? open_->text(r->freq) : std::string_view();
}
std::string_view HdbDatabase::mode() const {
  const HdbRecord* r = current();
  return r ? open_->text(r->mode) : std::string_view();
}
std::string_view HdbDatabase::remarks1() const {
  const HdbRecord* r = current();
  return r ? open_->text(r->remarks1) : std::string_view();
}
std::string_view HdbDatabase::remarks2() const {
  const HdbRecord* r = current();
  return r ? open_->text(r->remarks2) : std::string_view();
}
std::int32_t HdbDatabase::recordNumber() const {
  const HdbRecord* r = current();
  return r ? r->number : 0;
}

}  // namespace zeltaro::hamlog
