// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings dialog's model: its controls as named state (CheckBox23, Edit18, ComboBox2 ...,
// indexed by their design numbers), filled from the program's settings when the dialog opens
// and copied back when it closes, with the conversions the settings rows give each control. The
// Qt dialog places its widgets by the rows' keys, binds them to these fields by name and
// forwards its events to the handlers here. Texts are CP932.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "settings_dialog/station_rows.h"

namespace zeltaro::platform {
class FileDialog;
class MessageBox;
}  // namespace zeltaro::platform

namespace zeltaro::settingsdialog {

// How a control shows its setting (the rows' conversion).
using Conv = settings::Shown;

// One control of the dialog as the rows describe it, for list n.
struct ControlRow {
  std::string control;  // the control's name, "CheckBox23"
  const char* caption;  // UTF-8, as the control shows it ("" for none)
  const char* hint;     // UTF-8, its tooltip
  Conv conv;
  const StationRow* row;  // the setting's row
  int n = 0;              // the list (1 ... 3) of a condition set's control, else 0
  int param = 0;          // Bit: the bit; Radio: the value; Slot: the default
  bool otherValues = false;
  // The setting's field (monostate for a row without one: the key list).
  settings::FieldPtr setting(DialogTarget& t) const {
    return row->field ? row->field(t, n) : settings::FieldPtr{};
  }
};

// Every control that shows a setting, in the rows' order.
const std::vector<ControlRow>& controlRows();
// The row of a control, or null.
const ControlRow* controlRow(std::string_view control);
// The control that shows section/key of list n (index: which of a row's several controls), or
// null.
const ControlRow* controlRow(std::string_view section, std::string_view key, int n = 0,
                             int index = 0);

// What closing changed that other parts act on.
struct CloseResult {
  settings::RigDirectSettings rigBefore;  // for the rig port's close-and-reopen rule
  bool foldersChanged = false;            // the Michi-no-eki data are read again
};

struct DialogServices {
  platform::FileDialog* folders = nullptr;     // the folder-browse dialog
  platform::MessageBox* messageBox = nullptr;  // the missing-files box
  std::string winePrefix;                      // where dropped shortcuts' drives lie
};

class SettingsDialogModel {
 public:
  explicit SettingsDialogModel(DialogServices services = {}) : services_(std::move(services)) {}
  // The Wine prefix dropped Windows shortcuts are read in (the bridge's prefix).
  void setWinePrefix(std::string prefix) { services_.winePrefix = std::move(prefix); }

  // ---- The controls: one value per control the station rows name, kept under the control's
  // design name (its objectName, "CheckBox106"). A check box or radio button holds a bool, an
  // edit box or label its text, a list (other than the serial device's) its item index.
  bool& checked(std::string_view control) { return *std::get<bool*>(field(control)); }
  std::string& text(std::string_view control) { return *std::get<std::string*>(field(control)); }
  std::int32_t& choice(std::string_view control) {
    return *std::get<std::int32_t*>(field(control));
  }
  // Named for what they hold.
  bool& companionProgram() { return checked("CheckBox106"); }
  std::int32_t& rigMaker() { return choice("ComboBox2"); }
  std::string& hamlogFolder(int n) { return text("StaticText" + std::to_string(n)); }
  std::string& adifFile(int n) { return text("AdifFile" + std::to_string(n)); }
  // Dependent state.
  std::array<bool, 4> anyVisible{};  // CheckBox19 ... CheckBox21 (lists 1 ... 3) shown
  bool rigListsEnabled = true;       // ComboBox2 ... ComboBox4
  bool addressEnabled = true;        // Edit18, Edit34

  // A control's field by its name; monostate for an unknown name.
  settings::FieldPtr field(std::string_view control);

  // ---- Handlers
  // Fills every control from the settings (at each opening, so that what the patrol windows'
  // menus or a reload changed meanwhile is shown, not overwritten by an older value).
  void fillFromSettings(DialogTarget t);  // FormCreate
  // Copies every control into the settings in table order; the rig port step is the caller's
  // (with the result's rigBefore).
  CloseResult closeAndApply(DialogTarget t);  // FormClose
  // CheckBox16Click ... CheckBox18Click: list n's "Code" box switched.
  void applyCodeChoice(int n);
  void applyCompanionChoice();                         // CheckBox106Click
  void applyMakerChoice() { applyCompanionChoice(); }  // ComboBox2Change
  // Button1Click ... Button3Click: "参照" of list n (1 ... 3).
  void chooseFolder(int n);
  // "参照" and "解除" of list n's ADIF log: a file chosen, or none (the list asks HAMLOG).
  void chooseAdifFile(int n);
  void clearAdifFile(int n) {
    if (n >= 1 && n <= 3) adifFile(n).clear();
  }
  // Files dropped on list n's group (file-system paths); only the first counts.
  void dropFiles(int n, const std::vector<std::string>& paths);

 private:
  // Takes folder (a file-system path ending with "/") for list n when it holds HAMLOG's files.
  void offerFolder(int n, const std::string& folderFs);

  DialogServices services_;
  std::map<std::string, std::variant<bool, std::string, std::int32_t>, std::less<>> controls_;
};

// The file types of the ADIF log chooser.
inline constexpr std::string_view kAdifFileFilter =
    "ADIF (*.adi;*.adif;*.adx)|*.adi;*.adif;*.adx|All files (*.*)|*.*||";

// The caption of the folder-browse dialog (UTF-8).
inline constexpr std::string_view kFolderDialogCaption = "フォルダを指定して下さい。";

}  // namespace zeltaro::settingsdialog
