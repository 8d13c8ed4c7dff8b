// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/station_json.h"

#include <QJsonArray>
#include <functional>
#include <variant>

#include "app/main_model.h"
#include "app/settings_table.h"
#include "settings_dialog/station_rows.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::web {
namespace {

QString fromCp932(const std::string& s) { return QString::fromStdString(text::utf8FromCp932(s)); }
std::string toCp932(const QString& s) { return text::cp932FromUtf8(s.toStdString()); }

bool lit(const alerts::LampLabel& lamp) { return lamp.fontColor == alerts::kLampRed; }

// The set-up settings the page edits: the control names of their rows.
constexpr const char* kSetupControls[] = {"edtURL1",     "edtURL2",   "edtURL3", "edtSepStart",
                                          "edtSepEnd",   "Memo_pcre", "Edit1",   "edtSmtp",
                                          "edtPort",     "edtSmtpID", "edtTo",   "edtFrom",
                                          "edtFromName", "edtSubj",   "chkAuth", "edtSmtpPASS"};
// Of the settings dialog's rows: the HAMLOG folder of each list and the rig's serial port.
constexpr const char* kStationControls[] = {"StaticText1", "StaticText2", "StaticText3",
                                            "ComboBox3"};
constexpr const char* kPasswordControl = "edtSmtpPASS";

// A field of a row, whichever table it is in.
settings::FieldPtr fieldOf(app::MainModel& m, const char* control) {
  int n = 0;
  if (const app::SettingRow* row = app::settingRowForControl(control, &n); row && row->field)
    return row->field(m, n);
  settingsdialog::DialogTarget target{m.station, m.pageChecks.roles};
  for (const auto rows : {settingsdialog::conditionRows(), settingsdialog::patrolAndRigRows()}) {
    for (const settingsdialog::StationRow& row : rows) {
      if (!*row.control || !row.field) continue;
      for (int l = row.isListRow() ? 1 : 0; l <= (row.isListRow() ? 3 : 0); ++l)
        if (settings::controlForList(row.control, l) == control) return row.field(target, l);
    }
  }
  return {};
}

QJsonValue valueOf(const settings::FieldPtr& field) {
  if (auto* b = std::get_if<bool*>(&field)) return **b;
  if (auto* i = std::get_if<std::int32_t*>(&field)) return **i;
  if (auto* s = std::get_if<std::string*>(&field)) return fromCp932(**s);
  if (auto* v = std::get_if<std::vector<std::string>*>(&field))
    return fromCp932(text::joinLines(**v)).replace("\r\n", "\n");
  return {};
}

// Whether the field took a value of the right kind.
bool assign(const settings::FieldPtr& field, const QJsonValue& value) {
  if (auto* b = std::get_if<bool*>(&field)) {
    if (!value.isBool()) return false;
    **b = value.toBool();
  } else if (auto* i = std::get_if<std::int32_t*>(&field)) {
    if (!value.isDouble()) return false;
    **i = value.toInt();
  } else if (auto* s = std::get_if<std::string*>(&field)) {
    if (!value.isString()) return false;
    // One line: a line break typed into a one-line field goes, as the window's edit drops it.
    QString t = value.toString();
    t.remove('\r');
    t.replace('\n', ' ');
    **s = toCp932(t);
  } else if (auto* v = std::get_if<std::vector<std::string>*>(&field)) {
    if (!value.isString()) return false;
    QString t = value.toString();
    t.remove('\r');
    **v = text::splitLines(toCp932(t.replace("\n", "\r\n")));
  } else {
    return false;
  }
  return true;
}

}  // namespace

QJsonObject liveState(app::MainModel& m) {
  QJsonArray log;
  for (const std::string& line : m.logViews.Memo_Log2.lines) log.append(fromCp932(line));
  const alerts::Lamps& lamps = m.alerts.lamps;
  QJsonArray counters, pages;
  for (int i = 0; i < 3; ++i) {
    counters.append(fromCp932(m.watchLists.LabelList[static_cast<std::size_t>(i)]));
    pages.append(m.pageChecks.chkURL[static_cast<std::size_t>(i)]);
  }
  return QJsonObject{
      {"log", log},
      {"lamps", QJsonArray{lit(lamps.masterLamp), lit(lamps.list1Lamp), lit(lamps.list2Lamp),
                           lit(lamps.list3Lamp)}},
      {"counters", counters},
      {"pages", pages},
      {"alert", m.alerts.chkAlert},
      {"mail", m.alerts.mail.chkMail},
      {"interval", m.selectedInterval()},
      {"checking", m.checkRunning()},
  };
}

std::size_t liveFingerprint(app::MainModel& m) {
  std::size_t h = 0;
  auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
  const auto& log = m.logViews.Memo_Log2.lines;
  mix(log.size());
  if (!log.empty()) {
    mix(std::hash<std::string>{}(log.front()));
    mix(std::hash<std::string>{}(log.back()));
  }
  const alerts::Lamps& lamps = m.alerts.lamps;
  mix(lit(lamps.masterLamp) | lit(lamps.list1Lamp) << 1 | lit(lamps.list2Lamp) << 2 |
      lit(lamps.list3Lamp) << 3);
  for (std::size_t i = 0; i < 3; ++i) {
    mix(std::hash<std::string>{}(m.watchLists.LabelList[i]));
    mix(m.pageChecks.chkURL[i]);
  }
  mix(m.alerts.chkAlert | m.alerts.mail.chkMail << 1 | m.checkRunning() << 2);
  mix(static_cast<std::size_t>(m.selectedInterval()));
  return h;
}

QJsonObject listsState(app::MainModel& m) {
  QJsonArray lists;
  for (int l = 1; l <= 3; ++l) {
    QJsonArray urls;
    for (int u = 1; u <= 3; ++u) urls.append(m.listEnabledForUrl(l, u));
    QString textOfList = fromCp932(m.listText(l));
    textOfList.replace("\r\n", "\n");
    lists.append(QJsonObject{{"text", textOfList}, {"urls", urls}});
  }
  return QJsonObject{{"lists", lists}};
}

QJsonObject setupState(app::MainModel& m) {
  QJsonObject o;
  for (const char* control : kSetupControls) {
    if (std::string_view(control) == kPasswordControl) continue;
    o.insert(control, valueOf(fieldOf(m, control)));
  }
  for (const char* control : kStationControls) o.insert(control, valueOf(fieldOf(m, control)));
  o.insert("passwordSet", !m.alerts.mail.edtSmtpPASS.empty());
  return o;
}

SetupChange applySetup(app::MainModel& m, const QJsonObject& settings) {
  SetupChange change;
  for (const char* control : kSetupControls)
    if (settings.contains(control) && assign(fieldOf(m, control), settings.value(control)))
      ++change.applied;
  for (const char* control : kStationControls) {
    if (!settings.contains(control)) continue;
    const settings::FieldPtr field = fieldOf(m, control);
    const QJsonValue before = valueOf(field);
    if (!assign(field, settings.value(control))) continue;
    ++change.applied;
    if (before != valueOf(field)) {
      if (std::string_view(control) == "ComboBox3")
        change.rigChanged = true;
      else
        change.foldersChanged = true;
    }
  }
  return change;
}

}  // namespace zeltaro::web
