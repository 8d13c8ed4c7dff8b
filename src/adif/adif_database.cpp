// SPDX-License-Identifier: GPL-3.0-or-later
#include "adif/adif_database.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "adif/adif_fields.h"
#include "hamlog/band.h"
#include "hamlog/folder_files.h"
#include "platform/event_log.h"
#include "platform/regular_file.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::adif {

namespace {

// The bytes before the end of what was read: when they still stand there, the file only grew.
constexpr std::size_t kGuardBytes = 64;

bool ascii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string cp932(std::string_view value, Encoding encoding) {
  const std::string_view t = text::trim(value);
  if (encoding == Encoding::ShiftJis || ascii(t)) return std::string(t);
  return text::cp932FromUtf8(t);
}

}  // namespace

struct AdifDatabase::Log {
  std::string path;  // file-system path
  std::string codeField;
  hamlog::FileStamp stamp;
  bool readable = false;
  bool reported = false;  // its trouble has been told once
  std::optional<FileShape> shape;
  std::uint64_t consumed = 0;  // bytes of the file taken into records
  std::string guard;           // the kGuardBytes before `consumed`
  std::vector<Record> records;
  std::vector<hamlog::IndexEntry> byCall, byCode;
  unsigned lookedAt = 0;  // the page in which the file was last looked at
  int pageAnswer = 1;     // what open answered then
  std::string pageField;  // for this code field

  void clear() {
    shape.reset();
    consumed = 0;
    guard.clear();
    records.clear();
    byCall.clear();
    byCode.clear();
  }

  // New records from raw ones; the indexes take them in, equal keys staying in file order.
  void add(std::vector<RawRecord>&& raw, Encoding encoding) {
    const std::size_t first = records.size();
    for (RawRecord& r : raw) {
      Record rec;
      rec.number = static_cast<std::int32_t>(records.size() + 1);
      rec.call = cp932(r.call, encoding);
      rec.code = cp932(r.code, encoding);
      const std::string_view freq = text::trim(r.freq);
      rec.freq = !freq.empty() ? std::string(freq) : std::string(bandFrequency(r.band));
      rec.mode = shownMode(cp932(r.mode, encoding), cp932(r.submode, encoding));
      rec.remarks1 = cp932(r.comment, encoding);
      rec.remarks2 = cp932(r.notes, encoding);
      rec.band = hamlog::bandClassOf(rec.freq);
      records.push_back(std::move(rec));
    }
    for (auto [index, field] :
         {std::pair{&byCall, &Record::call}, std::pair{&byCode, &Record::code}}) {
      // A few appended QSOs go in one by one, after their equal keys; a whole file is sorted.
      if (records.size() - first <= 64 && first > 0) {
        for (std::size_t i = first; i < records.size(); ++i) {
          hamlog::IndexEntry e = hamlog::indexKey(records[i].*field);
          e.record = static_cast<std::uint32_t>(i);
          index->insert(std::upper_bound(index->begin(), index->end(), e, hamlog::keyLess), e);
        }
        continue;
      }
      const std::size_t old = index->size();
      for (std::size_t i = first; i < records.size(); ++i) {
        hamlog::IndexEntry e = hamlog::indexKey(records[i].*field);
        e.record = static_cast<std::uint32_t>(i);
        index->push_back(e);
      }
      std::stable_sort(index->begin() + static_cast<std::ptrdiff_t>(old), index->end(),
                       hamlog::keyLess);
      std::inplace_merge(index->begin(), index->begin() + static_cast<std::ptrdiff_t>(old),
                         index->end(), hamlog::keyLess);
    }
  }
};

AdifDatabase::AdifDatabase(std::function<AdifSource(int)> source) : source_(std::move(source)) {}

AdifDatabase::~AdifDatabase() = default;

bool AdifDatabase::load(int list) {
  list_ = list;
  return true;
}

AdifDatabase::Log& AdifDatabase::logFor(const std::string& path) {
  for (auto& l : logs_)
    if (l->path == path) return *l;
  logs_.push_back(std::make_unique<Log>());
  logs_.back()->path = path;
  return *logs_.back();
}

int AdifDatabase::open(std::string_view) {
  close();
  if (list_ < 1 || list_ > 3) return 1;
  AdifSource source = source_(list_);
  if (source.path.empty()) return 1;
  // Field names are compared in upper case; no name means the usual one.
  for (char& c : source.codeField)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  source.codeField = std::string(text::trim(source.codeField));
  if (source.codeField.empty()) source.codeField = "CNTY";
  // The path as the file system spells it, converted once per setting, not at every check.
  if (source.path != lastPath_) {
    lastPath_ = source.path;
    lastFsPath_ = hamlog::folderForFs(source.path);
  }
  Log& log = logFor(lastFsPath_);
  if (page_ == 0 || log.lookedAt != page_ || log.pageField != source.codeField) {
    log.pageAnswer = look(log, source.codeField);
    log.lookedAt = page_;
    log.pageField = source.codeField;
  }
  if (log.pageAnswer == 0) open_ = &log;
  return log.pageAnswer;
}

void AdifDatabase::beginPage() {
  if (++pages_ == 0) ++pages_;  // 0 stands for no page
  page_ = pages_;
}

void AdifDatabase::endPage() { page_ = 0; }

int AdifDatabase::look(Log& log, const std::string& codeField) {
  auto trouble = [&log](const char* what) {
    if (!log.reported)
      platform::reportEvent("the ADIF log " + log.path + " " + what +
                            ": its list's first-QSO checks answer no");
    log.reported = true;
    log.readable = false;
    log.stamp = {};
    log.clear();
    return 1;
  };

  // The stat only says whether what is kept is still current; what is read is judged on the
  // opened descriptor.
  struct stat st {};
  if (::stat(log.path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && log.readable &&
      hamlog::FileStamp::of(st) == log.stamp && log.codeField == codeField) {
    return 0;
  }
  const platform::RegularFile file(log.path);
  if (!file.isOpen())
    return trouble(file.status() == platform::RegularFile::Status::Missing ? "is missing"
                                                                           : "cannot be read");
  if (file.size() > kMaxFileBytes) return trouble("is larger than a log can be (512 MiB)");
  const hamlog::FileStamp now = hamlog::FileStamp::of(file.info());

  // Only grown: the bytes before what was taken are still there, and nothing else changed.
  bool grown = log.readable && log.shape && log.codeField == codeField &&
               now.device == log.stamp.device && now.inode == log.stamp.inode &&
               file.size() >= log.consumed;
  if (grown && !log.guard.empty()) {
    std::string check;
    const std::uint64_t at = log.consumed - log.guard.size();
    grown = file.readAt(at, log.guard.size(), check) && check == log.guard;
    bytesRead_ += check.size();
  }
  std::string bytes;
  std::uint64_t base = 0;
  if (grown) {
    base = log.consumed;
    if (!file.readAt(base, static_cast<std::size_t>(file.size() - base), bytes))
      return trouble("cannot be read");
  } else {
    log.clear();
    log.codeField = codeField;
    ++wholeReads_;
    if (!file.readAt(0, static_cast<std::size_t>(file.size()), bytes))
      return trouble("cannot be read");
    log.shape = shapeOf(bytes);
  }
  bytesRead_ += bytes.size();

  if (log.shape) {
    const std::size_t from = base == 0 ? log.shape->bodyStart : 0;
    Parsed parsed = parse(bytes, from, log.shape->form, log.codeField);
    log.add(std::move(parsed.records), log.shape->encoding);
    log.consumed = base + parsed.consumed;
    const std::size_t tail = std::min<std::size_t>(kGuardBytes, parsed.consumed);
    if (tail >= kGuardBytes || base == 0) {
      log.guard = bytes.substr(parsed.consumed - tail, tail);
    } else {
      // A short step: the guard is the end of the old guard and what this read took.
      log.guard = (log.guard + bytes.substr(0, parsed.consumed));
      if (log.guard.size() > kGuardBytes) log.guard.erase(0, log.guard.size() - kGuardBytes);
    }
  }
  // A file whose header is not whole yet is read whole again at the next change.
  log.readable = true;
  log.reported = false;
  log.stamp = now;
  return 0;
}

void AdifDatabase::close() {
  open_ = nullptr;
  cursor_.reset();
}

int AdifDatabase::seek(std::string_view key, int index) {
  if (!open_) {
    cursor_.reset();
    return 1;
  }
  return cursor_.seek(open_->byCall, open_->byCode, key, index);
}

int AdifDatabase::skip(int count, int index) { return cursor_.skip(count, index); }

int AdifDatabase::bandClass(std::string_view freqMHz) {
  if (const Record* r = current(); r && freqMHz.data() == r->freq.data()) return r->band;
  return hamlog::bandClassOf(freqMHz);
}

const AdifDatabase::Record* AdifDatabase::current() const {
  const std::uint32_t* record = cursor_.record();
  return record ? &open_->records[*record] : nullptr;
}

std::string_view AdifDatabase::call() const {
  const Record* r = current();
  return r ? std::string_view(r->call) : std::string_view();
}
std::string_view AdifDatabase::code() const {
  const Record* r = current();
  return r ? std::string_view(r->code) : std::string_view();
}
std::string_view AdifDatabase::freq() const {
  const Record* r = current();
  return r ? std::string_view(r->freq) : std::string_view();
}
std::string_view AdifDatabase::mode() const {
  const Record* r = current();
  return r ? std::string_view(r->mode) : std::string_view();
}
std::string_view AdifDatabase::remarks1() const {
  const Record* r = current();
  return r ? std::string_view(r->remarks1) : std::string_view();
}
std::string_view AdifDatabase::remarks2() const {
  const Record* r = current();
  return r ? std::string_view(r->remarks2) : std::string_view();
}
std::int32_t AdifDatabase::recordNumber() const {
  const Record* r = current();
  return r ? r->number : 0;
}

}  // namespace zeltaro::adif
