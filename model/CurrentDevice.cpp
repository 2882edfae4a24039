#include "model/CurrentDevice.h"

IDirect3DDevice9* CurrentDevice = nullptr;
