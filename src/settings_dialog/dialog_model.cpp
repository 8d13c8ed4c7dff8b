// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_dialog/dialog_model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>

#include "hamlog/folder_files.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "settings/key_table.h"
#include "settings_dialog/dropped_file.h"
#include "settings_dialog/hamlog_folder.h"
#include "text/codec.h"

namespace zeltaro::settingsdialog {
namespace {

using settings::FieldPtr;

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

// The number the leading digits of s spell (0 without any), saturated well above every range
// the dialog keeps.
std::int32_t leadingNumber(std::string_view s, int base) {
  std::int64_t v = 0;
  for (char c : trimBlanks(s)) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && (c | 0x20) >= 'a' && (c | 0x20) <= 'f')
      d = (c | 0x20) - 'a' + 10;
    else
      break;
    v = std::min<std::int64_t>(v * base + d, 1'000'000'000);
  }
  return static_cast<std::int32_t>(v);
}

std::string format(const char* pattern, std::int32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, pattern, v);
  return buf;
}

// A device as the settings keep it: "/dev/ttyS<n>" and "COM<n+1>" (n < 30) are port n; any
// other text names the device itself.
std::optional<int> comIndex(std::string_view device) {
  for (std::string_view head : {std::string_view("/dev/ttyS"), std::string_view("COM")}) {
    if (!device.starts_with(head)) continue;
    const std::string_view digits = device.substr(head.size());
    if (digits.empty() || digits.size() > 2 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos)
      return std::nullopt;
    const int n = leadingNumber(digits, 10) - (head == "COM" ? 1 : 0);
    if (n >= 0 && n < 30) return n;
  }
  return std::nullopt;
}

// A CP932 folder text for a file-system path: its CP932 form, or its own bytes when CP932
// cannot hold it.
std::string cp932Folder(const std::string& fsPath) {
  const std::string cp = text::cp932FromUtf8(fsPath);
  return text::utf8FromCp932(cp) == fsPath ? cp : fsPath;
}

}  // namespace

FieldPtr SettingsDialogModel::field(std::string_view control) {
  if (controls_.empty()) {
    // The value's kind follows from the control's kind, the head of its design name.
    for (const ControlRow& r : controlRows()) {
      const std::string_view name = r.control;
      if (name.starts_with("CheckBox") || name.starts_with("RadioButton"))
        controls_.emplace(name, false);
      else if (name.starts_with("ComboBox") && name != "ComboBox3")
        controls_.emplace(name, std::int32_t{0});
      else
        controls_.emplace(name, std::string());
    }
  }
  const auto it = controls_.find(control);
  if (it == controls_.end()) return {};
  return std::visit([](auto& value) -> FieldPtr { return &value; }, it->second);
}

// ---- the controls, as the station rows describe them

namespace {

std::vector<ControlRow> buildControlRows() {
  // Captions numbered per list ("List # ...") are kept here, where they stay put.
  static std::deque<std::string> numbered;
  const auto caption = [](const char* text, int n) -> const char* {
    if (n == 0 || !std::strchr(text, '#')) return text;
    return numbered.emplace_back(settings::forList(text, n)).c_str();
  };
  std::vector<ControlRow> rows;
  const auto add = [&](std::span<const StationRow> part) {
    settings::forEachRow(part, [&](const StationRow& row, int n) {
      if (*row.control)
        rows.push_back({settings::controlForList(row.control, n), caption(row.caption, n), row.hint,
                        row.shown, &row, n, row.param});
      for (const settings::ControlOfRow& c : row.controls)
        rows.push_back({settings::controlForList(c.control, n), caption(c.caption, n), c.hint,
                        c.shown, &row, n, c.param, c.otherValues});
    });
  };
  add(conditionRows());
  add(patrolAndRigRows());
  add(adifRows());
  return rows;
}

}  // namespace

const std::vector<ControlRow>& controlRows() {
  static const std::vector<ControlRow> rows = buildControlRows();
  return rows;
}

const ControlRow* controlRow(std::string_view control) {
  for (const ControlRow& r : controlRows())
    if (r.control == control) return &r;
  return nullptr;
}

const ControlRow* controlRow(std::string_view section, std::string_view key, int n, int index) {
  for (const ControlRow& r : controlRows())
    if (r.n == n && r.row->section == section && r.row->key == key && index-- == 0) return &r;
  return nullptr;
}

void SettingsDialogModel::applyCodeChoice(int n) {
  if (const ControlRow* code = controlRow("First_#", "Code", n))
    anyVisible[static_cast<std::size_t>(n)] = *std::get<bool*>(field(code->control));
}

void SettingsDialogModel::fillFromSettings(DialogTarget t) {
  settings::SharedFirstSettings& sh = t.station.shared;
  const int key = settings::findKeyName(sh.KEY_DATA);
  if (key < 0) {
    sh.keyIndex = 0;
    sh.KEY_DATA = std::string(settings::keyNameTable()[0].name);
  }

  const auto& rows = controlRows();
  for (const ControlRow& r : rows) {
    const FieldPtr control = field(r.control);
    const FieldPtr setting = r.setting(t);
    switch (r.conv) {
      case Conv::Same:
        if (std::holds_alternative<bool*>(control))
          *std::get<bool*>(control) = *std::get<bool*>(setting);
        else
          *std::get<std::string*>(control) = *std::get<std::string*>(setting);
        break;
      case Conv::Decimal:
        *std::get<std::string*>(control) = format("%d", *std::get<std::int32_t*>(setting));
        break;
      case Conv::Hex2:
        *std::get<std::string*>(control) = format("%02X", *std::get<std::int32_t*>(setting));
        break;
      case Conv::Slot:
        *std::get<std::string*>(control) = format("%02d", *std::get<std::int32_t*>(setting));
        break;
      case Conv::Bit:
        *std::get<bool*>(control) = (*std::get<std::int32_t*>(setting) >> r.param) & 1;
        break;
      case Conv::Combo: {
        // A value the list does not hold selects nothing (and closing keeps the setting).
        const std::int32_t v = *std::get<std::int32_t*>(setting);
        const bool listed = v >= 0 && v < static_cast<std::int32_t>(r.row->items().size());
        *std::get<std::int32_t*>(control) = listed ? v : -1;
        break;
      }
      case Conv::Radio: {
        const std::int32_t v = *std::get<std::int32_t*>(setting);
        bool chosen = v == r.param;
        if (r.otherValues) {
          // Chosen also when no radio of the group has the value.
          bool any = false;
          for (const settings::ControlOfRow& o : r.row->controls)
            if (o.param == v) any = true;
          chosen = chosen || !any;
        }
        *std::get<bool*>(control) = chosen;
        break;
      }
      case Conv::KeyName:
        *std::get<std::int32_t*>(control) = key >= 0 ? key : 0;
        break;
      case Conv::Port: {
        const settings::RigDirectSettings& rig = t.station.rigDirect;
        *std::get<std::string*>(control) =
            !rig.Device.empty() ? rig.Device : "/dev/ttyS" + std::to_string(rig.Com);
        break;
      }
    }
  }
  for (int n = 1; n <= 3; ++n) applyCodeChoice(n);
  applyCompanionChoice();
}

CloseResult SettingsDialogModel::closeAndApply(DialogTarget t) {
  CloseResult result;
  result.rigBefore = t.station.rigDirect;
  std::array<std::string, 3> foldersBefore;
  for (int n = 1; n <= 3; ++n)
    foldersBefore[static_cast<std::size_t>(n - 1)] = t.station.set(n).HAMLOG;

  for (const ControlRow& r : controlRows()) {
    const FieldPtr control = field(r.control);
    const FieldPtr setting = r.setting(t);
    switch (r.conv) {
      case Conv::Same:
        if (std::holds_alternative<bool*>(control))
          *std::get<bool*>(setting) = *std::get<bool*>(control);
        else
          *std::get<std::string*>(setting) = *std::get<std::string*>(control);
        break;
      case Conv::Decimal: {
        std::int32_t v = leadingNumber(*std::get<std::string*>(control), 10);
        if (r.row->lo < r.row->hi) v = std::clamp(v, r.row->lo, r.row->hi);
        *std::get<std::int32_t*>(setting) = v;
        break;
      }
      case Conv::Hex2:
        *std::get<std::int32_t*>(setting) = leadingNumber(*std::get<std::string*>(control), 16);
        break;
      case Conv::Slot: {
        const std::int32_t v = leadingNumber(*std::get<std::string*>(control), 10);
        *std::get<std::int32_t*>(setting) = v >= r.row->lo && v <= r.row->hi ? v : r.param;
        break;
      }
      case Conv::Bit: {
        std::int32_t& v = *std::get<std::int32_t*>(setting);
        const std::int32_t bit = std::int32_t{1} << r.param;
        v = *std::get<bool*>(control) ? (v | bit) : (v & ~bit);
        break;
      }
      case Conv::Combo:
        if (const std::int32_t i = *std::get<std::int32_t*>(control); i >= 0)
          *std::get<std::int32_t*>(setting) = i;
        break;
      case Conv::Radio:
        if (*std::get<bool*>(control)) *std::get<std::int32_t*>(setting) = r.param;
        break;
      case Conv::KeyName: {
        settings::SharedFirstSettings& sh = t.station.shared;
        const auto& keys = settings::keyNameTable();
        const std::int32_t i = *std::get<std::int32_t*>(control);
        if (i >= 0 && i < static_cast<int>(keys.size())) {
          sh.keyIndex = i;
          sh.KEY_DATA = std::string(keys[static_cast<std::size_t>(i)].name);
        }
        break;
      }
      case Conv::Port: {
        settings::RigDirectSettings& rig = t.station.rigDirect;
        const std::string& device = *std::get<std::string*>(control);
        if (const auto com = comIndex(device)) {
          rig.Com = *com;
          rig.Device.clear();
        } else if (!device.empty()) {
          rig.Device = device;
        }
        break;
      }
    }
  }

  for (int n = 1; n <= 3; ++n)
    if (t.station.set(n).HAMLOG != foldersBefore[static_cast<std::size_t>(n - 1)])
      result.foldersChanged = true;
  return result;
}

void SettingsDialogModel::applyCompanionChoice() {
  rigListsEnabled = !companionProgram();
  addressEnabled = rigMaker() == 0 || companionProgram();
}

void SettingsDialogModel::chooseFolder(int n) {
  if (!services_.folders) return;
  const auto chosen = services_.folders->chooseFolder(text::sj(kFolderDialogCaption));
  if (!chosen) return;
  std::string folder = hamlog::folderForFs(*chosen);
  if (folder.empty()) return;
  if (folder.back() != '/') folder += '/';
  offerFolder(n, folder);
}

void SettingsDialogModel::chooseAdifFile(int n) {
  if (!services_.folders || n < 1 || n > 3) return;
  std::string& file = adifFile(n);
  if (const auto chosen = services_.folders->openFile(file, kAdifFileFilter)) file = *chosen;
}

void SettingsDialogModel::dropFiles(int n, const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  offerFolder(n, folderOfDroppedFile(paths.front(), services_.winePrefix));
}

void SettingsDialogModel::offerFolder(int n, const std::string& folderFs) {
  if (n < 1 || n > 3) return;
  const std::string missing = missingHamlogFiles(folderFs);
  if (missing.empty()) {
    hamlogFolder(n) = cp932Folder(folderFs);
    return;
  }
  if (services_.messageBox)
    services_.messageBox->show(platform::MessageBox::Kind::Information, kMissingFilesCaption,
                               missing);
}

}  // namespace zeltaro::settingsdialog
