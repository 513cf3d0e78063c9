// The two-page wizard: the welcome page 101 and the finish page 102, whose
// Finish runs the install.
#pragma once

#include <windows.h>

// Runs the wizard modally, owned by parent; returns when it has closed.
void RunWizard(HWND parent);
