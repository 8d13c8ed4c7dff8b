#include "app/ui/tform2.h"

#include <QEvent>

namespace zeltaro::app::ui {

TForm2::TForm2(MainModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle(QString::fromUtf8("ログからファーストQSO局を抽出する条件設定など"));
}

bool TForm2::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) model_.LastActiveWindow = this;
  return QDialog::event(e);
}

}  // namespace zeltaro::app::ui
