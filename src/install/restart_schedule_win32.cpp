#include "restart_schedule_win32.h"

#include <windows.h>

#include "base/text.h"
#include "file_calls_win32.h"
#include "setupinfo/setup_state_win32.h"
#include "temp_files_win32.h"

static const char kWininitFile[] = "wininit.ini";
static const char kWininitSection[] = "rename";
static const char kWininitDelete[] = "NUL";  // the key of a line that deletes its file

static const char* NameOf(const char* path) {
    const char* cut = FindLastSeparator(path, false, gSetup.leadBytes);
    return cut ? cut + 1 : path;
}

static bool IsOurTempName(const char* path) {
    const char* name = NameOf(path);
    return IsTempName(name, kNewFilePrefix) || IsTempName(name, kOldFilePrefix);
}

// A [rename] line of wininit.ini, which the Windows 95 family carries out
// once at boot, in short names: "target=file" puts file in target's place,
// "NUL=file" deletes file. The profile writer keeps one line a key, so a
// file of this program that an earlier line would have dealt with is
// deleted now: it is a temporary file nothing holds, and no line would ever
// name it again.
static bool WriteWininitLine(const char* key, const char* shortPath) {
    char pending[kPathSize];
    GetPrivateProfileStringA(kWininitSection, key, "", pending, sizeof pending, kWininitFile);
    if (pending[0] != '\0' && lstrcmpiA(pending, shortPath) != 0 && IsOurTempName(pending)) {
        gFileCalls->setAttributes(pending, FILE_ATTRIBUTE_NORMAL);
        gFileCalls->deleteFile(pending);
    }
    return gFileCalls->writeProfileString(kWininitSection, key, shortPath, kWininitFile);
}

static bool ShortPath(const char* path, char* shortPath) {
    DWORD cch = GetShortPathNameA(path, shortPath, kPathSize);
    return cch > 0 && cch < kPathSize;
}

bool ReplaceAtRestart(const char* tempPath, const char* targetPath) {
    if (IsWindows95()) {
        char shortTemp[kPathSize];
        char shortTarget[kPathSize];
        return ShortPath(tempPath, shortTemp) && ShortPath(targetPath, shortTarget) &&
               WriteWininitLine(shortTarget, shortTemp);
    }
    const DWORD flags = MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING;
    return gFileCalls->moveFileEx(tempPath, targetPath, flags);
}

void DeleteNowOrAtRestart(const char* path) {
    gFileCalls->setAttributes(path, FILE_ATTRIBUTE_NORMAL);
    if (gFileCalls->deleteFile(path))
        return;
    if (IsWindows95()) {
        char shortPath[kPathSize];
        if (ShortPath(path, shortPath))
            WriteWininitLine(kWininitDelete, shortPath);
        return;
    }
    gFileCalls->moveFileEx(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

static const char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
static const int kScheduleSize = 8192;

// The restart's renames and deletes as the system keeps them: zero-terminated
// texts, each naming a file last; on the NT family an empty one stands for
// the missing target of a delete. Returns the bytes they take, or -1 when
// they cannot be read whole.
static long ReadRestartSchedule(char* schedule) {
    ZeroBytes(schedule, kScheduleSize);
    if (IsWindows95()) {
        DWORD cch = GetPrivateProfileSectionA(kWininitSection, schedule, kScheduleSize - 2,
                                              kWininitFile);
        return cch < kScheduleSize - 4 ? (long)cch : -1;
    }
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result == ERROR_FILE_NOT_FOUND ? 0 : -1;
    DWORD cb = kScheduleSize - 2;
    result = RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr,
                              reinterpret_cast<BYTE*>(schedule), &cb);
    RegCloseKey(key);
    if (result == ERROR_FILE_NOT_FOUND)
        return 0;
    return result == ERROR_SUCCESS ? (long)cb : -1;
}

static bool IsScheduled(const char* schedule, long cbSchedule, const char* name) {
    for (long at = 0; at < cbSchedule; at += TextLength(schedule + at) + 1)
        if (lstrcmpiA(NameOf(schedule + at), name) == 0)
            return true;
    return false;
}

// Deletes the new files that a run cut off, by a power failure for one, left
// in the folder, keeping every one the restart is still to rename.
static void DeleteUnfinishedFiles(const char* folder, const char* schedule, long cbSchedule) {
    char pattern[kPathSize];
    if (!TextFormat(pattern, sizeof pattern, "%s\\%s*.tmp", folder, kNewFilePrefix))
        return;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        char path[kPathSize];
        if (IsTempName(found.cFileName, kNewFilePrefix) &&
            !IsScheduled(schedule, cbSchedule, found.cFileName) &&
            TextFormat(path, sizeof path, "%s\\%s", folder, found.cFileName))
            gFileCalls->deleteFile(path);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

void DeleteUnfinishedFilesOfEarlierRuns() {
    static char schedule[kScheduleSize];
    long cbSchedule = ReadRestartSchedule(schedule);
    if (cbSchedule < 0)
        return;
    const char* const folders[] = {gSetup.windowsDir, gSetup.systemDir};
    char inf[kPathSize];
    for (const char* folder : folders) {
        DeleteUnfinishedFiles(folder, schedule, cbSchedule);
        if (TextFormat(inf, sizeof inf, "%s\\inf", folder))
            DeleteUnfinishedFiles(inf, schedule, cbSchedule);
    }
}
