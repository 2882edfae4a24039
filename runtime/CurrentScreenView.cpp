#include "runtime/CurrentScreenView.h"

ScreenView* CurrentScreenView = nullptr;
