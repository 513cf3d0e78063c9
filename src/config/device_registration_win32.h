// The registry phase: every PCI instance of the adapter gets its description
// and maker, and its driver key the [Driver.AddReg] lines.
#pragma once

#include <windows.h>

// Runs the whole phase; page is handed on and not used. Releases gSetupText
// at its end.
void RegisterDisplayDevices(HWND page);
