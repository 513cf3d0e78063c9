// The error box of the install phases.
#pragma once

extern const char kErrorCaption[];  // "Error"

// Shows text in a message box with caption "Error", the stop icon and an OK
// button, owned by the window that has the focus. Returns when it is closed.
void ShowErrorBox(const char* text);
