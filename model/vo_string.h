#pragma once
#include <string>

// The wide (UTF-16) string of names, paths and texts in the scene code.
using vo_string = std::wstring;
