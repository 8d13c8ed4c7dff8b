#pragma once
// The running station: the real platform services and the main window model built on them.
// main() makes one; its lifetime is the program's.

#include <memory>
#include <string>

#include "app/main_model.h"

namespace zeltaro::app {

class Station {
 public:
  // exeDirCp932: the folder of the running executable (the default sound and the settings
  // file live there).
  explicit Station(std::string exeDirCp932);
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  MainModel& model() { return *model_; }

 private:
  struct Services;
  std::unique_ptr<Services> services_;
  std::unique_ptr<MainModel> model_;
};

}  // namespace zeltaro::app
