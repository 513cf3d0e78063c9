// The two-page wizard: the welcome page, and the finish page whose Finish
// runs the install.
#pragma once

#include <windows.h>

// Runs the wizard modally, owned by parent; returns when it has closed.
void RunWizard(HWND parent);
