#pragma once
// The main window. Thin: its state and handlers live in MainModel; this class shows the
// caption and forwards the timer, activation and close to the model.

#include <QMainWindow>
#include <QTimer>
#include <string>
#include <vector>

#include "app/main_model.h"

namespace zeltaro::app::ui {

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // Runs the construction step and then the model's start-up sequence with args (the whole
  // command line, program path first, CP932 bytes).
  TForm1(MainModel& model, const std::vector<std::string>& args, QWidget* parent = nullptr);

  // Shows the model's caption.
  void refreshCaption();

 signals:
  // The window has been closed and the model's close sequence has run: the run is over.
  void closed();

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void tick();

  MainModel& model_;
  QTimer timer1_;
  bool closed_ = false;
};

}  // namespace zeltaro::app::ui
