#pragma once
// A transfer patrol list window; three exist for the whole run, hidden until fed.

#include <QWidget>

#include "app/main_model.h"

namespace zeltaro::app::ui {

class TForm4 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm4(MainModel& model, QWidget* parent = nullptr);

 protected:
  bool event(QEvent* e) override;

 private:
  MainModel& model_;
};

}  // namespace zeltaro::app::ui
