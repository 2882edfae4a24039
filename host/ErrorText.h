#pragma once
#include <windows.h>

// The string-table entry that explains a failure code; codes without an entry of their own
// (0 and 0x8200000D among them) get the general text 2100.
UINT ErrorStringId(HRESULT code);

const UINT kGeneralErrorStringId = 2100;
