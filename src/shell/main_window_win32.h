// The program's window classes and the invisible main window that owns the
// wizard.
#pragma once

#include <windows.h>

// Each returns non-zero on success.
ATOM RegisterMainClass(HINSTANCE instance);
ATOM RegisterLogoClass(HINSTANCE instance);
BOOL CreateMainWindow(HINSTANCE instance);
