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

// Deletes the new files that an earlier run, cut off by a power failure for
// one, left unfinished in the Windows and System folders and their inf
// folders: kelXXXX.tmp files that the restart is not to rename. Deletes
// nothing when the restart's schedule cannot be read whole.
void DeleteUnfinishedFilesOfEarlierRuns();

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

// The file calls of the replace protocol and the restart schedule, in one
// table that the system's own functions fill at compile time. A test may
// point gFileCalls at a table of its own, to make one call fail or answer as
// Windows 95 does, and so reach a branch that its system never takes.
struct FileCalls {
    BOOL(WINAPI* moveFile)(LPCSTR from, LPCSTR to);
    // MoveFileExA where the system has it; fails with
    // ERROR_CALL_NOT_IMPLEMENTED where it has not.
    BOOL(WINAPI* moveFileEx)(LPCSTR from, LPCSTR to, DWORD flags);
    BOOL(WINAPI* deleteFile)(LPCSTR path);
    DWORD(WINAPI* getAttributes)(LPCSTR path);
    BOOL(WINAPI* setAttributes)(LPCSTR path, DWORD attributes);
    // The writer of wininit.ini's lines: WritePrivateProfileStringA.
    BOOL(WINAPI* writeProfileString)(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file);
    DWORD(WINAPI* getVersion)();
};

extern const FileCalls kSystemFileCalls;
extern const FileCalls* gFileCalls;
