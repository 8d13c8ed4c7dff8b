#include "app/settings_table.h"

#include <array>
#include <cstring>

#include "app/main_model.h"
#include "views/combo_index.h"
#include "settings/key_table.h"

namespace zeltaro::app {
namespace {

using settings::Conv;
using settings::FieldPtr;
using settings::LoadRule;
using settings::ProfileFile;

// A row's field: expr may use the model m and the list number n (1 ... 3, or 0 for one row).
#define FIELD(expr) [](MainModel& m, int n) -> FieldPtr { return (void)m, (void)n, &(expr); }

std::size_t at(int n) { return static_cast<std::size_t>(n - 1); }

// ---- the rows with steps of their own

void loadTimeSel(MainModel& m, int, const ProfileFile& f, const SettingRow& r) {
  // Through the interval button's click, so that the patrol switches with it.
  m.clickIntervalButton(f.readInt(r.section, r.key, 0));
}
void saveTimeSel(const MainModel& m, int, ProfileFile& f, const SettingRow& r) {
  f.writeInt(r.section, r.key, m.selectedInterval());
}

void loadLog(MainModel& m, int, const ProfileFile& f, const SettingRow& r) {
  m.SavedLog = settings::unescapeLog(f.readMultiline(r.section, r.key, ""));
}
void saveLog(const MainModel& m, int, ProfileFile& f, const SettingRow& r) {
  f.writeQuotedMultiline(r.section, r.key, settings::escapeLog(text::joinLines(m.Memo_Log.lines)));
}

void loadKeyName(MainModel& m, int, const ProfileFile& f, const SettingRow& r) {
  settings::SharedFirstSettings& sh = m.station.shared;
  const std::string name = f.readString(r.section, r.key, sh.KEY_DATA);
  // A name the table does not know leaves the key selected before, and the name that goes with
  // it, so that the key and the name written back agree.
  if (const int hit = settings::findKeyName(name); hit >= 0) {
    sh.KEY_DATA = name;
    sh.keyIndex = hit;
  }
}
void saveKeyName(const MainModel& m, int, ProfileFile& f, const SettingRow& r) {
  f.writeLine(r.section, r.key, m.station.shared.KEY_DATA);
}

void loadMouseSel(MainModel& m, int, const ProfileFile& f, const SettingRow& r) {
  settings::SharedFirstSettings& sh = m.station.shared;
  // A file of a version without MOUSE_SEL kept the mouse flag under FOCUS_SEL.
  sh.MOUSE_SEL = f.readBool(r.section, r.key, f.readBool(r.section, "FOCUS_SEL", sh.MOUSE_SEL));
}
void saveMouseSel(const MainModel& m, int, ProfileFile& f, const SettingRow& r) {
  f.writeBool(r.section, r.key, m.station.shared.MOUSE_SEL);
}

// UTF-8 hints of the main window's controls.
constexpr const char* kUrlOnHint = "ｵﾝで有効 （自動巡回時）";
constexpr const char* kUrlHint = "url記述欄  … 接続先URL (BAND/MODE別のURLを記述)";
constexpr const char* kListHint =
    "未交信ﾘｽﾄ （Body:で定義した末尾に「!」が付く文字列番号の抽出文字に対してAND検索を行う。 "
    "語間は半角ｽﾍﾟｰｽ。 半角大文字と半角小文字の区別なし）";
constexpr const char* kListUrlHint = "ｵﾝで未交信ﾘｽﾄとAND検索 (接続先URL別)";

// Rows of a condition set's mode switches, one per mode.
#define MODE_ROW(key, member)                                                                    \
  {                                                                                              \
    "First_#", key, "", "", "", Conv::Bool, FIELD(m.station.set(n).member), LoadRule::Now, 0, 0, \
        0, 'f'                                                                                   \
  }

// The rows, in the order the file is written.
const SettingRow kRows[] = {
    // [Window]
    {"Window", "Left", "", "", "", Conv::Int, FIELD(m.Left)},
    {"Window", "Top", "", "", "", Conv::Int, FIELD(m.Top)},
    {"Window", "Height", "", "", "", Conv::Int, FIELD(m.Height)},
    {"Window", "Width", "", "", "", Conv::Int, FIELD(m.Width)},
    {"Window", "Config", "CheckBox1", "Config", "", Conv::Bool, FIELD(m.CheckBox1)},
    {"Window", "Log123", "", "", "", Conv::Int, FIELD(m.Log123)},
    {"Window", "Color_#", "", "", "", Conv::Int, FIELD(m.Color[at(n)]), LoadRule::Now, 0, 0, 0,
     'c'},
    {"Window", "Trans#_Left", "", "", "", Conv::Int, FIELD(m.station.trans[at(n)].Left),
     LoadRule::Now, 0, 0, 0, 'g'},
    {"Window", "Trans#_Top", "", "", "", Conv::Int, FIELD(m.station.trans[at(n)].Top),
     LoadRule::Now, 0, 0, 0, 'g'},
    {"Window", "Trans#_Height", "", "", "", Conv::Int, FIELD(m.station.trans[at(n)].Height),
     LoadRule::Now, 0, 0, 0, 'g'},
    {"Window", "Trans#_Width", "", "", "", Conv::Int, FIELD(m.station.trans[at(n)].Width),
     LoadRule::Now, 0, 0, 0, 'g'},

    // [Cols], [Mode2]
    // An index outside the items "2" ... "30" selects no item, as the combo box would.
    {"Cols", "LogMode", "ComboBox1", "列", "", Conv::ComboIndex, FIELD(m.ComboBox1), LoadRule::Now,
     0, 0, 0, 0,
     [](MainModel& m, int) {
       m.ComboBox1 = views::comboItemIndex(m.ComboBox1, views::kColumnCountItems);
     }},
    {"Mode2", "LogMode", "radioDisp2", "整列", "", Conv::Bool, FIELD(m.radioDisp2), LoadRule::Now,
     0, 0, 0, 0, [](MainModel& m, int) { m.radioDisp1 = !m.radioDisp2; }},

    // [Inet]
    {"Inet", "TimeSel", "", "", "", Conv::Custom, nullptr, LoadRule::Now, 0, 0, 0, 0, nullptr,
     loadTimeSel, saveTimeSel},
    {"Inet", "Log", "", "", "", Conv::Custom, nullptr, LoadRule::Last, 0, 0, 0, 0, nullptr, loadLog,
     saveLog},
    {"Inet", "ChkURL#", "chkURL#", "URL#", kUrlOnHint, Conv::Bool, FIELD(m.chkURL[at(n)]),
     LoadRule::Now, 0, 0, 0, 'u'},
    {"Inet", "Url#", "edtURL#", "", kUrlHint, Conv::Text, FIELD(m.edtURL[at(n)]), LoadRule::Now, 0,
     0, 0, 'a'},

    // [Alert], [Mail]
    {"Alert", "Alert", "chkAlert", "音声", "ｵﾝで音声通知", Conv::Bool, FIELD(m.chkAlert)},
    {"Alert", "Sound", "edtSound", "", "音声通知用WAVﾌｧｲﾙ名", Conv::Text, FIELD(m.edtSound)},
    {"Mail", "On", "chkMail", "ﾒｰﾙ通知",
     "ｵﾝでﾒｰﾙ通知 （現ﾊﾞｰｼﾞｮﾝはｻｰﾊﾞｰ接続異常時の再送機能はありません）", Conv::Bool,
     FIELD(m.mail.chkMail)},
    {"Mail", "Port", "edtPort", "Port",
     "SMTPﾒｰﾙの標準ﾎﾟｰﾄ番号25、 SMTP認証のときは587が一般的に使用される", Conv::Text,
     FIELD(m.mail.edtPort)},
    {"Mail", "Smtp", "edtSmtp", "SMTP", "", Conv::Text, FIELD(m.mail.edtSmtp)},
    {"Mail", "ID", "edtSmtpID", "ID", "", Conv::Text, FIELD(m.mail.edtSmtpID)},
    {"Mail", "To", "edtTo", "To", "", Conv::Text, FIELD(m.mail.edtTo)},
    {"Mail", "From", "edtFrom", "From", "", Conv::Text, FIELD(m.mail.edtFrom)},
    {"Mail", "Name", "edtFromName", "名前", "送信元の名前 … 漢字などOK", Conv::Text,
     FIELD(m.mail.edtFromName)},
    {"Mail", "Subj", "edtSubj", "題名", "題名 … 漢字などOK", Conv::Quoted, FIELD(m.mail.edtSubj)},
    {"Mail", "Body", "Edit1", "Body:",
     "通知文の定義 … $#01～$#13 (抽出文字列番号)。末尾に「!」があると検索対象。 "
     "\\r\\nは改行ｺｰﾄﾞを示す。 半角ｽﾍﾟｰｽが文字列番号間に必須。",
     Conv::Text, FIELD(m.Edit1)},
    {"Mail", "Auth", "chkAuth", "SMTP認証",
     "SMTP認証を有効にする （ ﾌﾟﾛﾊﾞｲﾀﾞ指定のPort番号を用いること ）", Conv::Bool,
     FIELD(m.mail.chkAuth)},
    {"Mail", "Word", "edtSmtpPASS", "PASS", "", Conv::Password, FIELD(m.mail.edtSmtpPASS)},

    // [Http]
    {"Http", "Start", "edtSepStart", "区切り", "区切り先頭ﾜｰﾄﾞ", Conv::Text, FIELD(m.edtSepStart)},
    {"Http", "End", "edtSepEnd", "", "区切り終了ﾜｰﾄﾞ", Conv::Text, FIELD(m.edtSepEnd)},
    {"Http", "List", "Memo_pcre", "", "抽出条件文 … 抽出文字列番号とその前後を記述", Conv::Template,
     FIELD(m.Memo_pcre), LoadRule::Last},

    // [List1] ... [List3]
    {"List#", "Url1", "chkList#Url1", "1", kListUrlHint, Conv::Bool, FIELD(m.chkListUrl[at(n)][0]),
     LoadRule::Now, 0, 0, 0, 'l'},
    {"List#", "Url2", "chkList#Url2", "2", kListUrlHint, Conv::Bool, FIELD(m.chkListUrl[at(n)][1]),
     LoadRule::Now, 0, 0, 0, 'l'},
    {"List#", "Url3", "chkList#Url3", "3", kListUrlHint, Conv::Bool, FIELD(m.chkListUrl[at(n)][2]),
     LoadRule::Now, 0, 0, 0, 'l'},
    {"List#", "List", "Memo_List#", "未交信ﾘｽﾄ#", kListHint, Conv::ListText,
     FIELD(m.Memo_List[at(n)]), LoadRule::Last, 0, 0, 0, 'l',
     [](MainModel& m, int n) { m.refreshCounter(n); }},

    // [First_1] ... [First_3]
    {"First_#", "Use", "", "", "", Conv::Bool, FIELD(m.station.set(n).Use), LoadRule::Now, 0, 0, 0,
     'f'},
    {"First_#", "Num", "", "", "", Conv::Bool, FIELD(m.station.set(n).Num), LoadRule::Now, 0, 0, 0,
     'f'},
    {"First_#", "Num_L", "", "", "", Conv::Text, FIELD(m.station.set(n).Num_L), LoadRule::Now, 0, 0,
     0, 'f'},
    {"First_#", "Num_H", "", "", "", Conv::Text, FIELD(m.station.set(n).Num_H), LoadRule::Now, 0, 0,
     0, 'f'},
    {"First_#", "Band", "", "", "", Conv::Bool, FIELD(m.station.set(n).Band), LoadRule::Now, 0, 0,
     0, 'f'},
    {"First_#", "Mode", "", "", "", Conv::Bool, FIELD(m.station.set(n).Mode), LoadRule::Now, 0, 0,
     0, 'f'},
    {"First_#", "Code", "", "", "", Conv::Bool, FIELD(m.station.set(n).Code), LoadRule::Now, 0, 0,
     0, 'f'},
    {"First_#", "Subj", "", "", "", Conv::Bool, FIELD(m.station.set(n).Subj), LoadRule::Now, 0, 0,
     0, 'f'},
    {"First_#", "Trans", "", "", "", Conv::Bool, FIELD(m.station.set(n).Trans), LoadRule::Now, 0, 0,
     0, 'f'},
    {"First_#", "Rig", "", "", "", Conv::Bool, FIELD(m.station.set(n).Rig), LoadRule::Now, 0, 0, 0,
     'f'},
    {"First_#", "Text", "", "", "", Conv::Quoted, FIELD(m.station.set(n).Text), LoadRule::Now, 0, 0,
     0, 'f'},
    {"First_#", "Any", "", "", "", Conv::Bool, FIELD(m.station.set(n).Any), LoadRule::Now, 0, 0, 0,
     'f'},
    {"First_#", "RigFreq", "", "", "", Conv::Int, FIELD(m.station.set(n).RigFreq), LoadRule::Now, 0,
     0, 0, 'f'},
    {"First_#", "ModeConv", "", "", "", Conv::Text, FIELD(m.station.set(n).ModeConv), LoadRule::Now,
     0, 0, 0, 'f'},
    MODE_ROW("M_SSB", M_SSB),
    MODE_ROW("M_CW", M_CW),
    MODE_ROW("M_FM", M_FM),
    MODE_ROW("M_AM", M_AM),
    MODE_ROW("M_PSK", M_PSK),
    MODE_ROW("M_RTTY", M_RTTY),
    MODE_ROW("M_OTHERS", M_OTHERS),

    // [First]: the role slots (one out of 1 ... 20 gives the slot's default), the rig key
    {"First", "HTTP_DATE", "", "", "", Conv::Clamped, FIELD(m.roles.HTTP_DATE), LoadRule::Now, 2, 1,
     20},
    {"First", "HTTP_TIME", "", "", "", Conv::Clamped, FIELD(m.roles.HTTP_TIME), LoadRule::Now, 3, 1,
     20},
    {"First", "HTTP_CALL", "", "", "", Conv::Clamped, FIELD(m.roles.HTTP_CALL), LoadRule::Now, 4, 1,
     20},
    {"First", "HTTP_FREQ", "", "", "", Conv::Clamped, FIELD(m.roles.HTTP_FREQ), LoadRule::Now, 5, 1,
     20},
    {"First", "HTTP_MODE", "", "", "", Conv::Clamped, FIELD(m.roles.HTTP_MODE), LoadRule::Now, 6, 1,
     20},
    {"First", "HTTP_CODE", "", "", "", Conv::Clamped, FIELD(m.roles.HTTP_CODE), LoadRule::Now, 7, 1,
     20},
    {"First", "HTTP_QTH", "", "", "", Conv::Clamped, FIELD(m.roles.HTTP_QTH), LoadRule::Now, 8, 1,
     20},
    {"First", "RS_SEL", "", "", "", Conv::Int, FIELD(m.station.shared.RS_SEL)},
    {"First", "RMKS_SEL", "", "", "", Conv::Int, FIELD(m.station.shared.RMKS_SEL)},
    {"First", "KEY_CTRL", "", "", "", Conv::Bool, FIELD(m.station.shared.KEY_CTRL)},
    {"First", "KEY_SHIFT", "", "", "", Conv::Bool, FIELD(m.station.shared.KEY_SHIFT)},
    {"First", "KEY_ALT", "", "", "", Conv::Bool, FIELD(m.station.shared.KEY_ALT)},
    {"First", "KEY_DATA", "", "", "", Conv::Custom, nullptr, LoadRule::Now, 0, 0, 0, 0, nullptr,
     loadKeyName, saveKeyName},
    {"First", "HTTP_RMKS", "", "", "", Conv::Clamped, FIELD(m.roles.HTTP_RMKS), LoadRule::Now, 10,
     1, 20},

    // The HAMLOG folders, then the patrol windows' intervals, in the list sections
    {"First_#", "HAMLOG#", "", "", "", Conv::Text, FIELD(m.station.set(n).HAMLOG), LoadRule::Now, 0,
     0, 0, 'h'},
    {"First_#", "Interval", "", "", "", Conv::Int, FIELD(m.station.set(n).Interval), LoadRule::Now,
     0, 0, 0, 'i'},

    // [First], the rest
    {"First", "TZ", "", "", "", Conv::Int, FIELD(m.station.shared.TZ)},
    {"First", "COL_DATE", "", "", "", Conv::Text, FIELD(m.station.shared.COL_DATE)},
    {"First", "COL_TIME", "", "", "", Conv::Text, FIELD(m.station.shared.COL_TIME)},
    {"First", "COL_CALL", "", "", "", Conv::Text, FIELD(m.station.shared.COL_CALL)},
    {"First", "COL_FREQ", "", "", "", Conv::Text, FIELD(m.station.shared.COL_FREQ)},
    {"First", "COL_MODE", "", "", "", Conv::Text, FIELD(m.station.shared.COL_MODE)},
    {"First", "COL_CODE", "", "", "", Conv::Text, FIELD(m.station.shared.COL_CODE)},
    {"First", "COL_QTH", "", "", "", Conv::Text, FIELD(m.station.shared.COL_QTH)},
    {"First", "COL_RMKS", "", "", "", Conv::Text, FIELD(m.station.shared.COL_RMKS)},
    {"First", "FOCUS_SEL", "", "", "", Conv::Bool, FIELD(m.station.shared.FOCUS_SEL)},
    {"First", "MOUSE_SEL", "", "", "", Conv::Custom, nullptr, LoadRule::Now, 0, 0, 0, 0, nullptr,
     loadMouseSel, saveMouseSel},
    // "new" is written for other versions but never read: it starts unchecked.
    {"First", "NEW_AUTO", "CheckBox2", "new", "", Conv::Bool, FIELD(m.CheckBox2), LoadRule::Never},
    {"First", "NEW_STNS", "", "", "", Conv::Int, FIELD(m.station.shared.NEW_STNS)},
    {"First", "MICHI_WR", "", "", "", Conv::Int, FIELD(m.station.shared.MICHI_WR)},
    {"First", "MICHI_FUKA", "", "", "", Conv::Bool, FIELD(m.station.shared.MICHI_FUKA)},
    {"First", "TIMEOVER_CHK", "", "", "", Conv::Bool, FIELD(m.station.shared.TIMEOVER_CHK)},
    {"First", "TIMEOVER_MIN", "", "", "", Conv::Int, FIELD(m.station.shared.TIMEOVER_MIN)},

    // [Tarvopc], [RigDirect]
    {"Tarvopc", "IP", "", "", "", Conv::Quoted, FIELD(m.station.tarvopc.IP)},
    {"Tarvopc", "PORT", "", "", "", Conv::Quoted, FIELD(m.station.tarvopc.PORT)},
    {"Tarvopc", "CALL", "", "", "", Conv::Bool, FIELD(m.station.tarvopc.CALL)},
    {"Tarvopc", "CODE", "", "", "", Conv::Bool, FIELD(m.station.tarvopc.CODE)},
    {"Tarvopc", "QTH", "", "", "", Conv::Bool, FIELD(m.station.tarvopc.QTH)},
    {"Tarvopc", "CLEAR", "", "", "", Conv::Bool, FIELD(m.station.tarvopc.CLEAR)},
    {"RigDirect", "Use", "", "", "", Conv::Bool, FIELD(m.station.rigDirect.Use)},
    {"RigDirect", "Maker", "", "", "", Conv::Int, FIELD(m.station.rigDirect.Maker)},
    {"RigDirect", "Com", "", "", "", Conv::Int, FIELD(m.station.rigDirect.Com)},
    {"RigDirect", "Bps", "", "", "", Conv::Int, FIELD(m.station.rigDirect.Bps)},
    {"RigDirect", "RigID", "", "", "", Conv::Int, FIELD(m.station.rigDirect.RigID)},
    {"RigDirect", "PcID", "", "", "", Conv::Int, FIELD(m.station.rigDirect.PcID)},
    {"RigDirect", "RigTarvopc", "", "", "", Conv::Bool, FIELD(m.station.rigDirect.RigTarvopc)},
    // The serial device on Linux, and the rigctld daemon of a shared rig.
    {"RigDirect", "Device", "", "", "", Conv::Quoted, FIELD(m.station.rigDirect.Device)},
    {"RigDirect", "RigctldHost", "", "", "", Conv::Text, FIELD(m.station.rigDirect.RigctldHost)},
    {"RigDirect", "RigctldPort", "", "", "", Conv::Int, FIELD(m.station.rigDirect.RigctldPort)},

    // [Font]: a file without the key gives item 3
    {"Font", "Param", "ComboBox2", "ﾌｫﾝﾄ", "", Conv::ComboIndex, FIELD(m.ComboBox2),
     LoadRule::DefaultMissing, 3},

    // [Pilot_1] ... [Pilot_3]
    {"Pilot_#", "StayTopOn", "", "", "", Conv::Bool, FIELD(m.station.pilot[at(n)].StayTopOn),
     LoadRule::Now, 0, 0, 0, 'p'},
    {"Pilot_#", "AutoSet", "", "", "", Conv::Bool, FIELD(m.station.pilot[at(n)].AutoSet),
     LoadRule::Now, 0, 0, 0, 'p'},
    {"Pilot_#", "Sel1", "", "", "", Conv::Bool, FIELD(m.station.pilot[at(n)].Sel1), LoadRule::Now,
     0, 0, 0, 'p'},
    {"Pilot_#", "Sel2", "", "", "", Conv::Bool, FIELD(m.station.pilot[at(n)].Sel2), LoadRule::Now,
     0, 0, 0, 'p'},
    {"Pilot_#", "Sel3", "", "", "", Conv::Bool, FIELD(m.station.pilot[at(n)].Sel3), LoadRule::Now,
     0, 0, 0, 'p'},

    // [Bridge]: Linux only, so written after everything the Windows layout has.
    {"Bridge", "WinePrefix", "", "", "", Conv::Quoted, FIELD(m.station.bridge.WinePrefix)},
    {"Bridge", "HamlogDll#", "", "", "", Conv::Bool, FIELD(m.station.bridge.HamlogDll[at(n)]),
     LoadRule::Now, 0, 0, 0, 'b'},
};

#undef MODE_ROW
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
