#include "app/main_model.h"

namespace zeltaro::app {

MainModel::MainModel() = default;

void MainModel::startUp(const std::vector<std::string>& /*args*/) { Timer1Enabled = true; }

void MainModel::close() {}

void MainModel::Timer1Timer() {}

}  // namespace zeltaro::app
