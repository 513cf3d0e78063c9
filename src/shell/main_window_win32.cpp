#include "main_window_win32.h"

#include "base/text.h"
#include "painting_win32.h"
#include "resource.h"
#include "wizard_win32.h"

static const char kMainClassName[] = "KelmoWClass";

// Runs the wizard while the window is being created.
static LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        RunWizard(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Both classes share everything but their name and procedure.
static ATOM RegisterProgramClass(HINSTANCE instance, const char* name, WNDPROC windowProc) {
    WNDCLASSA windowClass;
    ZeroBytes(&windowClass, sizeof windowClass);
    windowClass.style = 0;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_KELMO));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass);
}

ATOM RegisterMainClass(HINSTANCE instance) {
    return RegisterProgramClass(instance, kMainClassName, MainWndProc);
}

ATOM RegisterLogoClass(HINSTANCE instance) {
    return RegisterProgramClass(instance, kLogoClassName, LogoWndProc);
}

// The window is never shown; the wizard runs while it is being created.
BOOL CreateMainWindow(HINSTANCE instance) {
    HWND window = CreateWindowExA(0, kMainClassName, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  instance, nullptr);
    return window != nullptr;
}
