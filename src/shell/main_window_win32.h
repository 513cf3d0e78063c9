// The program's entry, its window classes and the invisible main window
// that owns the wizard.
#pragma once

#include <windows.h>

// Each returns non-zero on success.
ATOM RegisterMainClass(HINSTANCE instance);
ATOM RegisterLogoClass(HINSTANCE instance);
BOOL CreateMainWindow(HINSTANCE instance);

// What the process needs before its first window: critical errors, such as
// an empty drive, fail to the program instead of showing a system box.
void ApplyStartupSettings();
