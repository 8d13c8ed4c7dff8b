// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Binds the controls of a Qt window to the fields of its GUI-free model, both ways: a user's
// change runs the model's handler and then shows the whole model again; a change the model made
// reaches the control at the next sync. Every control gets its object name, its hint as tooltip
// and accessible description, and its caption (or its hint where it has none) as accessible
// name here, in one place, so that a screen reader and a test find it by what it says.
// Texts of the model are CP932; captions and hints are UTF-8 literals.

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "settings/setting_row.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace zeltaro::binder {

// What a control says of itself.
struct ControlText {
  QString name;     // object name, the model's name of the control
  QString caption;  // what it shows
  QString hint;     // tooltip
};

class Binder : public QObject {
  Q_OBJECT

 public:
  explicit Binder(QObject* parent = nullptr) : QObject(parent) {}

  // Names w and sets its tooltip, accessible name and accessible description; registers it for
  // control().
  void describe(QWidget* w, const ControlText& t);
  // A control by its name, or null.
  QWidget* control(const QString& name) const;

  // Runs a handler of the model, then shows the model; nothing while the model is being shown.
  void run(const std::function<void()>& handler);
  // Shows the model's state in every bound control.
  void sync();
  bool syncing() const { return syncing_; }
  // A step of sync() for what the binder does not bind itself (geometry, colours ...).
  void onSync(std::function<void()> push) { pushers_.push_back(std::move(push)); }

  QLabel* label(QWidget* parent, const QRect& r, const QString& caption, const QString& hint = {});
  QCheckBox* check(QWidget* parent, const QRect& r, const ControlText& t, bool& field,
                   std::function<void()> handler = {});
  QLineEdit* edit(QWidget* parent, const QRect& r, const ControlText& t, std::string& field,
                  std::function<void()> handler = {});
  QPushButton* button(QWidget* parent, const QRect& r, const ControlText& t,
                      std::function<void()> handler);
  QRadioButton* radio(QWidget* parent, const QRect& r, const ControlText& t, const bool& field,
                      std::function<void()> handler);
  // A drop-down list whose chosen item index is the field.
  QComboBox* combo(QWidget* parent, const QRect& r, const ControlText& t, const QStringList& items,
                   int& index, std::function<void()> handler = {});
  // A multi-line text; onExit runs when the focus leaves it.
  QPlainTextEdit* memo(QWidget* parent, const ControlText& t, std::string& field,
                       std::function<void()> onChange = {}, std::function<void()> onExit = {});

  // The control of a settings row (list number n for list rows), bound to the row's field of
  // target: a check box for a switch, an edit box for a text or number, a drop-down list for an
  // item index (items given).
  template <class T, class P>
  QWidget* bindRow(QWidget* parent, const QRect& r, const settings::SettingRow<T, P>& row, int n,
                   T& target, std::function<void()> handler = {}, const QStringList& items = {}) {
    return bindField(parent, r, rowText(row, n), row.conv, row.field(target, n), std::move(handler),
                     items);
  }
  template <class T, class P>
  static ControlText rowText(const settings::SettingRow<T, P>& row, int n) {
    const auto numbered = [n](const char* s) {
      return QString::fromUtf8(n ? settings::forList(s, n).c_str() : s);
    };
    return {numbered(row.control), numbered(row.caption), QString::fromUtf8(row.hint)};
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  QWidget* bindField(QWidget* parent, const QRect& r, const ControlText& t, settings::Conv conv,
                     const settings::FieldPtr& field, std::function<void()> handler,
                     const QStringList& items);

  bool syncing_ = false;
  std::vector<std::function<void()>> pushers_;
  std::map<QString, QWidget*> controls_;
  std::map<QObject*, std::function<void()>> onExit_;
};

}  // namespace zeltaro::binder
