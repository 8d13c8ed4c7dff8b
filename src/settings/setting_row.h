// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One description of a setting, shared by the settings file and the windows that show it: where
// it is stored (section and key), which control shows it (name, caption, hint), which field of
// the model holds it and how the stored text and the field convert. The settings file is read
// and written by looping over a table of these rows, and the windows bind their controls from
// the same rows, so a key is described once.
//
// The settings dialog's controls are described on the same rows: a row shown by one control
// names it in control (for a list row "CheckBox4|CheckBox8|CheckBox12", the control of list 1,
// 2 and 3), a row shown by several (a bit mask's boxes, a radio group) lists them in controls.
//
// Rows marked as list rows are written once and used for lists 1, 2 and 3: a '#' in their
// section, key or control name stands for the list number, and a run of list rows with the same
// group letter is repeated as a whole for each list (all keys of list 1, then of list 2 ...).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/escaping.h"
#include "settings/profile_file.h"
#include "text/sjis.h"

namespace zeltaro::settings {

// How the stored text and the field convert.
enum class Conv {
  Bool,        // "1" / "0"
  Int,         // decimal (hexadecimal forms read too)
  ComboIndex,  // an item index of a drop-down list, stored as Int
  Text,        // single line, as it stands
  Quoted,      // single line, written between double quotes so outer blanks survive
  Password,    // Base64 of the text, quoted; a missing key reads as empty
  Template,    // lines, with the template escapes, written on one line
  ListText,    // a watch list, with its escapes (tabs become blanks)
  Clamped,     // a number in lo ... hi; one read outside gives param
  Custom,      // the row's own load and save steps
};

// When a row is read.
enum class LoadRule {
  Now,            // in table order
  Last,           // after every other row (the multi-line values, whole)
  Never,          // written only
  DefaultMissing  // in table order; a missing key gives param instead of the value in memory
};

// How a control of the settings dialog shows its setting.
enum class Shown {
  Same,     // a flag as a switch, a text as typed
  Decimal,  // shown "%d", read from its leading digits; kept in lo ... hi when lo < hi
  Hex2,     // shown "%02X", read from its leading hexadecimal digits
  Slot,     // shown "%02d", read from its leading digits; outside lo ... hi gives param
  Bit,      // bit param of the setting
  Radio,    // the setting is param while this radio is chosen
  Combo,    // item index of items()
  KeyName,  // the key list: the chosen entry's name and index
  Port,     // the serial device's path
};

// One of several controls that show one setting.
struct ControlOfRow {
  const char* control;  // as SettingRow::control
  const char* caption = "";
  const char* hint = "";
  Shown shown = Shown::Same;
  int param = 0;             // Bit: the bit; Radio: the value
  bool otherValues = false;  // Radio: chosen for a value that no radio of its group has
};

// The control of list n (1 ... 3, or 0 for a single row) of a control pattern: '#' replaced by
// n, or the nth of the names "a|b|c".
inline std::string controlForList(std::string_view pattern, int n) {
  if (pattern.find('|') == std::string_view::npos) {
    std::string s(pattern);
    for (char& c : s)
      if (c == '#') c = static_cast<char>('0' + n);
    return s;
  }
  for (int i = 1; i < n; ++i) pattern.remove_prefix(pattern.find('|') + 1);
  return std::string(pattern.substr(0, pattern.find('|')));
}

using FieldPtr =
    std::variant<std::monostate, bool*, std::int32_t*, std::string*, std::vector<std::string>*>;

// A row over T. A row may instead stand for a run of rows over a part of T (Part), which the
// part's own users (the settings dialog over the station settings) read without T; the file
// has them at this row's place.
template <class T, class Part = T>
struct SettingRow {
  const char* section = "";
  const char* key = "";
  const char* control = "";  // the control that shows it, "" when none
  const char* caption = "";  // UTF-8, as the control shows it
  const char* hint = "";     // UTF-8, the control's tooltip
  Conv conv = Conv::Text;
  FieldPtr (*field)(T&, int n) = nullptr;
  LoadRule load = LoadRule::Now;
  int param = 0;       // Clamped, Slot, DefaultMissing: the default
  int lo = 0, hi = 0;  // Clamped, Slot: the range kept; Decimal: the range kept when lo < hi
  char group = 0;      // 0: one row; otherwise a list row of that group
  void (*afterLoad)(T&, int n) = nullptr;  // run after the row has been read
  void (*customLoad)(T&, int n, const ProfileFile&, const SettingRow&) = nullptr;
  void (*customSave)(const T&, int n, ProfileFile&, const SettingRow&) = nullptr;
  // The dialog: how control shows the setting, or the several controls that show it.
  Shown shown = Shown::Same;
  std::span<const ControlOfRow> controls = {};
  const std::vector<std::string>& (*items)() = nullptr;  // Combo: the drop-down list (UTF-8)
  // A run of rows over the part, and the part of a T.
  std::span<const SettingRow<Part, Part>> (*partRows)() = nullptr;
  Part (*partOf)(T&) = nullptr;

  bool isListRow() const { return group != 0; }
};

// '#' replaced by the list number n.
inline std::string forList(std::string_view pattern, int n) {
  std::string s(pattern);
  for (char& c : s)
    if (c == '#') c = static_cast<char>('0' + n);
  return s;
}

// Calls visit(row, n) for every row in file order, list rows repeated per list as groups (a
// row standing for a part's rows is visited itself).
template <class T, class P, class F>
void forEachRow(std::span<const SettingRow<T, P>> rows, F&& visit) {
  for (std::size_t i = 0; i < rows.size();) {
    if (!rows[i].isListRow()) {
      visit(rows[i], 0);
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < rows.size() && rows[end].group == rows[i].group) ++end;
    for (int n = 1; n <= 3; ++n)
      for (std::size_t j = i; j < end; ++j) visit(rows[j], n);
    i = end;
  }
}

// Reads one row into its field.
template <class T, class P>
void loadRow(const ProfileFile& f, T& target, const SettingRow<T, P>& row, int n) {
  if (row.load == LoadRule::Never) return;
  if (row.conv == Conv::Custom) {
    row.customLoad(target, n, f, row);
    if (row.afterLoad) row.afterLoad(target, n);
    return;
  }
  const std::string section = forList(row.section, n);
  const std::string key = forList(row.key, n);
  const FieldPtr field = row.field(target, n);
  switch (row.conv) {
    case Conv::Bool: {
      bool& v = *std::get<bool*>(field);
      v = f.readBool(section, key, row.load == LoadRule::DefaultMissing ? row.param != 0 : v);
      break;
    }
    case Conv::Int:
    case Conv::ComboIndex: {
      std::int32_t& v = *std::get<std::int32_t*>(field);
      v = f.readInt(section, key, row.load == LoadRule::DefaultMissing ? row.param : v);
      break;
    }
    case Conv::Clamped: {
      std::int32_t& v = *std::get<std::int32_t*>(field);
      v = f.readInt(section, key, v);
      if (v < row.lo || v > row.hi) v = row.param;
      break;
    }
    case Conv::Text:
    case Conv::Quoted: {
      std::string& v = *std::get<std::string*>(field);
      v = f.readString(section, key, v);
      break;
    }
    case Conv::Password:
      *std::get<std::string*>(field) = decodePassword(f.readString(section, key, ""));
      break;
    case Conv::Template:
      if (const auto v = f.value(section, key))
        *std::get<std::vector<std::string>*>(field) = text::splitLines(unescapeTemplate(*v));
      else
        return;  // nothing read, nothing changed
      break;
    case Conv::ListText:
      if (const auto v = f.value(section, key))
        *std::get<std::string*>(field) = unescapeList(*v);
      else
        return;
      break;
    case Conv::Custom:
      break;
  }
  if (row.afterLoad) row.afterLoad(target, n);
}

// Writes one row's field.
template <class T, class P>
void saveRow(ProfileFile& f, const T& target, const SettingRow<T, P>& row, int n) {
  if (row.partRows) {
    P part = row.partOf(const_cast<T&>(target));
    forEachRow(row.partRows(), [&](const SettingRow<P, P>& r, int m) { saveRow(f, part, r, m); });
    return;
  }
  if (row.conv == Conv::Custom) {
    row.customSave(target, n, f, row);
    return;
  }
  const std::string section = forList(row.section, n);
  const std::string key = forList(row.key, n);
  // The accessors hand out the field to read or to write; saving only reads it.
  const FieldPtr field = row.field(const_cast<T&>(target), n);
  switch (row.conv) {
    case Conv::Bool:
      f.writeBool(section, key, *std::get<bool*>(field));
      break;
    case Conv::Int:
    case Conv::ComboIndex:
    case Conv::Clamped:
      f.writeInt(section, key, *std::get<std::int32_t*>(field));
      break;
    case Conv::Text:
      f.writeLine(section, key, *std::get<std::string*>(field));
      break;
    case Conv::Quoted:
      f.writeQuoted(section, key, *std::get<std::string*>(field));
      break;
    case Conv::Password:
      f.writeQuoted(section, key, encodePassword(*std::get<std::string*>(field)));
      break;
    case Conv::Template:
      f.writeString(section, key,
                    escapeTemplate(text::joinLines(*std::get<std::vector<std::string>*>(field))));
      break;
    case Conv::ListText:
      f.writeString(section, key, escapeList(*std::get<std::string*>(field)));
      break;
    case Conv::Custom:
      break;
  }
}

// Reads every row: table order, then the rows read last (only from a file that exists).
template <class T, class P>
void loadRows(const ProfileFile& f, T& target, std::span<const SettingRow<T, P>> rows) {
  forEachRow(rows, [&](const SettingRow<T, P>& row, int n) {
    if (row.partRows) {
      P part = row.partOf(target);
      forEachRow(row.partRows(), [&](const SettingRow<P, P>& r, int m) {
        if (r.load != LoadRule::Last) loadRow(f, part, r, m);
      });
    } else if (row.load != LoadRule::Last) {
      loadRow(f, target, row, n);
    }
  });
  if (!f.exists()) return;
  forEachRow(rows, [&](const SettingRow<T, P>& row, int n) {
    if (!row.partRows && row.load == LoadRule::Last) loadRow(f, target, row, n);
  });
}

// Writes every row in table order.
template <class T, class P>
void saveRows(ProfileFile& f, const T& target, std::span<const SettingRow<T, P>> rows) {
  forEachRow(rows, [&](const SettingRow<T, P>& row, int n) { saveRow(f, target, row, n); });
}

}  // namespace zeltaro::settings
