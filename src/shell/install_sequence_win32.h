// The installation that Finish starts.
#pragma once

#include <windows.h>

// Runs the copy phase, the registry phase and the ini edits with a progress
// bar on page (the finish page), shows the final message, requests the
// restart and posts the quit message. Every step runs, whatever the earlier
// ones met.
void RunInstall(HWND page);

// Loads the completion text and the install note from the string table and
// composes the final message into message, which holds kFinalMessageSize
// characters.
void LoadFinalMessage(char* message, int cchMessage);
