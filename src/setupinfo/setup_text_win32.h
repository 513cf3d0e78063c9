// setup.dat loaded from its file into SetupText, through FilterSetupText.
#pragma once

#include "setup_text.h"

// Loads the file at path into setupText, denying others writing while it
// reads. Returns false when the file cannot be opened or read, or memory
// cannot be had.
bool LoadSetupText(const char* path, SetupText* setupText);

// Frees the text, if loaded, and marks it not loaded.
void ReleaseSetupText(SetupText* setupText);
