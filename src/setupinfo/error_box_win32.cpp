#include "error_box_win32.h"

#include "setup_state_win32.h"
#include "setup_vocabulary.h"

const char kErrorCaption[] = "Error";

void ShowErrorBox(const char* text) {
    MessageBoxA(GetFocus(), text, kErrorCaption, MB_OK | MB_ICONSTOP);
}

void ShowMissingSection(const char* header) {
    FormatMissingSection(gSetup.messageText, sizeof gSetup.messageText, header);
    ShowErrorBox(gSetup.messageText);
}
