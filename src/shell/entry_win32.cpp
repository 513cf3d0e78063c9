#include "entry_win32.h"

#include <windows.h>

#include <commctrl.h>

#include "main_window_win32.h"
#include "setupinfo/setup_state_win32.h"

void ApplyStartupSettings() {
    // A look for a file in an empty drive, while the user changes diskettes,
    // fails quietly into the program's own prompt instead of the system's
    // "drive not ready" box.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    InitCommonControls();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ApplyStartupSettings();
    gSetup.instance = instance;
    if (!RegisterMainClass(instance) || !RegisterLogoClass(instance))
        return 0;
    LoadSetupState();
    if (!CreateMainWindow(instance))
        return 0;

    // Every way out of the wizard has posted the quit message by now.
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : 0;
}
