#include "file_replacement_win32.h"

#include <lzexpand.h>

#include "file_calls_win32.h"
#include "restart_schedule_win32.h"
#include "setupinfo/setup_sizes.h"
#include "temp_files_win32.h"

// Expands the source into a new temporary file beside the target, so that a
// failed copy never touches the installed file. A copy is complete when it
// holds as many bytes as the source expands to: the LZ library reads a
// compressed file cut short as a shorter file, without an error. Returns the
// size, or -1 with no temporary file left.
static LONG ExpandToTemp(INT source, const char* targetPath, char* tempPath) {
    if (!MakeTempFile(targetPath, kNewFilePrefix, tempPath))
        return -1;
    HFILE temp = _lopen(tempPath, OF_WRITE | OF_SHARE_EXCLUSIVE);
    LONG size = LZSeek(source, 0, FILE_END);
    LONG copied = -1;
    if (temp != HFILE_ERROR && size >= 0 && LZSeek(source, 0, FILE_BEGIN) == 0)
        copied = LZCopy(source, temp);
    if (temp != HFILE_ERROR)
        _lclose(temp);
    if (copied == size && size >= 0)
        return size;
    gFileCalls->deleteFile(tempPath);
    return -1;
}

enum ReplaceResult {
    kReplaced,     // the new file is in place, or will be at the restart
    kNotReplaced,  // the old file is in place as it was
    kOldFileAside  // neither is: the old file's bytes are at the aside path
};

// Puts the complete temporary file in the target's place, now or at the
// restart. On the NT family one call replaces a file that is not in use.
// Windows 95 has no function that replaces a file, so there, and for a file
// in use, an existing target is moved aside, the new file renamed in, and
// the old one put back if that fails: renames within one folder either happen
// or not. A target that cannot even be moved aside is held, as a loaded
// driver is, and is replaced at the restart.
static ReplaceResult ReplaceTarget(const char* tempPath, const char* targetPath,
                                   char* asidePath) {
    const FileCalls& calls = *gFileCalls;
    if (IsWindows95() ? calls.moveFile(tempPath, targetPath)
                      : calls.moveFileEx(tempPath, targetPath, MOVEFILE_REPLACE_EXISTING))
        return kReplaced;
    if (calls.getAttributes(targetPath) == INVALID_FILE_ATTRIBUTES ||
        !MakeTempFile(targetPath, kOldFilePrefix, asidePath))
        return kNotReplaced;
    calls.deleteFile(asidePath);
    if (!calls.moveFile(targetPath, asidePath))
        return ReplaceAtRestart(tempPath, targetPath) ? kReplaced : kNotReplaced;
    if (!calls.moveFile(tempPath, targetPath))
        return calls.moveFile(asidePath, targetPath) ? kNotReplaced : kOldFileAside;
    DeleteNowOrAtRestart(asidePath);
    return kReplaced;
}

LONG InstallFile(INT source, const char* targetPath, char* asidePath) {
    asidePath[0] = '\0';
    DWORD attributes = gFileCalls->getAttributes(targetPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    char tempPath[kPathSize];
    LONG size = ExpandToTemp(source, targetPath, tempPath);
    if (size < 0)
        return -1;
    ReplaceResult result = ReplaceTarget(tempPath, targetPath, asidePath);
    if (result != kOldFileAside)
        asidePath[0] = '\0';
    if (result == kReplaced)
        return size;
    DeleteNowOrAtRestart(tempPath);
    return -1;
}
