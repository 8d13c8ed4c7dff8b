#include "app/ui/tform3.h"

namespace zeltaro::app::ui {

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QString::fromUtf8("Zeltaro  メール送信ステータス"));
}

}  // namespace zeltaro::app::ui
