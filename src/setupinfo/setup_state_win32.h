// The process-wide setup state shared by every part of the program.
//
// Each field is written by one subsystem (named beside it; the others by
// LoadSetupState at start) and read by the others. The record sits beside the
// setup information so that the copy phase, the system configuration and the
// shell can all read it without depending on each other.
#pragma once

#include <windows.h>

#include "base/code_page.h"
#include "setup_sizes.h"
#include "setup_text_win32.h"


struct SetupState {
    HINSTANCE instance;                      // shell: entry
    LeadBytes leadBytes;                     // of the system's ANSI code page
    char sourceDir[kPathSize];               // start directory, no trailing backslash
    char setupDatPath[kPathSize];            // sourceDir\setup.dat; empty when it does not fit
    char productName[kProductNameSize];
    LONG expectedBytes;                      // "SizeInKB" times 1000
    char loadProgram[kLoadProgramSize];
    char systemDir[kPathSize];
    char windowsDir[kPathSize];
    char driverInf[kPathSize];
    char oemsetupInf[kPathSize];
    LONG copiedBytes;                        // copy phase: sizes rounded up to 2048
    HWND progressBar;                        // install sequence
    char vender[kPathSize];
    char mfg[kPathSize];
    char driverInstance[kDriverInstanceSize];  // device registration, "0000" at first
    char messageText[kPathSize];             // prompts and error texts
};

extern SetupState gSetup;

// The setup text, loaded by the copy phase and released by the registry
// phase at its end, or by the copy phase when a list section is missing.
extern SetupText gSetupText;

// Fills leadBytes, sourceDir, setupDatPath, systemDir and windowsDir from the
// system and the current directory, and every keyed value of setup.dat the install
// uses: productName, expectedBytes, loadProgram, driverInf, oemsetupInf,
// vender and mfg. The banner's values are read when the wizard is made and
// the diskette labels when the copy phase starts, both before the first
// diskette prompt.
void LoadSetupState();

// Profile reads from setup.dat. With no usable setupDatPath they give the
// default, so a path that did not fit never reads some other file.
// ReadSetupString may be given its own buffer as the default: an absent key
// then leaves the buffer as it was.
void ReadSetupString(const char* section, const char* key, const char* defaultText,
                     char* buffer, int cchBuffer);
int ReadSetupInt(const char* section, const char* key, int defaultValue);

// Formats the missing-section error for header into messageText and shows it
// in the error box.
void ShowMissingSection(const char* header);
