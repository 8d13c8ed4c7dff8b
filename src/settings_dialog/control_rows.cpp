// The dialog's controls and their settings, in the order closing copies them: the condition
// sets 1, 2, 3; the remarks and Michi-no-eki choices; the slot numbers; the key; the column
// numbers; the HAMLOG folders; the after-transfer flags; the companion; the mode boxes; the
// band bits; the mode conversions; the patrol counts; the CI-V addresses; then the rig port.

#include <string>

#include "settings_dialog/dialog_model.h"

namespace zeltaro::settingsdialog {
namespace {

using settings::FieldPtr;

#define SETTING(expr) [](DialogTarget& t, int n) -> FieldPtr { return (void)t, (void)n, &(expr); }
#define SET(member) SETTING(t.station.set(n).member)
#define SHARED(member) SETTING(t.station.shared.member)

std::string name(const char* kind, int number) { return kind + std::to_string(number); }

std::vector<ControlRow> buildRows() {
  std::vector<ControlRow> rows;
  const auto add = [&rows](ControlRow r) { rows.push_back(std::move(r)); };

  // Condition set n: its controls carry design numbers of their own per list.
  for (int n = 1; n <= 3; ++n) {
    const auto k = static_cast<std::size_t>(n - 1);
    const auto pick = [k](int a, int b, int c) { return std::array<int, 3>{a, b, c}[k]; };
    static const std::string kUse[] = {"List 1 に抽出条件を追加する", "List 2 に抽出条件を追加する",
                                       "List 3 に抽出条件を追加する"};
    add({name("CheckBox", pick(4, 8, 12)), kUse[k].c_str(),
         "ｵﾝでHAMLOGに未交信の局をこのListの該当局に加える", Conv::Check, SET(Use), n});
    add({name("CheckBox", pick(1, 7, 11)), "No.", "ｵﾝでHAMLOGのﾚｺｰﾄﾞ番号の範囲に限って照合する",
         Conv::Check, SET(Num), n});
    add({name("Edit", pick(1, 3, 5)), "", "照合するﾚｺｰﾄﾞ番号の先頭", Conv::Text, SET(Num_L), n});
    add({name("Edit", pick(2, 4, 6)), "", "照合するﾚｺｰﾄﾞ番号の末尾", Conv::Text, SET(Num_H), n});
    add({name("CheckBox", pick(2, 5, 9)), "FREQ", "ｵﾝで同じﾊﾞﾝﾄﾞの交信だけを交信済みとする",
         Conv::Check, SET(Band), n});
    add({name("CheckBox", pick(3, 6, 10)), "MODE", "ｵﾝで同じﾓｰﾄﾞの交信だけを交信済みとする",
         Conv::Check, SET(Mode), n});
    add({name("CheckBox", pick(16, 17, 18)), "CODE", "ｵﾝで同じｺｰﾄﾞの交信だけを交信済みとする",
         Conv::Check, SET(Code), n});
    add({name("CheckBox", pick(19, 20, 21)), "コールサインと道の駅を照合しない",
         "ｵﾝでｺｰﾄﾞだけを照合する （ｺｰﾙｻｲﾝは問わない）", Conv::Check, SET(Any), n});
    add({name("CheckBox", pick(13, 14, 15)), "通知メールSubject追加文",
         "ｵﾝでこの条件に該当したとき通知ﾒｰﾙの題名に右の文を追加", Conv::Check, SET(Subj), n});
    add({name("Edit", pick(9, 10, 11)), "", "通知ﾒｰﾙの題名に追加する文", Conv::Text, SET(Text), n});
    add({name("CheckBox", pick(23, 25, 27)), "HAMLOGへ転送",
         "ｵﾝでこのListの通知をHAMLOGへ転送できる", Conv::Check, SET(Trans), n});
    add({name("CheckBox", pick(24, 26, 28)), "同時にRIGをセット",
         "ｵﾝでHAMLOGへ転送するときRIGの周波数とﾓｰﾄﾞもｾｯﾄ", Conv::Check, SET(Rig), n});
  }

  // The remarks and Michi-no-eki choices.
  const char* rsHint = "道の駅ｺｰﾄﾞを照合するHAMLOGの欄";
  add({"RadioButton1", "Remarks1", rsHint, Conv::Radio, SHARED(RS_SEL), 0, 0});
  add({"RadioButton2", "Remarks2", rsHint, Conv::Radio, SHARED(RS_SEL), 0, 1});
  add({"RadioButton3", "両方", rsHint, Conv::Radio, SHARED(RS_SEL), 0, 2});
  add({"RadioButton4", "なし", rsHint, Conv::Radio, SHARED(RS_SEL), 0, 3, 0, 0, true});
  const char* rmHint = "通知のｺﾒﾝﾄ (RMKS) を転送するHAMLOGの欄";
  add({"RadioButton8", "Remarks1", rmHint, Conv::Radio, SHARED(RMKS_SEL), 0, 1});
  add({"RadioButton9", "Remarks2", rmHint, Conv::Radio, SHARED(RMKS_SEL), 0, 2, 0, 0, true});
  add({"RadioButton10", "なし", rmHint, Conv::Radio, SHARED(RMKS_SEL), 0, 0});

  // The role slots.
  const char* slotHint = "通知文のこの項目を抽出する文字列番号 $#01～$#20";
  add({"Edit30", "DATE", slotHint, Conv::Slot, SETTING(t.roles.HTTP_DATE), 0, 2});
  add({"Edit31", "TIME", slotHint, Conv::Slot, SETTING(t.roles.HTTP_TIME), 0, 3});
  add({"Edit13", "CALL", slotHint, Conv::Slot, SETTING(t.roles.HTTP_CALL), 0, 4});
  add({"Edit7", "FREQ", slotHint, Conv::Slot, SETTING(t.roles.HTTP_FREQ), 0, 5});
  add({"Edit8", "MODE", slotHint, Conv::Slot, SETTING(t.roles.HTTP_MODE), 0, 6});
  add({"Edit12", "CODE", slotHint, Conv::Slot, SETTING(t.roles.HTTP_CODE), 0, 7});
  add({"Edit14", "QTH", slotHint, Conv::Slot, SETTING(t.roles.HTTP_QTH), 0, 8});
  add({"Edit33", "RMKS", slotHint, Conv::Slot, SETTING(t.roles.HTTP_RMKS), 0, 10});

  // HAMLOG's rig-frequency key.
  add({"ComboBox1", "", "HAMLOGでRigの周波数を設定するｷｰ", Conv::KeyName, nullptr});
  add({"CheckBox29", "CTRL", "ｷｰと同時に押すCTRL", Conv::Check, SHARED(KEY_CTRL)});
  add({"CheckBox30", "SHIFT", "ｷｰと同時に押すSHIFT", Conv::Check, SHARED(KEY_SHIFT)});
  add({"CheckBox31", "ALT", "ｷｰと同時に押すALT", Conv::Check, SHARED(KEY_ALT)});

  // The column numbers.
  const char* colHint = "整列表示の行でこの項目がある列の番号 (ｽﾍﾟｰｽ区切り、1から)";
  add({"Edit28", "DATE", colHint, Conv::Text, SHARED(COL_DATE)});
  add({"Edit29", "TIME", colHint, Conv::Text, SHARED(COL_TIME)});
  add({"Edit19", "CALL", colHint, Conv::Text, SHARED(COL_CALL)});
  add({"Edit15", "FREQ", colHint, Conv::Text, SHARED(COL_FREQ)});
  add({"Edit16", "MODE", colHint, Conv::Text, SHARED(COL_MODE)});
  add({"Edit17", "CODE", colHint, Conv::Text, SHARED(COL_CODE)});
  add({"Edit20", "QTH", colHint, Conv::Text, SHARED(COL_QTH)});
  add({"Edit32", "RMKS", colHint, Conv::Text, SHARED(COL_RMKS)});

  // The HAMLOG folders.
  for (int n = 1; n <= 3; ++n)
    add({name("StaticText", n), "", "このListで照合・転送するHAMLOGのﾌｫﾙﾀﾞ", Conv::Text,
         SET(HAMLOG), n});

  // After a transfer.
  add({"CheckBox22", "HAMLOGまたはTarvoｐｃにフォーカス",
       "ｵﾝで転送後にHAMLOGまたはTarvopcの画面を前面にする", Conv::Check, SHARED(FOCUS_SEL)});
  add({"CheckBox32", "同時にマウスを移動", "ｵﾝで転送後にﾏｳｽﾎﾟｲﾝﾀｰもその画面へ移動", Conv::Check,
       SHARED(MOUSE_SEL)});

  // The companion.
  add({"Edit21", "IP", "TarvopcのIPｱﾄﾞﾚｽ", Conv::Text, SETTING(t.station.tarvopc.IP)});
  add({"Edit22", "Port", "TarvopcのUDPﾎﾟｰﾄ番号", Conv::Text, SETTING(t.station.tarvopc.PORT)});
  add({"CheckBox33", "CALL", "ｵﾝでｺｰﾙｻｲﾝをTarvopcへ送る", Conv::Check,
       SETTING(t.station.tarvopc.CALL)});
  add({"CheckBox34", "CODE", "ｵﾝでｺｰﾄﾞをTarvopcへ送る", Conv::Check,
       SETTING(t.station.tarvopc.CODE)});
  add({"CheckBox104", "QTH", "ｵﾝでQTHをTarvopcへ送る", Conv::Check,
       SETTING(t.station.tarvopc.QTH)});
  add({"CheckBox35", "CW以外クリア", "ｵﾝでCW以外のﾓｰﾄﾞのときTarvopcの表示をｸﾘｱ", Conv::Check,
       SETTING(t.station.tarvopc.CLEAR)});

  // The mode boxes of each list.
  for (int n = 1; n <= 3; ++n) {
    const int first = 36 + 7 * (n - 1);
    const char* modeHint = "ｵﾝでこのﾓｰﾄﾞの通知を照合する";
    add({name("CheckBox", first), "SSB", modeHint, Conv::Check, SET(M_SSB), n});
    add({name("CheckBox", first + 1), "CW", modeHint, Conv::Check, SET(M_CW), n});
    add({name("CheckBox", first + 2), "FM", modeHint, Conv::Check, SET(M_FM), n});
    add({name("CheckBox", first + 3), "AM", modeHint, Conv::Check, SET(M_AM), n});
    add({name("CheckBox", first + 4), "PSK", modeHint, Conv::Check, SET(M_PSK), n});
    add({name("CheckBox", first + 5), "RTTY", modeHint, Conv::Check, SET(M_RTTY), n});
    add({name("CheckBox", first + 6), "他", modeHint, Conv::Check, SET(M_OTHERS), n});
  }

  // The band bits: bits 0 ... 13 on consecutive boxes, bit 14 ("他") on a box of its own.
  static const char* const kBands[] = {"135K", "1.9", "3.5", "7",   "10",  "14",   "18", "21",
                                       "24",   "28",  "50",  "144", "430", "1.2G", "他"};
  for (int n = 1; n <= 3; ++n)
    for (int bit = 0; bit < 15; ++bit) {
      const int box = bit < 14 ? 57 + 14 * (n - 1) + bit : 98 + n;
      add({name("CheckBox", box), kBands[bit],
           "ｵﾝでこのﾊﾞﾝﾄﾞの通知を転送時にRigへｾｯﾄし巡回転送ﾘｽﾄに入れる", Conv::Bit, SET(RigFreq), n,
           bit});
    }

  // The mode conversions.
  for (int n = 1; n <= 3; ++n)
    add({name("Edit", 22 + n), "", "HAMLOGへ転送するﾓｰﾄﾞの変換 （例 PSK=SSB,RTTY=SSB）", Conv::Text,
         SET(ModeConv), n});

  // The patrol.
  add({"Edit26", "", "「new」で巡回転送ﾘｽﾄに入れる最新の通知の件数 (1～200)", Conv::Decimal,
       SHARED(NEW_STNS), 0, 0, 1, 200});
  add({"RadioButton5", "Remarks1", "道の駅の名称を転送するHAMLOGの欄", Conv::Radio,
       SHARED(MICHI_WR), 0, 1});
  add({"RadioButton6", "Remarks2", "道の駅の名称を転送するHAMLOGの欄", Conv::Radio,
       SHARED(MICHI_WR), 0, 2});
  add({"RadioButton7", "なし", "道の駅の名称を転送するHAMLOGの欄", Conv::Radio, SHARED(MICHI_WR), 0,
       0, 0, 0, true});
  add({"CheckBox102", "「道の駅 」先頭付加", "ｵﾝで転送する道の駅ｺｰﾄﾞの前に「道の駅 」を付ける",
       Conv::Check, SHARED(MICHI_FUKA)});
  add({"CheckBox103", "時間経過設定", "ｵﾝで右の分数より古い通知は巡回転送しない", Conv::Check,
       SHARED(TIMEOVER_CHK)});
  // The age test subtracts from a time of day, so it can use 0 ... 1439 minutes only.
  add({"Edit27", "", "巡回転送の対象とする通知の経過時間 (0～1439分)", Conv::Decimal,
       SHARED(TIMEOVER_MIN), 0, 0, 0, 1439});

  // The CI-V addresses.
  add({"Edit18", "ICOM RIG", "RigのCI-Vｱﾄﾞﾚｽ (16進数2桁)", Conv::Hex2,
       SETTING(t.station.rigDirect.RigID)});
  add({"Edit34", "PC", "PCのCI-Vｱﾄﾞﾚｽ (16進数2桁)", Conv::Hex2, SETTING(t.station.rigDirect.PcID)});

  // The rig port step.
  auto rig = [&add](ControlRow r) {
    r.rigPort = true;
    add(std::move(r));
  };
  rig({"CheckBox105", "する", "ｵﾝでRigをｼﾘｱﾙﾎﾟｰﾄから直接制御する", Conv::Check,
       SETTING(t.station.rigDirect.Use)});
  rig({"ComboBox2", "", "Rigのｺﾏﾝﾄﾞ形式", Conv::Combo, SETTING(t.station.rigDirect.Maker)});
  rig({"ComboBox3", "", "Rigをつないだｼﾘｱﾙﾎﾟｰﾄ", Conv::Port, nullptr});
  rig({"ComboBox4", "", "ｼﾘｱﾙﾎﾟｰﾄの速度", Conv::Combo, SETTING(t.station.rigDirect.Bps)});
  rig({"CheckBox106", "Tarvopc IC-7600 CW contorol経由で制御",
       "ｵﾝでRigをTarvopc経由で制御する (ICOM)", Conv::Check,
       SETTING(t.station.rigDirect.RigTarvopc)});
  return rows;
}

#undef SHARED
#undef SET
#undef SETTING

}  // namespace

const std::vector<ControlRow>& controlRows() {
  static const std::vector<ControlRow> rows = buildRows();
  return rows;
}

const ControlRow* controlRow(std::string_view control) {
  for (const ControlRow& r : controlRows())
    if (r.control == control) return &r;
  return nullptr;
}

const std::vector<std::string>& makerItems() {
  // The sixth family shares the rig through Hamlib's daemon.
  static const std::vector<std::string> items = {"ICOM",   "YAESU1",   "YAESU2",
                                                 "YAESU3", "KENWOOD1", "rigctld"};
  return items;
}

const std::vector<std::string>& speedItems() {
  static const std::vector<std::string> items = {"4800bps", "9600bps", "19200bps", "38400bps"};
  return items;
}

}  // namespace zeltaro::settingsdialog
