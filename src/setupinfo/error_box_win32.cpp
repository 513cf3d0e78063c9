#include "error_box.h"

#include "setup_state.h"
#include "text.h"

const char kErrorCaption[] = "Error";
const char kCantFindSectionFormat[] = "Can't find section: %s";

void ShowErrorBox(const char* text) {
    MessageBoxA(GetFocus(), text, kErrorCaption, MB_OK | MB_ICONSTOP);
}

void ShowMissingSection(const char* header) {
    TextFormat(gSetup.messageText, sizeof gSetup.messageText, kCantFindSectionFormat, header);
    ShowErrorBox(gSetup.messageText);
}
