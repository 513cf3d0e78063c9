// The installation that Finish starts.
#pragma once

#include <windows.h>

// Runs the copy phase, the registry phase and the ini edits with a progress
// bar on page (the finish page), shows the final message, requests the
// restart and posts the quit message. Every step runs, whatever the earlier
// ones met.
void RunInstall(HWND page);
