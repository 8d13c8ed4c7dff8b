#include "app/ui/click_label.h"
