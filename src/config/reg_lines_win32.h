// Registry lines of setup.dat (root,subkey,value name,flags,value) applied
// to the registry.
#pragma once

#include <windows.h>

#include "setupinfo/fields.h"
#include "setupinfo/setup_text.h"

// Applies every line of the registry section whose first line is at
// position. Blank lines and lines with a field too long for its width are
// skipped; failures are silent.
void ApplyRegSection(const SetupText* text, long position);

// Applies one line of count fields (1 to 5). HKR lines go below the driver
// key of gSetup.driverInstance. The base key is opened, and created, for
// every count; count 2 also creates the key path, count 5 stores the value
// as a string. A root not in RootKeyTable, or a base key that cannot be
// opened, skips the line; failures are silent.
void ApplyRegLine(int count, const RegLineRecord* record);

// Opens the key path below base, creating missing keys, with each component
// opened by the whole path so far. Returns the key of the last component,
// base itself for an empty path, or null on failure. The keys opened on the
// way are closed; the caller closes the result unless it is base.
HKEY OpenKeyPath(HKEY base, const char* path, REGSAM access);
