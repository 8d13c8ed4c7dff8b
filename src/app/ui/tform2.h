#pragma once
// The settings dialog; hidden until the main window opens it.

#include <QDialog>

#include "app/main_model.h"

namespace zeltaro::app::ui {

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(MainModel& model, QWidget* parent = nullptr);

 protected:
  bool event(QEvent* e) override;

 private:
  MainModel& model_;
};

}  // namespace zeltaro::app::ui
