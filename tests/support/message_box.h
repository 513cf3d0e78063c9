// The message boxes of the program under test, read and answered as a person
// would: from a thread of the same process (the Win32 tests) or from another
// process (the end-to-end driver).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct MessageBoxView {
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;  // the usable ones by name: "ok", "cancel", ...
    bool icon;
};

std::string WindowText(HWND window);  // gives up on a window of a hung process
bool ControlUsable(HWND dialog, int id);  // there, visible and enabled

// Reads a message box. False for a dialog that is not one, or not yet or no
// longer: no text control or no usable button.
bool ReadMessageBox(HWND box, MessageBoxView* view);

int BoxButtonId(const std::string& name);  // of "ok" or "cancel"; IDOK for another name

// Presses a button by posting its click, not sending it: the box's owner
// goes on with its work once the box ends, and the caller keeps watching.
void PressBoxButton(HWND box, int id);
