#include "app/ui/tform1.h"

#include <QCloseEvent>
#include <QEvent>

#include "text/codec.h"

namespace zeltaro::app::ui {

TForm1::TForm1(MainModel& model, const std::vector<std::string>& args, QWidget* parent)
    : QMainWindow(parent), model_(model) {
  model_.LastActiveWindow = this;
  model_.startUp(args);
  refreshCaption();
  // Timer1 itself runs for the whole life of the window; the model's flag says whether a tick
  // reaches the handler, so the model can stop and restart it (reload) without the window.
  timer1_.setInterval(1000);
  timer1_.setTimerType(Qt::CoarseTimer);
  connect(&timer1_, &QTimer::timeout, this, &TForm1::tick);
  timer1_.start();
}

void TForm1::refreshCaption() {
  setWindowTitle(QString::fromStdString(text::utf8FromCp932(model_.caption)));
}

void TForm1::tick() {
  if (!model_.Timer1Enabled) return;
  model_.Timer1Timer();
  refreshCaption();
}

bool TForm1::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) model_.LastActiveWindow = this;
  return QMainWindow::event(e);
}

void TForm1::closeEvent(QCloseEvent* e) {
  e->accept();
  // A second request (a signal during the close, say) must not run the close sequence again.
  if (closed_) return;
  closed_ = true;
  timer1_.stop();
  model_.close();
  emit closed();
}

}  // namespace zeltaro::app::ui
