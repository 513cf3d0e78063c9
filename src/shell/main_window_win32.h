// The program's entry, its window classes and the invisible main window
// that owns the wizard.
#pragma once

#include <windows.h>

extern const char kMainClassName[];  // "KelmoWClass"

// Each returns non-zero on success.
ATOM RegisterMainClass(HINSTANCE instance);
ATOM RegisterLogoClass(HINSTANCE instance);
BOOL CreateMainWindow(HINSTANCE instance);

// Runs the wizard while the window is being created.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
