#include "app/settings_io.h"

#include <string_view>

#include "app/main_model.h"
#include "settings/escaping.h"
#include "settings/key_table.h"
#include "settings/profile_file.h"
#include "spots/extraction.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::app {
namespace {

using settings::ProfileFile;

std::string numbered(std::string_view stem, int n) {
  return std::string(stem) + static_cast<char>('0' + n);
}

// The eight role slots in file order, with their defaults.
struct RoleKey {
  const char* key;
  int spots::RoleSlots::*slot;
  int defaultSlot;
};
constexpr RoleKey kRoleKeys[] = {
    {"HTTP_DATE", &spots::RoleSlots::HTTP_DATE, 2}, {"HTTP_TIME", &spots::RoleSlots::HTTP_TIME, 3},
    {"HTTP_CALL", &spots::RoleSlots::HTTP_CALL, 4}, {"HTTP_FREQ", &spots::RoleSlots::HTTP_FREQ, 5},
    {"HTTP_MODE", &spots::RoleSlots::HTTP_MODE, 6}, {"HTTP_CODE", &spots::RoleSlots::HTTP_CODE, 7},
    {"HTTP_QTH", &spots::RoleSlots::HTTP_QTH, 8},   {"HTTP_RMKS", &spots::RoleSlots::HTTP_RMKS, 10},
};

struct ColumnKey {
  const char* key;
  std::string settings::SharedFirstSettings::*column;
};
constexpr ColumnKey kColumnKeys[] = {
    {"COL_DATE", &settings::SharedFirstSettings::COL_DATE},
    {"COL_TIME", &settings::SharedFirstSettings::COL_TIME},
    {"COL_CALL", &settings::SharedFirstSettings::COL_CALL},
    {"COL_FREQ", &settings::SharedFirstSettings::COL_FREQ},
    {"COL_MODE", &settings::SharedFirstSettings::COL_MODE},
    {"COL_CODE", &settings::SharedFirstSettings::COL_CODE},
    {"COL_QTH", &settings::SharedFirstSettings::COL_QTH},
    {"COL_RMKS", &settings::SharedFirstSettings::COL_RMKS},
};

struct ModeKey {
  const char* key;
  bool settings::FirstQsoConditionSet::*on;
};
constexpr ModeKey kModeKeys[] = {
    {"M_SSB", &settings::FirstQsoConditionSet::M_SSB},
    {"M_CW", &settings::FirstQsoConditionSet::M_CW},
    {"M_FM", &settings::FirstQsoConditionSet::M_FM},
    {"M_AM", &settings::FirstQsoConditionSet::M_AM},
    {"M_PSK", &settings::FirstQsoConditionSet::M_PSK},
    {"M_RTTY", &settings::FirstQsoConditionSet::M_RTTY},
    {"M_OTHERS", &settings::FirstQsoConditionSet::M_OTHERS},
};

constexpr const char* kGeometryKeys[] = {"Left", "Top", "Height", "Width"};

std::int32_t* geometryField(settings::WindowGeometry& g, int i) {
  std::int32_t* fields[] = {&g.Left, &g.Top, &g.Height, &g.Width};
  return fields[i];
}

std::string lines(const std::vector<std::string>& l) { return text::joinLines(l); }

// The Michi-no-eki reference data for the HAMLOG folders just read.
void loadMichiNoEkiData(MainModel& m) {
  if (m.hooks.loadMichi) m.hooks.loadMichi();
}

void loadConditionSet(const ProfileFile& f, const std::string& s,
                      settings::FirstQsoConditionSet& c) {
  c.Use = f.readBool(s, "Use", c.Use);
  c.Num = f.readBool(s, "Num", c.Num);
  c.Num_L = f.readString(s, "Num_L", c.Num_L);
  c.Num_H = f.readString(s, "Num_H", c.Num_H);
  c.Band = f.readBool(s, "Band", c.Band);
  c.Mode = f.readBool(s, "Mode", c.Mode);
  c.Code = f.readBool(s, "Code", c.Code);
  c.Subj = f.readBool(s, "Subj", c.Subj);
  c.Text = f.readString(s, "Text", c.Text);
  c.Trans = f.readBool(s, "Trans", c.Trans);
  c.Rig = f.readBool(s, "Rig", c.Rig);
  c.Any = f.readBool(s, "Any", c.Any);
  c.RigFreq = f.readInt(s, "RigFreq", c.RigFreq);
  c.ModeConv = f.readString(s, "ModeConv", c.ModeConv);
  for (const ModeKey& k : kModeKeys) c.*k.on = f.readBool(s, k.key, c.*k.on);
}

void saveConditionSet(ProfileFile& f, const std::string& s,
                      const settings::FirstQsoConditionSet& c) {
  f.writeBool(s, "Use", c.Use);
  f.writeBool(s, "Num", c.Num);
  f.writeString(s, "Num_L", c.Num_L);
  f.writeString(s, "Num_H", c.Num_H);
  f.writeBool(s, "Band", c.Band);
  f.writeBool(s, "Mode", c.Mode);
  f.writeBool(s, "Code", c.Code);
  f.writeBool(s, "Subj", c.Subj);
  f.writeBool(s, "Trans", c.Trans);
  f.writeBool(s, "Rig", c.Rig);
  f.writeQuoted(s, "Text", c.Text);
  f.writeBool(s, "Any", c.Any);
  f.writeInt(s, "RigFreq", c.RigFreq);
  f.writeString(s, "ModeConv", c.ModeConv);
  for (const ModeKey& k : kModeKeys) f.writeBool(s, k.key, c.*k.on);
}

}  // namespace

std::string LoadSettings(MainModel& m, const std::string& path) {
  const ProfileFile f(path);
  settings::StationSettings& st = m.station;

  // [Window]
  m.Left = f.readInt("Window", "Left", m.Left);
  m.Top = f.readInt("Window", "Top", m.Top);
  m.Height = f.readInt("Window", "Height", m.Height);
  m.Width = f.readInt("Window", "Width", m.Width);
  m.CheckBox1 = f.readBool("Window", "Config", m.CheckBox1);
  m.Log123 = f.readInt("Window", "Log123", m.Log123);
  m.Color_1 = f.readInt("Window", "Color_1", m.Color_1);
  m.Color_2 = f.readInt("Window", "Color_2", m.Color_2);
  m.Color_3 = f.readInt("Window", "Color_3", m.Color_3);
  for (int n = 1; n <= 3; ++n) {
    settings::WindowGeometry& g = st.trans[static_cast<std::size_t>(n - 1)];
    for (int i = 0; i < 4; ++i) {
      const std::string key = numbered("Trans", n) + "_" + kGeometryKeys[i];
      *geometryField(g, i) = f.readInt("Window", key, *geometryField(g, i));
    }
  }

  // [Cols], [Mode2]
  m.ComboBox1 = f.readInt("Cols", "LogMode", m.ComboBox1);
  m.radioDisp2 = f.readBool("Mode2", "LogMode", m.radioDisp2);
  m.radioDisp1 = !m.radioDisp2;

  // [Inet]
  m.clickIntervalButton(f.readInt("Inet", "TimeSel", 0));
  m.chkURL1 = f.readBool("Inet", "ChkURL1", m.chkURL1);
  m.chkURL2 = f.readBool("Inet", "ChkURL2", m.chkURL2);
  m.chkURL3 = f.readBool("Inet", "ChkURL3", m.chkURL3);
  m.edtURL1 = f.readString("Inet", "Url1", m.edtURL1);
  m.edtURL2 = f.readString("Inet", "Url2", m.edtURL2);
  m.edtURL3 = f.readString("Inet", "Url3", m.edtURL3);

  // [Alert], [Mail]
  m.chkAlert = f.readBool("Alert", "Alert", m.chkAlert);
  m.edtSound = f.readString("Alert", "Sound", m.edtSound);
  alerts::MailSettings& mail = m.mail;
  mail.chkMail = f.readBool("Mail", "On", mail.chkMail);
  mail.edtPort = f.readString("Mail", "Port", mail.edtPort);
  mail.edtSmtp = f.readString("Mail", "Smtp", mail.edtSmtp);
  mail.edtSmtpID = f.readString("Mail", "ID", mail.edtSmtpID);
  mail.edtTo = f.readString("Mail", "To", mail.edtTo);
  mail.edtFrom = f.readString("Mail", "From", mail.edtFrom);
  mail.edtFromName = f.readString("Mail", "Name", mail.edtFromName);
  mail.edtSubj = f.readString("Mail", "Subj", mail.edtSubj);
  m.Edit1 = f.readString("Mail", "Body", m.Edit1);
  mail.chkAuth = f.readBool("Mail", "Auth", mail.chkAuth);
  mail.edtSmtpPASS = settings::decodePassword(f.readString("Mail", "Word", ""));

  // [Http], [List1] ... [List3] switches
  m.edtSepStart = f.readString("Http", "Start", m.edtSepStart);
  m.edtSepEnd = f.readString("Http", "End", m.edtSepEnd);
  for (int l = 1; l <= 3; ++l) {
    const std::string s = numbered("List", l);
    for (int u = 1; u <= 3; ++u) {
      bool& on = m.listEnabledForUrl(l, u);
      on = f.readBool(s, numbered("Url", u), on);
    }
  }

  // [First_1] ... [First_3]
  for (int n = 1; n <= 3; ++n) loadConditionSet(f, numbered("First_", n), st.set(n));

  // [First]: role slots (out of range gives the slot's default), key modifiers and key name
  for (const RoleKey& k : kRoleKeys) m.roles.*k.slot = f.readInt("First", k.key, m.roles.*k.slot);
  settings::SharedFirstSettings& sh = st.shared;
  sh.RS_SEL = f.readInt("First", "RS_SEL", sh.RS_SEL);
  sh.RMKS_SEL = f.readInt("First", "RMKS_SEL", sh.RMKS_SEL);
  sh.KEY_CTRL = f.readBool("First", "KEY_CTRL", sh.KEY_CTRL);
  sh.KEY_SHIFT = f.readBool("First", "KEY_SHIFT", sh.KEY_SHIFT);
  sh.KEY_ALT = f.readBool("First", "KEY_ALT", sh.KEY_ALT);
  const std::string keyName = f.readString("First", "KEY_DATA", sh.KEY_DATA);
  // A name the table does not know leaves the key selected before, and the name that goes with
  // it, so that the key and the name written back agree.
  if (const int hit = settings::findKeyName(keyName); hit >= 0) {
    sh.KEY_DATA = keyName;
    sh.keyIndex = hit;
  }
  for (const RoleKey& k : kRoleKeys)
    m.roles.*k.slot = spots::roleSlotOrDefault(m.roles.*k.slot, k.defaultSlot);

  // HAMLOG folders, then the Michi-no-eki data of those folders
  for (int n = 1; n <= 3; ++n) {
    std::string& folder = st.set(n).HAMLOG;
    folder = f.readString(numbered("First_", n), numbered("HAMLOG", n), folder);
  }
  loadMichiNoEkiData(m);

  // Patrol window intervals, the rest of [First]
  for (int n = 1; n <= 3; ++n) {
    std::int32_t& interval = st.set(n).Interval;
    interval = f.readInt(numbered("First_", n), "Interval", interval);
  }
  sh.TZ = f.readInt("First", "TZ", sh.TZ);
  for (const ColumnKey& k : kColumnKeys) sh.*k.column = f.readString("First", k.key, sh.*k.column);
  sh.FOCUS_SEL = f.readBool("First", "FOCUS_SEL", sh.FOCUS_SEL);
  // A file of a version without MOUSE_SEL kept the mouse flag under FOCUS_SEL.
  sh.MOUSE_SEL = f.readBool("First", "MOUSE_SEL", f.readBool("First", "FOCUS_SEL", sh.MOUSE_SEL));
  // NEW_AUTO is never read: "new" starts unchecked.
  sh.NEW_STNS = f.readInt("First", "NEW_STNS", sh.NEW_STNS);
  sh.MICHI_WR = f.readInt("First", "MICHI_WR", sh.MICHI_WR);
  sh.MICHI_FUKA = f.readBool("First", "MICHI_FUKA", sh.MICHI_FUKA);
  sh.TIMEOVER_CHK = f.readBool("First", "TIMEOVER_CHK", sh.TIMEOVER_CHK);
  sh.TIMEOVER_MIN = f.readInt("First", "TIMEOVER_MIN", sh.TIMEOVER_MIN);

  // [Tarvopc], [RigDirect]
  settings::TarvopcSettings& tv = st.tarvopc;
  tv.IP = f.readString("Tarvopc", "IP", tv.IP);
  tv.PORT = f.readString("Tarvopc", "PORT", tv.PORT);
  tv.CALL = f.readBool("Tarvopc", "CALL", tv.CALL);
  tv.CODE = f.readBool("Tarvopc", "CODE", tv.CODE);
  tv.QTH = f.readBool("Tarvopc", "QTH", tv.QTH);
  tv.CLEAR = f.readBool("Tarvopc", "CLEAR", tv.CLEAR);
  settings::RigDirectSettings& rig = st.rigDirect;
  rig.Use = f.readBool("RigDirect", "Use", rig.Use);
  rig.Maker = f.readInt("RigDirect", "Maker", rig.Maker);
  rig.Com = f.readInt("RigDirect", "Com", rig.Com);
  rig.Bps = f.readInt("RigDirect", "Bps", rig.Bps);
  rig.RigID = f.readInt("RigDirect", "RigID", rig.RigID);
  rig.PcID = f.readInt("RigDirect", "PcID", rig.PcID);
  rig.RigTarvopc = f.readBool("RigDirect", "RigTarvopc", rig.RigTarvopc);

  // [Font]
  m.ComboBox2 = f.readInt("Font", "Param", 3);

  // [Pilot_1] ... [Pilot_3]
  for (int n = 1; n <= 3; ++n) {
    const std::string s = numbered("Pilot_", n);
    settings::PilotSettings& p = st.pilot[static_cast<std::size_t>(n - 1)];
    p.StayTopOn = f.readBool(s, "StayTopOn", p.StayTopOn);
    p.AutoSet = f.readBool(s, "AutoSet", p.AutoSet);
    p.Sel1 = f.readBool(s, "Sel1", p.Sel1);
    p.Sel2 = f.readBool(s, "Sel2", p.Sel2);
    p.Sel3 = f.readBool(s, "Sel3", p.Sel3);
  }

  // The multi-line values, whole
  if (!f.exists()) return {};
  if (const auto v = f.value("Http", "List"))
    m.Memo_pcre = text::splitLines(settings::unescapeTemplate(*v));
  if (const auto v = f.value("List1", "List")) {
    m.Memo_List1 = settings::unescapeList(*v);
    m.Memo_List1Change();
  }
  if (const auto v = f.value("List2", "List")) {
    m.Memo_List2 = settings::unescapeList(*v);
    m.Memo_List2Change();
  }
  if (const auto v = f.value("List3", "List")) {
    m.Memo_List3 = settings::unescapeList(*v);
    m.Memo_List3Change();
  }
  return settings::unescapeLog(f.readMultiline("Inet", "Log", ""));
}

SaveOutcome SaveSettings(const MainModel& m, const std::string& path) {
  // Loaded first, so that keys kept in place and keys of other versions survive.
  ProfileFile f(path);
  const settings::StationSettings& st = m.station;

  // [Window]
  f.writeInt("Window", "Left", m.Left);
  f.writeInt("Window", "Top", m.Top);
  f.writeInt("Window", "Height", m.Height);
  f.writeInt("Window", "Width", m.Width);
  f.writeBool("Window", "Config", m.CheckBox1);
  f.writeInt("Window", "Log123", m.Log123);
  f.writeInt("Window", "Color_1", m.Color_1);
  f.writeInt("Window", "Color_2", m.Color_2);
  f.writeInt("Window", "Color_3", m.Color_3);
  for (int n = 1; n <= 3; ++n) {
    settings::WindowGeometry g = st.trans[static_cast<std::size_t>(n - 1)];
    for (int i = 0; i < 4; ++i)
      f.writeInt("Window", numbered("Trans", n) + "_" + kGeometryKeys[i], *geometryField(g, i));
  }

  // [Cols], [Mode2]
  f.writeInt("Cols", "LogMode", m.ComboBox1);
  f.writeBool("Mode2", "LogMode", m.radioDisp2);

  // [Inet]
  f.writeInt("Inet", "TimeSel", m.selectedInterval());
  f.writeQuoted("Inet", "Log", settings::escapeLog(lines(m.Memo_Log.lines)));
  f.writeBool("Inet", "ChkURL1", m.chkURL1);
  f.writeBool("Inet", "ChkURL2", m.chkURL2);
  f.writeBool("Inet", "ChkURL3", m.chkURL3);
  f.writeString("Inet", "Url1", m.edtURL1);
  f.writeString("Inet", "Url2", m.edtURL2);
  f.writeString("Inet", "Url3", m.edtURL3);

  // [Alert], [Mail]
  f.writeBool("Alert", "Alert", m.chkAlert);
  f.writeString("Alert", "Sound", m.edtSound);
  const alerts::MailSettings& mail = m.mail;
  f.writeBool("Mail", "On", mail.chkMail);
  f.writeString("Mail", "Port", mail.edtPort);
  f.writeString("Mail", "Smtp", mail.edtSmtp);
  f.writeString("Mail", "ID", mail.edtSmtpID);
  f.writeString("Mail", "To", mail.edtTo);
  f.writeString("Mail", "From", mail.edtFrom);
  f.writeString("Mail", "Name", mail.edtFromName);
  f.writeQuoted("Mail", "Subj", mail.edtSubj);
  f.writeString("Mail", "Body", m.Edit1);
  f.writeBool("Mail", "Auth", mail.chkAuth);
  f.writeQuoted("Mail", "Word", settings::encodePassword(mail.edtSmtpPASS));

  // [Http]
  f.writeString("Http", "Start", m.edtSepStart);
  f.writeString("Http", "End", m.edtSepEnd);
  f.writeString("Http", "List", settings::escapeTemplate(lines(m.Memo_pcre)));

  // [List1] ... [List3]
  const std::string* listTexts[] = {&m.Memo_List1, &m.Memo_List2, &m.Memo_List3};
  for (int l = 1; l <= 3; ++l) {
    const std::string s = numbered("List", l);
    for (int u = 1; u <= 3; ++u) f.writeBool(s, numbered("Url", u), m.listEnabledForUrl(l, u));
    f.writeString(s, "List", settings::escapeList(*listTexts[l - 1]));
  }

  // [First_1] ... [First_3]
  for (int n = 1; n <= 3; ++n) saveConditionSet(f, numbered("First_", n), st.set(n));

  // [First], first part
  const settings::SharedFirstSettings& sh = st.shared;
  for (const RoleKey& k : kRoleKeys) {
    if (std::string_view(k.key) == "HTTP_RMKS") continue;  // written after KEY_DATA
    f.writeInt("First", k.key, m.roles.*k.slot);
  }
  f.writeInt("First", "RS_SEL", sh.RS_SEL);
  f.writeInt("First", "RMKS_SEL", sh.RMKS_SEL);
  f.writeBool("First", "KEY_CTRL", sh.KEY_CTRL);
  f.writeBool("First", "KEY_SHIFT", sh.KEY_SHIFT);
  f.writeBool("First", "KEY_ALT", sh.KEY_ALT);
  f.writeString("First", "KEY_DATA", sh.KEY_DATA);
  f.writeInt("First", "HTTP_RMKS", m.roles.HTTP_RMKS);

  // HAMLOG folders and patrol window intervals into their list sections
  for (int n = 1; n <= 3; ++n)
    f.writeString(numbered("First_", n), numbered("HAMLOG", n), st.set(n).HAMLOG);
  for (int n = 1; n <= 3; ++n) f.writeInt(numbered("First_", n), "Interval", st.set(n).Interval);

  // [First], the rest
  f.writeInt("First", "TZ", sh.TZ);
  for (const ColumnKey& k : kColumnKeys) f.writeString("First", k.key, sh.*k.column);
  f.writeBool("First", "FOCUS_SEL", sh.FOCUS_SEL);
  f.writeBool("First", "MOUSE_SEL", sh.MOUSE_SEL);
  f.writeBool("First", "NEW_AUTO", m.CheckBox2);
  f.writeInt("First", "NEW_STNS", sh.NEW_STNS);
  f.writeInt("First", "MICHI_WR", sh.MICHI_WR);
  f.writeBool("First", "MICHI_FUKA", sh.MICHI_FUKA);
  f.writeBool("First", "TIMEOVER_CHK", sh.TIMEOVER_CHK);
  f.writeInt("First", "TIMEOVER_MIN", sh.TIMEOVER_MIN);

  // [Tarvopc], [RigDirect]
  const settings::TarvopcSettings& tv = st.tarvopc;
  f.writeQuoted("Tarvopc", "IP", tv.IP);
  f.writeQuoted("Tarvopc", "PORT", tv.PORT);
  f.writeBool("Tarvopc", "CALL", tv.CALL);
  f.writeBool("Tarvopc", "CODE", tv.CODE);
  f.writeBool("Tarvopc", "QTH", tv.QTH);
  f.writeBool("Tarvopc", "CLEAR", tv.CLEAR);
  const settings::RigDirectSettings& rig = st.rigDirect;
  f.writeBool("RigDirect", "Use", rig.Use);
  f.writeInt("RigDirect", "Maker", rig.Maker);
  f.writeInt("RigDirect", "Com", rig.Com);
  f.writeInt("RigDirect", "Bps", rig.Bps);
  f.writeInt("RigDirect", "RigID", rig.RigID);
  f.writeInt("RigDirect", "PcID", rig.PcID);
  f.writeBool("RigDirect", "RigTarvopc", rig.RigTarvopc);

  // [Font], [Pilot_1] ... [Pilot_3]
  f.writeInt("Font", "Param", m.ComboBox2);
  for (int n = 1; n <= 3; ++n) {
    const std::string s = numbered("Pilot_", n);
    const settings::PilotSettings& p = st.pilot[static_cast<std::size_t>(n - 1)];
    f.writeBool(s, "StayTopOn", p.StayTopOn);
    f.writeBool(s, "AutoSet", p.AutoSet);
    f.writeBool(s, "Sel1", p.Sel1);
    f.writeBool(s, "Sel2", p.Sel2);
    f.writeBool(s, "Sel3", p.Sel3);
  }

  SaveOutcome out;
  if (!f.save(&out.reason)) {
    out.ok = false;
    // The path is the file system's (UTF-8); the message is shown as CP932 like every text.
    out.message = settings::cannotWriteMessage(text::cp932FromUtf8(path));
  }
  return out;
}

}  // namespace zeltaro::app
