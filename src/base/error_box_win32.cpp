#include "error_box_win32.h"

#include <windows.h>

const char kErrorCaption[] = "Error";

void ShowErrorBox(const char* text) {
    MessageBoxA(GetFocus(), text, kErrorCaption, MB_OK | MB_ICONSTOP);
}
