#include "app/ui/tform4.h"

#include <QEvent>

namespace zeltaro::app::ui {

TForm4::TForm4(MainModel& model, QWidget* parent) : QWidget(parent, Qt::Window), model_(model) {}

bool TForm4::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) model_.LastActiveWindow = this;
  return QWidget::event(e);
}

}  // namespace zeltaro::app::ui
