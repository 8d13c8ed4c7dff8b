#include "gui/click_label.h"
