#pragma once
// The mail status window. Unlike the other windows it never becomes LastActiveWindow: the
// focus is not handed back to it after a transfer.

#include <QWidget>

namespace zeltaro::app::ui {

class TForm3 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);
};

}  // namespace zeltaro::app::ui
