// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a page check makes of a record before it looks at the lists and the log (its slots and
// its search text), and a second thread that makes it for a page's records from the last one
// backwards while the window's thread goes forwards: each side takes the records in chunks,
// the window's thread never waits for the other (a record the thread is still on it does
// itself), and on a busy machine it simply does them all. The work is pure: it reads the records,
// copies of the compiled template and Body and the role slots, and nothing else; the window's
// thread takes the results in order and stays the only one to touch the program's state.

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "spots/composition.h"
#include "spots/extraction.h"

namespace zeltaro::spots {

struct PreparedRecord {
  ExtractionSlots slots;
  // The search text A-Z folded (for the lists, which search folded texts) and whether there is
  // one; no display text.
  Composition search;
};

PreparedRecord prepareRecord(std::string_view record, const CompiledTemplate& templ,
                             const CompiledBody& body, const RoleSlots& roles);

class RecordsAhead {
 public:
  // Starts on records[0, to) (to <= records.size()). records must stay as they are until the
  // object is gone.
  RecordsAhead(const std::vector<std::string>& records, std::size_t to, CompiledTemplate templ,
               CompiledBody body, RoleSlots roles);
  // Stops the thread where it is and waits for it.
  ~RecordsAhead();
  RecordsAhead(const RecordsAhead&) = delete;
  RecordsAhead& operator=(const RecordsAhead&) = delete;

  std::size_t to() const { return to_; }
  // Record i (i < to(), asked in ascending order): the thread's result, or null when the
  // caller is to prepare it itself (the thread had not got to it, is still on it, or failed).
  // Never waits.
  PreparedRecord* take(std::size_t i);

 private:
  static constexpr std::size_t kChunk = 64;
  using Chunk = std::array<PreparedRecord, kChunk>;
  void run();

  const std::vector<std::string>& records_;
  const std::size_t to_;
  const CompiledTemplate templ_;
  const CompiledBody body_;
  const RoleSlots roles_;
  // The thread's results, one chunk per kChunk records, made when the thread takes the chunk.
  std::vector<std::unique_ptr<Chunk>> chunks_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  // Under mutex_: records before low_ are the caller's, records from high_ on the thread's,
  // and those from done_ on are ready (the thread is on [high_, done_)).
  std::size_t low_ = 0, high_, done_;
  std::thread thread_;  // last: started when everything else is made
};

}  // namespace zeltaro::spots
