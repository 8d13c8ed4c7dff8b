// SPDX-License-Identifier: GPL-3.0-or-later
// The station settings' rows, in the order the file is written. A control name "a|b|c" names
// the control of list 1, 2 and 3; a '#' in a caption stands for the list number.

#include "settings_dialog/station_rows.h"

#include <cstdio>

#include "settings/key_table.h"

namespace zeltaro::settingsdialog {
namespace {

using settings::ControlOfRow;
using settings::Conv;
using settings::FieldPtr;
using settings::LoadRule;
using settings::ProfileFile;
using settings::Shown;

// A row's field: expr may use the target t and the list number n (1 ... 3, or 0 for one row).
#define STATION(expr) [](DialogTarget& t, int n) -> FieldPtr { return (void)t, (void)n, &(expr); }
#define SET(member) STATION(t.station.set(n).member)
#define SHARED(member) STATION(t.station.shared.member)

// ---- the rows with steps of their own

void loadKeyName(DialogTarget& t, int, const ProfileFile& f, const StationRow& r) {
  settings::SharedFirstSettings& sh = t.station.shared;
  const std::string name = f.readString(r.section, r.key, sh.KEY_DATA);
  // A name the table does not know leaves the key selected before, and the name that goes with
  // it, so that the key and the name written back agree.
  if (const int hit = settings::findKeyName(name); hit >= 0) {
    sh.KEY_DATA = name;
    sh.keyIndex = hit;
  }
}
void saveKeyName(const DialogTarget& t, int, ProfileFile& f, const StationRow& r) {
  f.writeLine(r.section, r.key, t.station.shared.KEY_DATA);
}

void loadMouseSel(DialogTarget& t, int, const ProfileFile& f, const StationRow& r) {
  settings::SharedFirstSettings& sh = t.station.shared;
  // A file of a version without MOUSE_SEL kept the mouse flag under FOCUS_SEL.
  sh.MOUSE_SEL = f.readBool(r.section, r.key, f.readBool(r.section, "FOCUS_SEL", sh.MOUSE_SEL));
}
void saveMouseSel(const DialogTarget& t, int, ProfileFile& f, const StationRow& r) {
  f.writeBool(r.section, r.key, t.station.shared.MOUSE_SEL);
}

// The role slots' defaults and range, as the extraction keeps them.
constexpr settings::RoleSlots kSlotDefaults{};
constexpr int kFirstSlot = 1;
constexpr int kLastSlot = settings::kSlotCount;

constexpr const char* kSlotHint = "通知文のこの項目を抽出する文字列番号 $#01～$#20";
constexpr const char* kColumnHint = "整列表示の行でこの項目がある列の番号 (ｽﾍﾟｰｽ区切り、1から)";
constexpr const char* kModeHint = "ｵﾝでこのﾓｰﾄﾞの通知を照合する";
constexpr const char* kBandHint = "ｵﾝでこのﾊﾞﾝﾄﾞの通知を転送時にRigへｾｯﾄし巡回転送ﾘｽﾄに入れる";

// RigFreq's band bits: bits 0 ... 13 on consecutive boxes of each list, bit 14 ("他") on a box
// of its own.
constexpr ControlOfRow kBandBoxes[] = {
    {"CheckBox57|CheckBox71|CheckBox85", "135K", kBandHint, Shown::Bit, 0},
    {"CheckBox58|CheckBox72|CheckBox86", "1.9", kBandHint, Shown::Bit, 1},
    {"CheckBox59|CheckBox73|CheckBox87", "3.5", kBandHint, Shown::Bit, 2},
    {"CheckBox60|CheckBox74|CheckBox88", "7", kBandHint, Shown::Bit, 3},
    {"CheckBox61|CheckBox75|CheckBox89", "10", kBandHint, Shown::Bit, 4},
    {"CheckBox62|CheckBox76|CheckBox90", "14", kBandHint, Shown::Bit, 5},
    {"CheckBox63|CheckBox77|CheckBox91", "18", kBandHint, Shown::Bit, 6},
    {"CheckBox64|CheckBox78|CheckBox92", "21", kBandHint, Shown::Bit, 7},
    {"CheckBox65|CheckBox79|CheckBox93", "24", kBandHint, Shown::Bit, 8},
    {"CheckBox66|CheckBox80|CheckBox94", "28", kBandHint, Shown::Bit, 9},
    {"CheckBox67|CheckBox81|CheckBox95", "50", kBandHint, Shown::Bit, 10},
    {"CheckBox68|CheckBox82|CheckBox96", "144", kBandHint, Shown::Bit, 11},
    {"CheckBox69|CheckBox83|CheckBox97", "430", kBandHint, Shown::Bit, 12},
    {"CheckBox70|CheckBox84|CheckBox98", "1.2G", kBandHint, Shown::Bit, 13},
    {"CheckBox99|CheckBox100|CheckBox101", "他", kBandHint, Shown::Bit, 14},
};

constexpr const char* kRsHint = "道の駅ｺｰﾄﾞを照合するHAMLOGの欄";
constexpr ControlOfRow kMichiCodeColumn[] = {
    {"RadioButton1", "Remarks1", kRsHint, Shown::Radio, 0},
    {"RadioButton2", "Remarks2", kRsHint, Shown::Radio, 1},
    {"RadioButton3", "両方", kRsHint, Shown::Radio, 2},
    {"RadioButton4", "なし", kRsHint, Shown::Radio, 3, true},
};
constexpr const char* kRmksHint = "通知のｺﾒﾝﾄ (RMKS) を転送するHAMLOGの欄";
constexpr ControlOfRow kRemarksColumn[] = {
    {"RadioButton8", "Remarks1", kRmksHint, Shown::Radio, 1},
    {"RadioButton9", "Remarks2", kRmksHint, Shown::Radio, 2, true},
    {"RadioButton10", "なし", kRmksHint, Shown::Radio, 0},
};
constexpr const char* kMichiHint = "道の駅の名称を転送するHAMLOGの欄";
constexpr ControlOfRow kMichiNameColumn[] = {
    {"RadioButton5", "Remarks1", kMichiHint, Shown::Radio, 1},
    {"RadioButton6", "Remarks2", kMichiHint, Shown::Radio, 2},
    {"RadioButton7", "なし", kMichiHint, Shown::Radio, 0, true},
};

// A condition set's mode switch.
#define MODE_ROW(name, member, boxes, text)                                                  \
  {                                                                                          \
    .section = "First_#", .key = name, .control = boxes, .caption = text, .hint = kModeHint, \
    .conv = Conv::Bool, .field = SET(member), .group = 'f'                                   \
  }

// A role slot: one out of the range gives the slot's default.
#define SLOT_ROW(name, member, edit, text)                                                  \
  {                                                                                         \
    .section = "First", .key = name, .control = edit, .caption = text, .hint = kSlotHint,   \
    .conv = Conv::Clamped, .field = STATION(t.roles.member), .param = kSlotDefaults.member, \
    .lo = kFirstSlot, .hi = kLastSlot, .shown = Shown::Slot                                 \
  }

#define COLUMN_ROW(name, member, edit, text)                                                \
  {                                                                                         \
    .section = "First", .key = name, .control = edit, .caption = text, .hint = kColumnHint, \
    .conv = Conv::Text, .field = SHARED(member)                                             \
  }

const StationRow kConditionRows[] = {
    // [First_1] ... [First_3]
    {.section = "First_#",
     .key = "Use",
     .control = "CheckBox4|CheckBox8|CheckBox12",
     .caption = "List # に抽出条件を追加する",
     .hint = "ｵﾝでHAMLOGに未交信の局をこのListの該当局に加える",
     .conv = Conv::Bool,
     .field = SET(Use),
     .group = 'f'},
    {.section = "First_#",
     .key = "Num",
     .control = "CheckBox1|CheckBox7|CheckBox11",
     .caption = "No.",
     .hint = "ｵﾝでHAMLOGのﾚｺｰﾄﾞ番号の範囲に限って照合する",
     .conv = Conv::Bool,
     .field = SET(Num),
     .group = 'f'},
    {.section = "First_#",
     .key = "Num_L",
     .control = "Edit1|Edit3|Edit5",
     .hint = "照合するﾚｺｰﾄﾞ番号の先頭",
     .conv = Conv::Text,
     .field = SET(Num_L),
     .group = 'f'},
    {.section = "First_#",
     .key = "Num_H",
     .control = "Edit2|Edit4|Edit6",
     .hint = "照合するﾚｺｰﾄﾞ番号の末尾",
     .conv = Conv::Text,
     .field = SET(Num_H),
     .group = 'f'},
    {.section = "First_#",
     .key = "Band",
     .control = "CheckBox2|CheckBox5|CheckBox9",
     .caption = "FREQ",
     .hint = "ｵﾝで同じﾊﾞﾝﾄﾞの交信だけを交信済みとする",
     .conv = Conv::Bool,
     .field = SET(Band),
     .group = 'f'},
    {.section = "First_#",
     .key = "Mode",
     .control = "CheckBox3|CheckBox6|CheckBox10",
     .caption = "MODE",
     .hint = "ｵﾝで同じﾓｰﾄﾞの交信だけを交信済みとする",
     .conv = Conv::Bool,
     .field = SET(Mode),
     .group = 'f'},
    {.section = "First_#",
     .key = "Code",
     .control = "CheckBox16|CheckBox17|CheckBox18",
     .caption = "CODE",
     .hint = "ｵﾝで同じｺｰﾄﾞの交信だけを交信済みとする",
     .conv = Conv::Bool,
     .field = SET(Code),
     .group = 'f'},
    {.section = "First_#",
     .key = "Subj",
     .control = "CheckBox13|CheckBox14|CheckBox15",
     .caption = "通知メールSubject追加文",
     .hint = "ｵﾝでこの条件に該当したとき通知ﾒｰﾙの題名に右の文を追加",
     .conv = Conv::Bool,
     .field = SET(Subj),
     .group = 'f'},
    {.section = "First_#",
     .key = "Trans",
     .control = "CheckBox23|CheckBox25|CheckBox27",
     .caption = "HAMLOGへ転送",
     .hint = "ｵﾝでこのListの通知をHAMLOGへ転送できる",
     .conv = Conv::Bool,
     .field = SET(Trans),
     .group = 'f'},
    {.section = "First_#",
     .key = "Rig",
     .control = "CheckBox24|CheckBox26|CheckBox28",
     .caption = "同時にRIGをセット",
     .hint = "ｵﾝでHAMLOGへ転送するときRIGの周波数とﾓｰﾄﾞもｾｯﾄ",
     .conv = Conv::Bool,
     .field = SET(Rig),
     .group = 'f'},
    {.section = "First_#",
     .key = "Text",
     .control = "Edit9|Edit10|Edit11",
     .hint = "通知ﾒｰﾙの題名に追加する文",
     .conv = Conv::Quoted,
     .field = SET(Text),
     .group = 'f'},
    {.section = "First_#",
     .key = "Any",
     .control = "CheckBox19|CheckBox20|CheckBox21",
     .caption = "コールサインと道の駅を照合しない",
     .hint = "ｵﾝでｺｰﾄﾞだけを照合する （ｺｰﾙｻｲﾝは問わない）",
     .conv = Conv::Bool,
     .field = SET(Any),
     .group = 'f'},
    {.section = "First_#",
     .key = "RigFreq",
     .conv = Conv::Int,
     .field = SET(RigFreq),
     .group = 'f',
     .controls = kBandBoxes},
    {.section = "First_#",
     .key = "ModeConv",
     .control = "Edit23|Edit24|Edit25",
     .hint = "HAMLOGへ転送するﾓｰﾄﾞの変換 （例 PSK=SSB,RTTY=SSB）",
     .conv = Conv::Text,
     .field = SET(ModeConv),
     .group = 'f'},
    MODE_ROW("M_SSB", M_SSB, "CheckBox36|CheckBox43|CheckBox50", "SSB"),
    MODE_ROW("M_CW", M_CW, "CheckBox37|CheckBox44|CheckBox51", "CW"),
    MODE_ROW("M_FM", M_FM, "CheckBox38|CheckBox45|CheckBox52", "FM"),
    MODE_ROW("M_AM", M_AM, "CheckBox39|CheckBox46|CheckBox53", "AM"),
    MODE_ROW("M_PSK", M_PSK, "CheckBox40|CheckBox47|CheckBox54", "PSK"),
    MODE_ROW("M_RTTY", M_RTTY, "CheckBox41|CheckBox48|CheckBox55", "RTTY"),
    MODE_ROW("M_OTHERS", M_OTHERS, "CheckBox42|CheckBox49|CheckBox56", "他"),

    // [First]: the role slots, the Michi-no-eki and remarks columns, the rig key
    SLOT_ROW("HTTP_DATE", HTTP_DATE, "Edit30", "DATE"),
    SLOT_ROW("HTTP_TIME", HTTP_TIME, "Edit31", "TIME"),
    SLOT_ROW("HTTP_CALL", HTTP_CALL, "Edit13", "CALL"),
    SLOT_ROW("HTTP_FREQ", HTTP_FREQ, "Edit7", "FREQ"),
    SLOT_ROW("HTTP_MODE", HTTP_MODE, "Edit8", "MODE"),
    SLOT_ROW("HTTP_CODE", HTTP_CODE, "Edit12", "CODE"),
    SLOT_ROW("HTTP_QTH", HTTP_QTH, "Edit14", "QTH"),
    {.section = "First",
     .key = "RS_SEL",
     .conv = Conv::Int,
     .field = SHARED(RS_SEL),
     .controls = kMichiCodeColumn},
    {.section = "First",
     .key = "RMKS_SEL",
     .conv = Conv::Int,
     .field = SHARED(RMKS_SEL),
     .controls = kRemarksColumn},
    {.section = "First",
     .key = "KEY_CTRL",
     .control = "CheckBox29",
     .caption = "CTRL",
     .hint = "ｷｰと同時に押すCTRL",
     .conv = Conv::Bool,
     .field = SHARED(KEY_CTRL)},
    {.section = "First",
     .key = "KEY_SHIFT",
     .control = "CheckBox30",
     .caption = "SHIFT",
     .hint = "ｷｰと同時に押すSHIFT",
     .conv = Conv::Bool,
     .field = SHARED(KEY_SHIFT)},
    {.section = "First",
     .key = "KEY_ALT",
     .control = "CheckBox31",
     .caption = "ALT",
     .hint = "ｷｰと同時に押すALT",
     .conv = Conv::Bool,
     .field = SHARED(KEY_ALT)},
    {.section = "First",
     .key = "KEY_DATA",
     .control = "ComboBox1",
     .hint = "HAMLOGでRigの周波数を設定するｷｰ",
     .conv = Conv::Custom,
     .customLoad = loadKeyName,
     .customSave = saveKeyName,
     .shown = Shown::KeyName},
    SLOT_ROW("HTTP_RMKS", HTTP_RMKS, "Edit33", "RMKS"),

    // The HAMLOG folders, then the patrol windows' intervals, in the list sections
    {.section = "First_#",
     .key = "HAMLOG#",
     .control = "StaticText#",
     .hint = "このListで照合・転送するHAMLOGのﾌｫﾙﾀﾞ",
     .conv = Conv::Text,
     .field = SET(HAMLOG),
     .group = 'h'},
    {.section = "First_#",
     .key = "Interval",
     .conv = Conv::Int,
     .field = SET(Interval),
     .group = 'i'},

    // [First], the rest up to the main window's NEW_AUTO
    {.section = "First", .key = "TZ", .conv = Conv::Int, .field = SHARED(TZ)},
    COLUMN_ROW("COL_DATE", COL_DATE, "Edit28", "DATE"),
    COLUMN_ROW("COL_TIME", COL_TIME, "Edit29", "TIME"),
    COLUMN_ROW("COL_CALL", COL_CALL, "Edit19", "CALL"),
    COLUMN_ROW("COL_FREQ", COL_FREQ, "Edit15", "FREQ"),
    COLUMN_ROW("COL_MODE", COL_MODE, "Edit16", "MODE"),
    COLUMN_ROW("COL_CODE", COL_CODE, "Edit17", "CODE"),
    COLUMN_ROW("COL_QTH", COL_QTH, "Edit20", "QTH"),
    COLUMN_ROW("COL_RMKS", COL_RMKS, "Edit32", "RMKS"),
    {.section = "First",
     .key = "FOCUS_SEL",
     .control = "CheckBox22",
     .caption = "HAMLOGまたはTarvoｐｃにフォーカス",
     .hint = "ｵﾝで転送後にHAMLOGまたはTarvopcの画面を前面にする",
     .conv = Conv::Bool,
     .field = SHARED(FOCUS_SEL)},
    {.section = "First",
     .key = "MOUSE_SEL",
     .control = "CheckBox32",
     .caption = "同時にマウスを移動",
     .hint = "ｵﾝで転送後にﾏｳｽﾎﾟｲﾝﾀｰもその画面へ移動",
     .conv = Conv::Custom,
     .field = SHARED(MOUSE_SEL),
     .customLoad = loadMouseSel,
     .customSave = saveMouseSel},
};

const StationRow kPatrolAndRigRows[] = {
    // [First], the patrol
    {.section = "First",
     .key = "NEW_STNS",
     .control = "Edit26",
     .hint = "「new」で巡回転送ﾘｽﾄに入れる最新の通知の件数 (1～200)",
     .conv = Conv::Int,
     .field = SHARED(NEW_STNS),
     .lo = 1,
     .hi = 200,
     .shown = Shown::Decimal},
    {.section = "First",
     .key = "MICHI_WR",
     .conv = Conv::Int,
     .field = SHARED(MICHI_WR),
     .controls = kMichiNameColumn},
    {.section = "First",
     .key = "MICHI_FUKA",
     .control = "CheckBox102",
     .caption = "「道の駅 」先頭付加",
     .hint = "ｵﾝで転送する道の駅ｺｰﾄﾞの前に「道の駅 」を付ける",
     .conv = Conv::Bool,
     .field = SHARED(MICHI_FUKA)},
    {.section = "First",
     .key = "TIMEOVER_CHK",
     .control = "CheckBox103",
     .caption = "時間経過設定",
     .hint = "ｵﾝで右の分数より古い通知は巡回転送しない",
     .conv = Conv::Bool,
     .field = SHARED(TIMEOVER_CHK)},
    {.section = "First",
     .key = "TIMEOVER_MIN",
     .control = "Edit27",
     .hint = "巡回転送の対象とする通知の経過時間 (0～1439分)",
     .conv = Conv::Int,
     .field = SHARED(TIMEOVER_MIN),
     .lo = 0,
     .hi = settings::kMaxTimeoverMin,
     .shown = Shown::Decimal},

    // [Tarvopc]
    {.section = "Tarvopc",
     .key = "IP",
     .control = "Edit21",
     .caption = "IP",
     .hint = "TarvopcのIPｱﾄﾞﾚｽ",
     .conv = Conv::Quoted,
     .field = STATION(t.station.tarvopc.IP)},
    {.section = "Tarvopc",
     .key = "PORT",
     .control = "Edit22",
     .caption = "Port",
     .hint = "TarvopcのUDPﾎﾟｰﾄ番号",
     .conv = Conv::Quoted,
     .field = STATION(t.station.tarvopc.PORT)},
    {.section = "Tarvopc",
     .key = "CALL",
     .control = "CheckBox33",
     .caption = "CALL",
     .hint = "ｵﾝでｺｰﾙｻｲﾝをTarvopcへ送る",
     .conv = Conv::Bool,
     .field = STATION(t.station.tarvopc.CALL)},
    {.section = "Tarvopc",
     .key = "CODE",
     .control = "CheckBox34",
     .caption = "CODE",
     .hint = "ｵﾝでｺｰﾄﾞをTarvopcへ送る",
     .conv = Conv::Bool,
     .field = STATION(t.station.tarvopc.CODE)},
    {.section = "Tarvopc",
     .key = "QTH",
     .control = "CheckBox104",
     .caption = "QTH",
     .hint = "ｵﾝでQTHをTarvopcへ送る",
     .conv = Conv::Bool,
     .field = STATION(t.station.tarvopc.QTH)},
    {.section = "Tarvopc",
     .key = "CLEAR",
     .control = "CheckBox35",
     .caption = "CW以外クリア",
     .hint = "ｵﾝでCW以外のﾓｰﾄﾞのときTarvopcの表示をｸﾘｱ",
     .conv = Conv::Bool,
     .field = STATION(t.station.tarvopc.CLEAR)},

    // [RigDirect]
    {.section = "RigDirect",
     .key = "Use",
     .control = "CheckBox105",
     .caption = "する",
     .hint = "ｵﾝでRigをｼﾘｱﾙﾎﾟｰﾄから直接制御する",
     .conv = Conv::Bool,
     .field = STATION(t.station.rigDirect.Use)},
    {.section = "RigDirect",
     .key = "Maker",
     .control = "ComboBox2",
     .hint = "Rigのｺﾏﾝﾄﾞ形式",
     .conv = Conv::Int,
     .field = STATION(t.station.rigDirect.Maker),
     .shown = Shown::Combo,
     .items = makerItems},
    {.section = "RigDirect",
     .key = "Com",
     .conv = Conv::Int,
     .field = STATION(t.station.rigDirect.Com)},
    {.section = "RigDirect",
     .key = "Bps",
     .control = "ComboBox4",
     .hint = "ｼﾘｱﾙﾎﾟｰﾄの速度",
     .conv = Conv::Int,
     .field = STATION(t.station.rigDirect.Bps),
     .shown = Shown::Combo,
     .items = speedItems},
    {.section = "RigDirect",
     .key = "RigID",
     .control = "Edit18",
     .caption = "ICOM RIG",
     .hint = "RigのCI-Vｱﾄﾞﾚｽ (16進数2桁)",
     .conv = Conv::Int,
     .field = STATION(t.station.rigDirect.RigID),
     .shown = Shown::Hex2},
    {.section = "RigDirect",
     .key = "PcID",
     .control = "Edit34",
     .caption = "PC",
     .hint = "PCのCI-Vｱﾄﾞﾚｽ (16進数2桁)",
     .conv = Conv::Int,
     .field = STATION(t.station.rigDirect.PcID),
     .shown = Shown::Hex2},
    {.section = "RigDirect",
     .key = "RigTarvopc",
     .control = "CheckBox106",
     .caption = "Tarvopc IC-7600 CW contorol経由で制御",
     .hint = "ｵﾝでRigをTarvopc経由で制御する (ICOM)",
     .conv = Conv::Bool,
     .field = STATION(t.station.rigDirect.RigTarvopc)},
    // The serial device on Linux (the dialog's port list shows it, or Com's device), and the
    // rigctld daemon of a shared rig.
    {.section = "RigDirect",
     .key = "Device",
     .control = "ComboBox3",
     .hint = "Rigをつないだｼﾘｱﾙﾎﾟｰﾄ",
     .conv = Conv::Quoted,
     .field = STATION(t.station.rigDirect.Device),
     .shown = Shown::Port},
    {.section = "RigDirect",
     .key = "RigctldHost",
     .conv = Conv::Text,
     .field = STATION(t.station.rigDirect.RigctldHost)},
    {.section = "RigDirect",
     .key = "RigctldPort",
     .conv = Conv::Int,
     .field = STATION(t.station.rigDirect.RigctldPort)},
};

const StationRow kAdifRows[] = {
    {.section = "Adif",
     .key = "File#",
     .control = "AdifFile#",
     .hint = "このListの未交信を照合するADIFログ (空ならHAMLOG)",
     .conv = Conv::Quoted,
     .field = STATION(t.station.adif.File[std::size_t(n - 1)]),
     .group = 'a'},
    {.section = "Adif",
     .key = "CodeField#",
     .conv = Conv::Text,
     .field = STATION(t.station.adif.CodeField[std::size_t(n - 1)]),
     .group = 'c'},
};

#undef COLUMN_ROW
#undef SLOT_ROW
#undef MODE_ROW
#undef SHARED
#undef SET
#undef STATION

}  // namespace

std::span<const StationRow> conditionRows() { return kConditionRows; }
std::span<const StationRow> patrolAndRigRows() { return kPatrolAndRigRows; }
std::span<const StationRow> adifRows() { return kAdifRows; }

const std::vector<std::string>& makerItems() {
  static const std::vector<std::string> items(settings::kRigMakerNames.begin(),
                                              settings::kRigMakerNames.end());
  return items;
}

const std::vector<std::string>& speedItems() {
  static const std::vector<std::string> items = [] {
    std::vector<std::string> v;
    for (const std::int32_t bps : settings::kRigSpeeds) v.push_back(std::to_string(bps) + "bps");
    return v;
  }();
  return items;
}

}  // namespace zeltaro::settingsdialog
