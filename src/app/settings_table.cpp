// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_table.h"

#include <array>
#include <cstring>

#include "app/main_model.h"
#include "settings/key_table.h"
#include "views/combo_index.h"

namespace zeltaro::app {
namespace {

using settings::Conv;
using settings::FieldPtr;
using settings::LoadRule;
using settings::ProfileFile;

// A row's field: expr may use the model m and the list number n (1 ... 3, or 0 for one row).
#define FIELD(expr) [](MainModel& m, int n) -> FieldPtr { return (void)m, (void)n, &(expr); }

std::size_t at(int n) { return static_cast<std::size_t>(n - 1); }

settingsdialog::DialogTarget stationPart(MainModel& m) { return {m.station, m.pageChecks.roles}; }

// ---- the rows with steps of their own

void loadTimeSel(MainModel& m, int, const ProfileFile& f, const SettingRow& r) {
  // Through the interval button's click, so that the patrol switches with it.
  m.clickIntervalButton(f.readInt(r.section, r.key, 0));
}
void saveTimeSel(const MainModel& m, int, ProfileFile& f, const SettingRow& r) {
  f.writeInt(r.section, r.key, m.selectedInterval());
}

void loadLog(MainModel& m, int, const ProfileFile& f, const SettingRow& r) {
  m.logViews.SavedLog = settings::unescapeLog(f.readMultiline(r.section, r.key, ""));
}
void saveLog(const MainModel& m, int, ProfileFile& f, const SettingRow& r) {
  f.writeQuotedMultiline(r.section, r.key,
                         settings::escapeLog(text::joinLines(m.logViews.Memo_Log.lines)));
}

// [Web] is written only when one of its values differs from the default or the file has the
// section already: a station that never turned the web console on keeps its file byte for byte.
constexpr const char* kWebKeys[] = {"On", "Port", "Bind", "CertFile", "KeyFile"};
bool writesWebSection(const MainModel& m, const ProfileFile& f) {
  if (!m.web.isDefault()) return true;
  for (const char* key : kWebKeys)
    if (f.hasKey("Web", key)) return true;
  return false;
}
void loadWebOn(MainModel& m, int, const ProfileFile& f, const SettingRow& r) {
  m.web.On = f.readBool(r.section, r.key, false);
}
void saveWebOn(const MainModel& m, int, ProfileFile& f, const SettingRow& r) {
  if (writesWebSection(m, f)) f.writeBool(r.section, r.key, m.web.On);
}
void loadWebPort(MainModel& m, int, const ProfileFile& f, const SettingRow& r) {
  const std::int32_t port = f.readInt(r.section, r.key, settings::WebSettings::kDefaultPort);
  m.web.Port = port >= 1 && port <= 65535 ? port : settings::WebSettings::kDefaultPort;
}
void saveWebPort(const MainModel& m, int, ProfileFile& f, const SettingRow& r) {
  if (writesWebSection(m, f)) f.writeInt(r.section, r.key, m.web.Port);
}
template <std::string settings::WebSettings::*field>
void loadWebText(MainModel& m, int, const ProfileFile& f, const SettingRow& r) {
  m.web.*field = f.readString(r.section, r.key, settings::WebSettings{}.*field);
}
template <std::string settings::WebSettings::*field>
void saveWebText(const MainModel& m, int, ProfileFile& f, const SettingRow& r) {
  if (writesWebSection(m, f)) f.writeQuoted(r.section, r.key, m.web.*field);
}

// UTF-8 hints of the main window's controls.
constexpr const char* kUrlOnHint = "ｵﾝで有効 （自動巡回時）";
constexpr const char* kUrlHint = "url記述欄  … 接続先URL (BAND/MODE別のURLを記述)";
constexpr const char* kListHint =
    "未交信ﾘｽﾄ （Body:で定義した末尾に「!」が付く文字列番号の抽出文字に対してAND検索を行う。 "
    "語間は半角ｽﾍﾟｰｽ。 半角大文字と半角小文字の区別なし）";
constexpr const char* kListUrlHint = "ｵﾝで未交信ﾘｽﾄとAND検索 (接続先URL別)";

// The rows, in the order the file is written.
const SettingRow kRows[] = {
    // [Window]
    {.section = "Window", .key = "Left", .conv = Conv::Int, .field = FIELD(m.logViews.Left)},
    {.section = "Window", .key = "Top", .conv = Conv::Int, .field = FIELD(m.logViews.Top)},
    {.section = "Window", .key = "Height", .conv = Conv::Int, .field = FIELD(m.logViews.Height)},
    {.section = "Window", .key = "Width", .conv = Conv::Int, .field = FIELD(m.logViews.Width)},
    {.section = "Window",
     .key = "Config",
     .control = "CheckBox1",
     .caption = "Config",
     .conv = Conv::Bool,
     .field = FIELD(m.logViews.CheckBox1)},
    {.section = "Window", .key = "Log123", .conv = Conv::Int, .field = FIELD(m.logViews.Log123)},
    {.section = "Window",
     .key = "Color_#",
     .conv = Conv::Int,
     .field = FIELD(m.logViews.Color[at(n)]),
     .group = 'c'},
    {.section = "Window",
     .key = "Trans#_Left",
     .conv = Conv::Int,
     .field = FIELD(m.station.trans[at(n)].Left),
     .group = 'g'},
    {.section = "Window",
     .key = "Trans#_Top",
     .conv = Conv::Int,
     .field = FIELD(m.station.trans[at(n)].Top),
     .group = 'g'},
    {.section = "Window",
     .key = "Trans#_Height",
     .conv = Conv::Int,
     .field = FIELD(m.station.trans[at(n)].Height),
     .group = 'g'},
    {.section = "Window",
     .key = "Trans#_Width",
     .conv = Conv::Int,
     .field = FIELD(m.station.trans[at(n)].Width),
     .group = 'g'},

    // [Cols], [Mode2]
    // An index outside the items "2" ... "30" selects no item, as the combo box would.
    {.section = "Cols",
     .key = "LogMode",
     .control = "ComboBox1",
     .caption = "列",
     .conv = Conv::ComboIndex,
     .field = FIELD(m.logViews.ComboBox1),
     .afterLoad =
         [](MainModel& m, int) {
           m.logViews.ComboBox1 =
               views::comboItemIndex(m.logViews.ComboBox1, views::kColumnCountItems);
         }},
    {.section = "Mode2",
     .key = "LogMode",
     .control = "radioDisp2",
     .caption = "整列",
     .conv = Conv::Bool,
     .field = FIELD(m.logViews.radioDisp2),
     .afterLoad = [](MainModel& m, int) { m.logViews.radioDisp1 = !m.logViews.radioDisp2; }},

    // [Inet]
    {.section = "Inet",
     .key = "TimeSel",
     .conv = Conv::Custom,
     .customLoad = loadTimeSel,
     .customSave = saveTimeSel},
    {.section = "Inet",
     .key = "Log",
     .conv = Conv::Custom,
     .load = LoadRule::Last,
     .customLoad = loadLog,
     .customSave = saveLog},
    {.section = "Inet",
     .key = "ChkURL#",
     .control = "chkURL#",
     .caption = "URL#",
     .hint = kUrlOnHint,
     .conv = Conv::Bool,
     .field = FIELD(m.pageChecks.chkURL[at(n)]),
     .group = 'u'},
    {.section = "Inet",
     .key = "Url#",
     .control = "edtURL#",
     .hint = kUrlHint,
     .conv = Conv::Text,
     .field = FIELD(m.pageChecks.edtURL[at(n)]),
     .group = 'a'},

    // [Alert], [Mail]
    {.section = "Alert",
     .key = "Alert",
     .control = "chkAlert",
     .caption = "音声",
     .hint = "ｵﾝで音声通知",
     .conv = Conv::Bool,
     .field = FIELD(m.alerts.chkAlert)},
    {.section = "Alert",
     .key = "Sound",
     .control = "edtSound",
     .hint = "音声通知用WAVﾌｧｲﾙ名",
     .conv = Conv::Text,
     .field = FIELD(m.alerts.edtSound)},
    {.section = "Mail",
     .key = "On",
     .control = "chkMail",
     .caption = "ﾒｰﾙ通知",
     .hint = "ｵﾝでﾒｰﾙ通知 （現ﾊﾞｰｼﾞｮﾝはｻｰﾊﾞｰ接続異常時の再送機能はありません）",
     .conv = Conv::Bool,
     .field = FIELD(m.alerts.mail.chkMail)},
    {.section = "Mail",
     .key = "Port",
     .control = "edtPort",
     .caption = "Port",
     .hint = "SMTPﾒｰﾙの標準ﾎﾟｰﾄ番号25、 SMTP認証のときは587が一般的に使用される",
     .conv = Conv::Text,
     .field = FIELD(m.alerts.mail.edtPort)},
    {.section = "Mail",
     .key = "Smtp",
     .control = "edtSmtp",
     .caption = "SMTP",
     .conv = Conv::Text,
     .field = FIELD(m.alerts.mail.edtSmtp)},
    {.section = "Mail",
     .key = "ID",
     .control = "edtSmtpID",
     .caption = "ID",
     .conv = Conv::Text,
     .field = FIELD(m.alerts.mail.edtSmtpID)},
    {.section = "Mail",
     .key = "To",
     .control = "edtTo",
     .caption = "To",
     .conv = Conv::Text,
     .field = FIELD(m.alerts.mail.edtTo)},
    {.section = "Mail",
     .key = "From",
     .control = "edtFrom",
     .caption = "From",
     .conv = Conv::Text,
     .field = FIELD(m.alerts.mail.edtFrom)},
    {.section = "Mail",
     .key = "Name",
     .control = "edtFromName",
     .caption = "名前",
     .hint = "送信元の名前 … 漢字などOK",
     .conv = Conv::Text,
     .field = FIELD(m.alerts.mail.edtFromName)},
    {.section = "Mail",
     .key = "Subj",
     .control = "edtSubj",
     .caption = "題名",
     .hint = "題名 … 漢字などOK",
     .conv = Conv::Quoted,
     .field = FIELD(m.alerts.mail.edtSubj)},
    {.section = "Mail",
     .key = "Body",
     .control = "Edit1",
     .caption = "Body:",
     .hint = "通知文の定義 … $#01～$#13 (抽出文字列番号)。末尾に「!」があると検索対象。 "
             "\\r\\nは改行ｺｰﾄﾞを示す。 半角ｽﾍﾟｰｽが文字列番号間に必須。",
     .conv = Conv::Text,
     .field = FIELD(m.pageChecks.Edit1)},
    {.section = "Mail",
     .key = "Auth",
     .control = "chkAuth",
     .caption = "SMTP認証",
     .hint = "SMTP認証を有効にする （ ﾌﾟﾛﾊﾞｲﾀﾞ指定のPort番号を用いること ）",
     .conv = Conv::Bool,
     .field = FIELD(m.alerts.mail.chkAuth)},
    {.section = "Mail",
     .key = "Word",
     .control = "edtSmtpPASS",
     .caption = "PASS",
     .conv = Conv::Password,
     .field = FIELD(m.alerts.mail.edtSmtpPASS)},

    // [Http]
    {.section = "Http",
     .key = "Start",
     .control = "edtSepStart",
     .caption = "区切り",
     .hint = "区切り先頭ﾜｰﾄﾞ",
     .conv = Conv::Text,
     .field = FIELD(m.pageChecks.edtSepStart)},
    {.section = "Http",
     .key = "End",
     .control = "edtSepEnd",
     .hint = "区切り終了ﾜｰﾄﾞ",
     .conv = Conv::Text,
     .field = FIELD(m.pageChecks.edtSepEnd)},
    {.section = "Http",
     .key = "List",
     .control = "Memo_pcre",
     .hint = "抽出条件文 … 抽出文字列番号とその前後を記述",
     .conv = Conv::Template,
     .field = FIELD(m.pageChecks.Memo_pcre),
     .load = LoadRule::Last},

    // [List1] ... [List3]
    {.section = "List#",
     .key = "Url1",
     .control = "chkList#Url1",
     .caption = "1",
     .hint = kListUrlHint,
     .conv = Conv::Bool,
     .field = FIELD(m.watchLists.chkListUrl[at(n)][0]),
     .group = 'l'},
    {.section = "List#",
     .key = "Url2",
     .control = "chkList#Url2",
     .caption = "2",
     .hint = kListUrlHint,
     .conv = Conv::Bool,
     .field = FIELD(m.watchLists.chkListUrl[at(n)][1]),
     .group = 'l'},
    {.section = "List#",
     .key = "Url3",
     .control = "chkList#Url3",
     .caption = "3",
     .hint = kListUrlHint,
     .conv = Conv::Bool,
     .field = FIELD(m.watchLists.chkListUrl[at(n)][2]),
     .group = 'l'},
    {.section = "List#",
     .key = "List",
     .control = "Memo_List#",
     .caption = "未交信ﾘｽﾄ#",
     .hint = kListHint,
     .conv = Conv::ListText,
     .field = FIELD(m.watchLists.Memo_List[at(n)]),
     .load = LoadRule::Last,
     .group = 'l',
     .afterLoad = [](MainModel& m, int n) { m.watchLists.refreshCounter(n); }},

    // [First_1] ... [First_3], [First] up to MOUSE_SEL: the settings dialog's
    {.partRows = settingsdialog::conditionRows, .partOf = stationPart},
    // "new" is written for other versions but never read: it starts unchecked.
    {.section = "First",
     .key = "NEW_AUTO",
     .control = "CheckBox2",
     .caption = "new",
     .conv = Conv::Bool,
     .field = FIELD(m.logViews.CheckBox2),
     .load = LoadRule::Never},
    // [First] from NEW_STNS, [Tarvopc], [RigDirect]: the settings dialog's
    {.partRows = settingsdialog::patrolAndRigRows, .partOf = stationPart},

    // [Font]: a file without the key gives item 3
    {.section = "Font",
     .key = "Param",
     .control = "ComboBox2",
     .caption = "ﾌｫﾝﾄ",
     .conv = Conv::ComboIndex,
     .field = FIELD(m.logViews.ComboBox2),
     .load = LoadRule::DefaultMissing,
     .param = 3},

    // [Pilot_1] ... [Pilot_3]
    {.section = "Pilot_#",
     .key = "StayTopOn",
     .conv = Conv::Bool,
     .field = FIELD(m.station.pilot[at(n)].StayTopOn),
     .group = 'p'},
    {.section = "Pilot_#",
     .key = "AutoSet",
     .conv = Conv::Bool,
     .field = FIELD(m.station.pilot[at(n)].AutoSet),
     .group = 'p'},
    {.section = "Pilot_#",
     .key = "Sel1",
     .conv = Conv::Bool,
     .field = FIELD(m.station.pilot[at(n)].Sel1),
     .group = 'p'},
    {.section = "Pilot_#",
     .key = "Sel2",
     .conv = Conv::Bool,
     .field = FIELD(m.station.pilot[at(n)].Sel2),
     .group = 'p'},
    {.section = "Pilot_#",
     .key = "Sel3",
     .conv = Conv::Bool,
     .field = FIELD(m.station.pilot[at(n)].Sel3),
     .group = 'p'},

    // [Bridge]: Linux only, so written after everything the Windows layout has.
    {.section = "Bridge",
     .key = "WinePrefix",
     .conv = Conv::Quoted,
     .field = FIELD(m.station.bridge.WinePrefix)},
    {.section = "Bridge",
     .key = "HamlogDll#",
     .conv = Conv::Bool,
     .field = FIELD(m.station.bridge.HamlogDll[at(n)]),
     .group = 'b'},
    // [Adif]: the settings dialog's, after [Bridge]
    {.partRows = settingsdialog::adifRows, .partOf = stationPart},

    // [Web]: the web console, last of all and only once it is used
    {.section = "Web",
     .key = "On",
     .conv = Conv::Custom,
     .customLoad = loadWebOn,
     .customSave = saveWebOn},
    {.section = "Web",
     .key = "Port",
     .conv = Conv::Custom,
     .customLoad = loadWebPort,
     .customSave = saveWebPort},
    {.section = "Web",
     .key = "Bind",
     .conv = Conv::Custom,
     .customLoad = loadWebText<&settings::WebSettings::Bind>,
     .customSave = saveWebText<&settings::WebSettings::Bind>},
    {.section = "Web",
     .key = "CertFile",
     .conv = Conv::Custom,
     .customLoad = loadWebText<&settings::WebSettings::CertFile>,
     .customSave = saveWebText<&settings::WebSettings::CertFile>},
    {.section = "Web",
     .key = "KeyFile",
     .conv = Conv::Custom,
     .customLoad = loadWebText<&settings::WebSettings::KeyFile>,
     .customSave = saveWebText<&settings::WebSettings::KeyFile>},
};

#undef FIELD

}  // namespace

std::span<const SettingRow> settingsTable() { return kRows; }

const SettingRow* settingRowForControl(std::string_view control, int* n) {
  for (const SettingRow& row : kRows) {
    if (!*row.control) continue;
    if (!row.isListRow()) {
      if (control == row.control) {
        if (n) *n = 0;
        return &row;
      }
      continue;
    }
    for (int l = 1; l <= 3; ++l)
      if (control == settings::forList(row.control, l)) {
        if (n) *n = l;
        return &row;
      }
  }
  return nullptr;
}

}  // namespace zeltaro::app
