// SPDX-License-Identifier: GPL-3.0-or-later
#include "spots/records_ahead.h"

#include <algorithm>

#include "platform/message_pump.h"
#include "text/sjis.h"

namespace zeltaro::spots {

PreparedRecord prepareRecord(std::string_view record, const CompiledTemplate& templ,
                             const CompiledBody& body, const RoleSlots& roles) {
  platform::NullMessagePump withinRecord;
  PreparedRecord p;
  p.slots = fillSlots(record, templ, roles, withinRecord);
  p.search = composeSearch(body, p.slots, withinRecord);
  if (p.search.searchable) text::foldAZInPlace(p.search.search);
  return p;
}

RecordsAhead::RecordsAhead(const std::vector<std::string>& records, std::size_t to,
                           CompiledTemplate templ, CompiledBody body, RoleSlots roles)
    : records_(records),
      to_(std::min(to, records.size())),
      templ_(std::move(templ)),
      body_(std::move(body)),
      roles_(roles),
      chunks_((to_ + kChunk - 1) / kChunk),
      high_(to_),
      done_(to_),
      thread_([this] { run(); }) {}

RecordsAhead::~RecordsAhead() {
  stop_ = true;
  thread_.join();
}

void RecordsAhead::run() {
  try {
    while (!stop_) {
      std::size_t from = 0, end = 0;
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (high_ <= low_) return;
        // The chunk below high_, cut at a chunk boundary so that each chunk is one array.
        end = high_;
        from = std::max(low_, (end - 1) / kChunk * kChunk);
        high_ = from;
      }
      auto chunk = std::make_unique<Chunk>();
      for (std::size_t i = from; i < end; ++i)
        (*chunk)[i % kChunk] = prepareRecord(records_[i], templ_, body_, roles_);
      const std::lock_guard<std::mutex> lock(mutex_);
      chunks_[from / kChunk] = std::move(chunk);
      done_ = from;
    }
  } catch (...) {
    // Out of memory: the chunk it was on stays not done, and the caller does it.
  }
}

PreparedRecord* RecordsAhead::take(std::size_t i) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (i < low_) return nullptr;  // taken by the caller already
  if (i < high_) {
    // Not begun by the thread: the caller takes it, with the rest of its chunk.
    low_ = std::min(high_, (i / kChunk + 1) * kChunk);
    return nullptr;
  }
  if (i < done_) {
    // In the chunk the thread is on [high_, done_): rather than wait for a thread the machine
    // may not be running now, the caller does the records of it, and the thread takes no chunk
    // after this one.
    low_ = high_;
    return nullptr;
  }
  return &(*chunks_[i / kChunk])[i % kChunk];
}

}  // namespace zeltaro::spots
