// SPDX-License-Identifier: GPL-3.0-or-later
// HAMLOG's QSO file from any bytes: parsing never reads outside the file, every record's fields
// lie inside it, both indexes are sorted with equal keys in record order, and a seek lands on
// the first key not below the one asked for.
#include <cstdlib>
#include <string>

#include "hamlog/hdb_format.h"
#include "hamlog/michi_table.h"

namespace {

using namespace zeltaro::hamlog;

bool below(const IndexEntry& a, const IndexEntry& b) {
  return std::string_view(a.key.data(), a.keyLength) < std::string_view(b.key.data(), b.keyLength);
}

void checkIndex(const HdbLog& log, const std::vector<IndexEntry>& index) {
  for (std::size_t i = 0; i < index.size(); ++i) {
    if (index[i].record >= log.records.size()) std::abort();
    if (i == 0) continue;
    if (below(index[i], index[i - 1])) std::abort();
    if (!below(index[i - 1], index[i]) && index[i].record < index[i - 1].record) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  (void)isMichiNoEkiCode(bytes);
  const std::optional<HdbLog> log = parseHdb(bytes);
  if (!log) return 0;
  if (log->bytes.size() != size) std::abort();
  for (const HdbRecord& r : log->records)
    for (const FieldSpan f : {r.code, r.freq, r.mode, r.remarks1, r.remarks2})
      if (std::size_t(f.offset) + f.length > size) std::abort();
  checkIndex(*log, log->byCall);
  checkIndex(*log, log->byCode);
  // A seek with the input's last bytes as the key.
  const IndexEntry key = indexKey(std::string_view(bytes).substr(size > 6 ? size - 6 : 0));
  const std::size_t at = lowerBound(log->byCall, key);
  if (at > log->byCall.size()) std::abort();
  if (at < log->byCall.size() && below(log->byCall[at], key)) std::abort();
  if (at > 0 && !below(log->byCall[at - 1], key)) std::abort();
  return 0;
}
