// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A transferred line cut into columns: column 1 starts at the first character; each run of
// spaces ends a column, whose text keeps the run's spaces but the last; at most 51 columns.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeltaro::transfer {

inline constexpr std::size_t kMaxColumns = 51;

class Columns {
 public:
  explicit Columns(std::string_view line);

  std::size_t count() const { return starts_.size(); }
  // Byte offset where column n (1-based) starts, and where it ends (exclusive).
  std::size_t start(std::size_t n) const { return starts_[n - 1]; }
  std::size_t end(std::size_t n) const;
  // Column n's text as it stands (with its trailing spaces), or trimmed.
  std::string_view raw(std::size_t n) const {
    return std::string_view(line_).substr(start(n), end(n) - start(n));
  }
  std::string trimmed(std::size_t n) const;
  // The column that holds byte offset pos.
  std::size_t columnAt(std::size_t pos) const;

  // The column number a setting names when it reads (base 10, leading digits) as lowest ... 20
  // and the line has that column; nothing otherwise.
  std::optional<std::size_t> valid(std::string_view setting, int lowest = 1) const;

  std::string_view line() const { return line_; }

 private:
  std::string line_;
  std::vector<std::size_t> starts_;
};

// A column setting's leading decimal digits as a number (0 when it has none).
int columnNumber(std::string_view setting);

}  // namespace zeltaro::transfer
