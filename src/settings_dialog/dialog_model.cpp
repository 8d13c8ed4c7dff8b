#include "settings_dialog/dialog_model.h"

#include <algorithm>
#include <cstdio>
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
  const auto number = [&](std::string_view head, std::size_t size) -> std::optional<std::size_t> {
    if (!control.starts_with(head)) return std::nullopt;
    const std::string_view digits = control.substr(head.size());
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
      return std::nullopt;
    const auto n = static_cast<std::size_t>(leadingNumber(digits, 10));
    if (n == 0 || n >= size) return std::nullopt;
    return n;
  };
  if (control == "ComboBox3") return &ComboBox3;
  if (auto n = number("CheckBox", CheckBox.size())) return &CheckBox[*n];
  if (auto n = number("Edit", Edit.size())) return &Edit[*n];
  if (auto n = number("ComboBox", ComboBox.size())) return &ComboBox[*n];
  if (auto n = number("RadioButton", RadioButton.size())) return &RadioButton[*n];
  if (auto n = number("StaticText", StaticText.size())) return &StaticText[*n];
  return {};
}

void SettingsDialogModel::FormCreate(DialogTarget t) {
  settings::SharedFirstSettings& sh = t.station.shared;
  const int key = settings::findKeyName(sh.KEY_DATA);
  if (key >= 0) {
    ComboBox[1] = key;
  } else {
    ComboBox[1] = 0;
    sh.keyIndex = 0;
    sh.KEY_DATA = std::string(settings::keyNameTable()[0].name);
  }

  const auto& rows = controlRows();
  for (const ControlRow& r : rows) {
    if (r.conv == Conv::KeyName) continue;
    const FieldPtr control = field(r.control);
    if (r.conv == Conv::Port) {
      const settings::RigDirectSettings& rig = t.station.rigDirect;
      ComboBox3 = !rig.Device.empty() ? rig.Device : "/dev/ttyS" + std::to_string(rig.Com);
      continue;
    }
    const FieldPtr setting = r.setting(t, r.n);
    switch (r.conv) {
      case Conv::Check:
        *std::get<bool*>(control) = *std::get<bool*>(setting);
        break;
      case Conv::Text:
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
      case Conv::Combo:
        *std::get<std::int32_t*>(control) = *std::get<std::int32_t*>(setting);
        break;
      case Conv::Radio: {
        const std::int32_t v = *std::get<std::int32_t*>(setting);
        bool chosen = v == r.param;
        if (r.otherValues) {
          // Chosen also when no radio of the group has the value.
          bool any = false;
          for (const ControlRow& o : rows)
            if (o.conv == Conv::Radio && o.setting(t, o.n) == setting && o.param == v) any = true;
          chosen = chosen || !any;
        }
        *std::get<bool*>(control) = chosen;
        break;
      }
      case Conv::KeyName:
      case Conv::Port:
        break;
    }
  }
  // A maker or speed the lists do not hold selects nothing (and closing keeps the setting).
  if (ComboBox[2] < 0 || ComboBox[2] >= static_cast<int>(makerItems().size())) ComboBox[2] = -1;
  if (ComboBox[4] < 0 || ComboBox[4] >= static_cast<int>(speedItems().size())) ComboBox[4] = -1;
  for (int n = 1; n <= 3; ++n) codeClick(n);
  CheckBox106Click();
}

CloseResult SettingsDialogModel::FormClose(DialogTarget t) {
  CloseResult result;
  result.rigBefore = t.station.rigDirect;
  std::array<std::string, 3> foldersBefore;
  for (int n = 1; n <= 3; ++n)
    foldersBefore[static_cast<std::size_t>(n - 1)] = t.station.set(n).HAMLOG;

  settings::SharedFirstSettings& sh = t.station.shared;
  const auto& keys = settings::keyNameTable();
  if (ComboBox[1] >= 0 && ComboBox[1] < static_cast<int>(keys.size())) {
    sh.keyIndex = ComboBox[1];
    sh.KEY_DATA = std::string(keys[static_cast<std::size_t>(ComboBox[1])].name);
  }

  const auto copy = [&](const ControlRow& r) {
    if (r.conv == Conv::KeyName) return;
    const FieldPtr control = field(r.control);
    if (r.conv == Conv::Port) {
      settings::RigDirectSettings& rig = t.station.rigDirect;
      if (const auto com = comIndex(ComboBox3)) {
        rig.Com = *com;
        rig.Device.clear();
      } else if (!ComboBox3.empty()) {
        rig.Device = ComboBox3;
      }
      return;
    }
    const FieldPtr setting = r.setting(t, r.n);
    switch (r.conv) {
      case Conv::Check:
        *std::get<bool*>(setting) = *std::get<bool*>(control);
        break;
      case Conv::Text:
        *std::get<std::string*>(setting) = *std::get<std::string*>(control);
        break;
      case Conv::Decimal: {
        std::int32_t v = leadingNumber(*std::get<std::string*>(control), 10);
        if (r.lo < r.hi) v = std::clamp(v, r.lo, r.hi);
        *std::get<std::int32_t*>(setting) = v;
        break;
      }
      case Conv::Hex2:
        *std::get<std::int32_t*>(setting) = leadingNumber(*std::get<std::string*>(control), 16);
        break;
      case Conv::Slot: {
        const std::int32_t v = leadingNumber(*std::get<std::string*>(control), 10);
        *std::get<std::int32_t*>(setting) = v >= 1 && v <= 20 ? v : r.param;
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
      case Conv::KeyName:
      case Conv::Port:
        break;
    }
  };
  for (const ControlRow& r : controlRows())
    if (!r.rigPort) copy(r);
  for (const ControlRow& r : controlRows())
    if (r.rigPort) copy(r);

  for (int n = 1; n <= 3; ++n)
    if (t.station.set(n).HAMLOG != foldersBefore[static_cast<std::size_t>(n - 1)])
      result.foldersChanged = true;
  return result;
}

void SettingsDialogModel::CheckBox106Click() {
  rigListsEnabled = !CheckBox[106];
  addressEnabled = ComboBox[2] == 0 || CheckBox[106];
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

void SettingsDialogModel::dropFiles(int n, const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  offerFolder(n, folderOfDroppedFile(paths.front(), services_.winePrefix));
}

void SettingsDialogModel::offerFolder(int n, const std::string& folderFs) {
  if (n < 1 || n > 3) return;
  const std::string missing = missingHamlogFiles(folderFs);
  if (missing.empty()) {
    StaticText[static_cast<std::size_t>(n)] = cp932Folder(folderFs);
    return;
  }
  if (services_.messageBox)
    services_.messageBox->show(platform::MessageBox::Kind::Information, kMissingFilesCaption,
                               missing);
}

}  // namespace zeltaro::settingsdialog
