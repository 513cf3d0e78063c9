// The copy phase: every file of the [WindowsDir] and [SystemDir] lists of
// setup.dat from the diskettes into the Windows and System directories.
#pragma once

#include <windows.h>

#include "copy_rules.h"
#include "setupinfo/setup_text.h"

// Runs the whole phase. page is the finish page, owner of the status lines
// IDC_SOURCE_STATUS and IDC_TARGET_STATUS. Loads gSetupText; releases it only
// when a list section is missing, otherwise leaves it loaded for the registry
// phase.
void CopyPhase(HWND page);

enum CopyListResult {
    kListCopied,     // every line of the list was worked through
    kListCancelled,  // the user cancelled a diskette prompt: the rest is skipped
};

// ReadSetupString in the shape TakeDiskLabels reads with; context is unused.
void ReadFromSetupDat(void* context, const char* section, const char* key,
                      const char* defaultText, char* buffer, int cchBuffer);

// Copies every file of the list whose first line is at position; a diskette
// prompt shows the labels as TakeDiskLabels took them.
CopyListResult CopySectionFiles(HWND page, const SetupText* text, long position,
                                const DiskLabels* labels, const char* sourceDir,
                                const char* targetDir);
