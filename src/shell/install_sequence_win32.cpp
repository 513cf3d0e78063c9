#include "install_sequence_win32.h"

#include <commctrl.h>

#include "config/device_registration_win32.h"
#include "config/ini_files_win32.h"
#include "final_message.h"
#include "final_message_win32.h"
#include "install/copy_phase_win32.h"
#include "install/copy_progress.h"
#include "restart_win32.h"
#include "setupinfo/setup_state_win32.h"

static const char kReadMeCaption[] = "READ ME";

// Where the progress bar stands on the finish page, in pixels.
static const RECT kProgressBarPlace = {165, 200, 165 + 275, 200 + 18};

// The progress bar below the status lines; the install goes on without it
// when it cannot be created.
static void CreateProgressBar(HWND page) {
    const RECT& r = kProgressBarPlace;
    gSetup.progressBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, r.left,
                                         r.top, r.right - r.left, r.bottom - r.top, page,
                                         nullptr, gSetup.instance, nullptr);
    if (gSetup.progressBar == nullptr)
        return;
    SendMessageA(gSetup.progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressEnd));
    SendMessageA(gSetup.progressBar, PBM_SETSTEP, 1, 0);
}

static void DestroyProgressBar() {
    if (gSetup.progressBar == nullptr)
        return;
    DestroyWindow(gSetup.progressBar);
    gSetup.progressBar = nullptr;
}

void RunInstall(HWND page) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    CreateProgressBar(page);
    CopyPhase(page);
    RegisterDisplayDevices(page);
    UpdateIniFiles();
    DestroyProgressBar();
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));

    char message[kFinalMessageSize];
    LoadFinalMessage(message, sizeof message);
    MessageBoxA(GetFocus(), message, kReadMeCaption, MB_OK);
    RequestRestart();
    PostQuitMessage(0);
}
