#include "file_calls_win32.h"

// The system's functions, each behind one of our own: the address of an
// imported function is known only once the program is loaded, and the
// table is filled before that.
static BOOL WINAPI SystemMoveFile(LPCSTR from, LPCSTR to) {
    return MoveFileA(from, to);
}

typedef BOOL(WINAPI* MoveFileExFn)(LPCSTR, LPCSTR, DWORD);

static BOOL WINAPI SystemMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
    auto moveFileEx = LookUpFunction<MoveFileExFn>("kernel32.dll", "MoveFileExA");
    if (moveFileEx == nullptr) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    return moveFileEx(from, to, flags);
}

static BOOL WINAPI SystemDeleteFile(LPCSTR path) {
    return DeleteFileA(path);
}

static DWORD WINAPI SystemGetAttributes(LPCSTR path) {
    return GetFileAttributesA(path);
}

static BOOL WINAPI SystemSetAttributes(LPCSTR path, DWORD attributes) {
    return SetFileAttributesA(path, attributes);
}

static BOOL WINAPI SystemWriteProfileString(LPCSTR section, LPCSTR key, LPCSTR text,
                                            LPCSTR file) {
    return WritePrivateProfileStringA(section, key, text, file);
}

static DWORD WINAPI SystemGetVersion() {
    return GetVersion();
}

const FileCalls kSystemFileCalls = {SystemMoveFile,      SystemMoveFileEx,
                                    SystemDeleteFile,    SystemGetAttributes,
                                    SystemSetAttributes, SystemWriteProfileString,
                                    SystemGetVersion};
const FileCalls* gFileCalls = &kSystemFileCalls;
