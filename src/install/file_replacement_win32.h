// A file installed in place of the one that was there: expanded beside it,
// then renamed in, with the old file moved aside and put back when the
// rename fails, or replaced at the restart when it is in use.
#pragma once

#include <windows.h>

// Installs the open LZ source as the target. Returns its size, or -1 when it
// could not be installed: the old target is then as it was, or its bytes
// are at asidePath (kPathSize characters; empty otherwise). A folder in the
// target's place is never moved.
LONG InstallFile(INT source, const char* targetPath, char* asidePath);
