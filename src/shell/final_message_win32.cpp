#include "final_message_win32.h"

#include <windows.h>

#include "final_message.h"
#include "resource.h"
#include "setupinfo/setup_state_win32.h"

void LoadFinalMessage(char* message, int cchMessage) {
    char complete[kStringResourceSize];
    char note[kStringResourceSize];
    if (LoadStringA(gSetup.instance, IDS_COMPLETE, complete, sizeof complete) <= 0)
        complete[0] = '\0';
    if (LoadStringA(gSetup.instance, IDS_INSTALL_NOTE, note, sizeof note) <= 0)
        note[0] = '\0';
    ComposeFinalMessage(complete, note, gSetup.productName, message, cchMessage);
}
