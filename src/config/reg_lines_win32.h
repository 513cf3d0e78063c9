// Registry lines of setup.dat (root,subkey,value name,flags,value) applied
// to the registry.
#pragma once

#include <windows.h>

#include "setupinfo/setup_text.h"

// Applies every line of the registry section whose first line is at
// position. Blank lines and lines with a field too long for its width are
// skipped; failures are silent.
void ApplyRegSection(const SetupText* text, long position);

// Opens the key path below base, creating missing keys, with each component
// opened by the whole path so far. Returns the key of the last component,
// base itself for an empty path, or null on failure. The keys opened on the
// way are closed; the caller closes the result unless it is base.
HKEY OpenKeyPath(HKEY base, const char* path, REGSAM access);
