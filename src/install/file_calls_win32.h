// The file calls of the replace protocol and the restart schedule, in one
// table that the system's own functions fill at compile time. A test may
// point gFileCalls at a table of its own, to make one call fail or answer as
// Windows 95 does, and so reach a branch that its system never takes.
#pragma once

#include <windows.h>

#include "base/platform_win32.h"

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

// The Windows 95 family has MoveFileExA only as a stub that fails.
inline bool IsWindows95() {
    return IsWindows95Version(gFileCalls->getVersion());
}
