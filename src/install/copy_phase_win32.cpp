// The copy phase on Win32: files opened and expanded through LZ32, status on
// the finish page, diskette prompts in message boxes.
#include "copy_phase_win32.h"

#include <commctrl.h>
#include <lzexpand.h>

#include "base/error_box_win32.h"
#include "base/platform_win32.h"
#include "base/text.h"
#include "copy_progress.h"
#include "copy_rules.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"

static const char kNoMemoryText[] = "Not enough memory to process Setup Information file.";
static const char kCantInstallLabel[] = "Can't install file: ";
static const char kOldFileAsideText[] = "\n\nThe file that was there is now ";
// The label, the text above and two paths of the LZ library's length.
static const int kCantInstallTextSize = 2 * kLzPathSize + 64;
// Temporary files in a target's folder: the new file while it is expanded,
// and the old one moved aside. A new one left by a run that was cut off is
// of no use; an old one may be all that is left of the user's file.
static const char kNewFilePrefix[] = "kel";
static const char kOldFilePrefix[] = "keo";

// What the phase holds while it works through one list, reused line by line.
struct CopyList {
    char line[kSectionLineSize];
    CopyLinePlan plan;
    char label[kPathSize];
    char status[kPathSize];
    HWND sourceLine;  // the status lines, looked up once per list
    HWND targetLine;
    const DiskLabels* labels;
    OFSTRUCT sourceFile;
};

enum LineResult { kLineDone, kLineCancelled };

static_assert(OFS_MAXPATHNAME == kLzPathSize, "the LZ library's path limit");

// The system's comparison knows the code page itself.
static bool SameNameIgnoringCase(const char* a, const char* b, const LeadBytes&) {
    return lstrcmpiA(a, b) == 0;
}

void ReadFromSetupDat(void*, const char* section, const char* key, const char* defaultText,
                      char* buffer, int cchBuffer) {
    ReadSetupString(section, key, defaultText, buffer, cchBuffer);
}

// Opens the source, asking for its diskette while it cannot be found. An
// empty drive reads as a file not found: the entry has turned the system's
// own "not ready" box off. Returns the LZ handle, or -1 when the user did not
// answer OK.
static INT OpenSource(HWND page, CopyList* list, const char* sourceDir) {
    for (;;) {
        INT source = LZOpenFileA(list->plan.sourcePath, &list->sourceFile,
                                 OF_READ | OF_SHARE_DENY_WRITE);
        if (source != -1)
            return source;
        ApplyDiskLabel(list->labels, list->plan.diskId, list->label, sizeof list->label);
        FormatDiskPrompt(gSetup.messageText, sizeof gSetup.messageText, list->label, sourceDir);
        if (MessageBoxA(GetFocus(), gSetup.messageText, kErrorCaption, MB_OKCANCEL) != IDOK)
            return -1;
        SetFocus(page);
    }
}

// A label and a path in lower case, as the page shows paths. The path itself
// keeps its case, which the installed file's name takes.
static void FormatPath(char* text, int cchText, const char* label, const char* path) {
    TextCopy(text, cchText, label);
    int cchLabel = TextLength(text);
    TextAppend(text, cchText, path);
    CharLowerA(text + cchLabel);
}

// The install runs inside the Finish handler, with no message loop: what
// the page shows must be painted as it changes, and a part of the wizard that
// was covered must come back between files. Only paint messages are let
// through, never input; a window that leaves its update region would
// otherwise keep the loop going.
static const int kMaxPaintsBetweenFiles = 64;

static void PaintWaitingWindows() {
    MSG message;
    for (int i = 0; i < kMaxPaintsBetweenFiles &&
                    PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE);
         i++)
        DispatchMessageA(&message);
}

static void ShowText(HWND control, const char* text) {
    SetWindowTextA(control, text);
    UpdateWindow(control);
}

static void ShowCopyStatus(CopyList* list) {
    FormatPath(list->status, sizeof list->status, "Copy : ", list->plan.sourcePath);
    ShowText(list->sourceLine, list->status);
    FormatPath(list->status, sizeof list->status, "To : ", list->plan.targetPath);
    ShowText(list->targetLine, list->status);
    PaintWaitingWindows();
}

static void CountCopied(LONG result) {
    gSetup.copiedBytes = AddCopiedBytes(gSetup.copiedBytes, result);
    int percent = ProgressPercent(gSetup.copiedBytes, gSetup.expectedBytes);
    if (gSetup.progressBar) {
        SendMessageA(gSetup.progressBar, PBM_SETPOS, (WPARAM)percent, 0);
        UpdateWindow(gSetup.progressBar);
    }
}

// A new empty file with a short name (prefix and up to four hex digits, .tmp)
// in the target's folder.
static bool MakeTempFile(const char* targetPath, const char* prefix, char* tempPath) {
    char folder[kPathSize];
    TextCopy(folder, sizeof folder, targetPath);
    const char* cut = FindLastSeparator(folder, false, gSetup.leadBytes);
    folder[cut ? cut - folder : 0] = '\0';
    return GetTempFileNameA(folder, prefix, 0, tempPath) != 0;
}

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

// The Windows 95 family has MoveFileExA only as a stub that fails.
static bool IsWindows95() {
    return IsWindows95Version(gFileCalls->getVersion());
}

static const char kWininitFile[] = "wininit.ini";
static const char kWininitSection[] = "rename";
static const char kWininitDelete[] = "NUL";  // the key of a line that deletes its file

static const char* NameOf(const char* path) {
    const char* cut = FindLastSeparator(path, false, gSetup.leadBytes);
    return cut ? cut + 1 : path;
}

// Whether the file name is one GetTempFileNameA gives with the prefix.
static bool IsTempName(const char* name, const char* prefix) {
    int cch = TextLength(name);
    if (cch < 8 || cch > 11 || !TextEqualNoCaseAscii(name + cch - 4, ".tmp"))
        return false;
    for (int i = 0; i < cch - 4; i++) {
        char c = name[i] | 0x20;  // ASCII letters in lower case
        bool hexDigit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        if (i < 3 ? c != prefix[i] : !hexDigit)
            return false;
    }
    return true;
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

// Has the system put the temporary file in the target's place when it
// restarts, which the program requests anyway: through wininit.ini on the
// Windows 95 family, through MoveFileEx's delayed renames on the NT family.
// Renames at the restart run in the order they were asked for, so a file
// scheduled twice ends as the newer one.
static bool ReplaceAtRestart(const char* tempPath, const char* targetPath) {
    if (IsWindows95()) {
        char shortTemp[kPathSize];
        char shortTarget[kPathSize];
        return ShortPath(tempPath, shortTemp) && ShortPath(targetPath, shortTarget) &&
               WriteWininitLine(shortTarget, shortTemp);
    }
    const DWORD flags = MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING;
    return gFileCalls->moveFileEx(tempPath, targetPath, flags);
}

// Deletes a file of this program, or has the system delete it at the
// restart when it is in use: the NT family lets a running program be renamed
// aside but not deleted.
static void DeleteNowOrAtRestart(const char* path) {
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
    if (!TextCopy(pattern, sizeof pattern, folder) ||
        !TextAppend(pattern, sizeof pattern, "\\kel*.tmp"))
        return;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        char path[kPathSize];
        if (IsTempName(found.cFileName, kNewFilePrefix) &&
            !IsScheduled(schedule, cbSchedule, found.cFileName) &&
            TextCopy(path, sizeof path, folder) && TextAppend(path, sizeof path, "\\") &&
            TextAppend(path, sizeof path, found.cFileName))
            gFileCalls->deleteFile(path);
    } while (FindNextFileA(find, &found));
    FindClose(find);
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

// Installs the open source as the target. Returns its size, or -1 when it
// could not be installed: the old target is then as it was, or its bytes
// are at asidePath (empty otherwise). A folder in the target's place is
// never moved.
static LONG InstallFile(INT source, const char* targetPath, char* asidePath) {
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

static LineResult CopyListedFile(HWND page, CopyList* list, const CopyListNames* names) {
    if (PlanCopyLine(list->line, names, &list->plan) != kCopyLineFile)
        return kLineDone;
    INT source = OpenSource(page, list, names->sourceDir);
    if (source == -1)
        return kLineCancelled;
    ShowCopyStatus(list);
    // A source the LZ library refuses with another error cannot be installed.
    char asidePath[kPathSize];
    asidePath[0] = '\0';
    LONG size = source >= 0 ? InstallFile(source, list->plan.targetPath, asidePath) : -1;
    if (source >= 0)
        LZClose(source);
    if (size >= 0) {
        CountCopied(size);
        return kLineDone;
    }
    // One box names the file, as its status line shows it, and where the old
    // file's bytes are when they could not be put back; the list goes on.
    char text[kCantInstallTextSize];
    FormatPath(text, sizeof text, kCantInstallLabel, list->plan.targetPath);
    if (asidePath[0] != '\0') {
        int cch = TextLength(text);
        FormatPath(text + cch, sizeof text - cch, kOldFileAsideText, asidePath);
    }
    ShowErrorBox(text);
    return kLineDone;
}

CopyListResult CopySectionFiles(HWND page, const SetupText* text, long position,
                                const DiskLabels* labels, const char* sourceDir,
                                const char* targetDir) {
    CopyList list;
    list.label[0] = '\0';
    list.labels = labels;
    const CopyListNames names = {sourceDir,           targetDir,
                                 gSetup.driverInf,    gSetup.oemsetupInf,
                                 SameNameIgnoringCase, &gSetup.leadBytes};
    // Finding a dialog item costs a window-manager round trip; once per list
    // keeps the phase's own share of a copy small.
    list.sourceLine = GetDlgItem(page, IDC_SOURCE_STATUS);
    list.targetLine = GetDlgItem(page, IDC_TARGET_STATUS);
    while (ReadSectionLine(text->bytes, text->length, list.line, &position, gSetup.leadBytes)) {
        if (IsBlankLine(list.line))
            continue;
        if (CopyListedFile(page, &list, &names) == kLineCancelled)
            return kListCancelled;
        PaintWaitingWindows();
    }
    return kListCopied;
}

static void ClearStatus(HWND page) {
    ShowText(GetDlgItem(page, IDC_SOURCE_STATUS), "");
    ShowText(GetDlgItem(page, IDC_TARGET_STATUS), "");
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
        if (TextCopy(inf, sizeof inf, folder) && TextAppend(inf, sizeof inf, "\\inf"))
            DeleteUnfinishedFiles(inf, schedule, cbSchedule);
    }
}

// The labels of the set, taken from setup.dat before the first prompt.
static DiskLabels gDiskLabels;

void CopyPhase(HWND page) {
    ClearStatus(page);
    if (!LoadSetupText(gSetup.setupDatPath, &gSetupText)) {
        ShowErrorBox(kNoMemoryText);
        return;
    }
    // Before the first prompt: then the drive may hold another diskette.
    TakeDiskLabels(gSetupText.bytes, gSetupText.length, gSetup.leadBytes, ReadFromSetupDat,
                   nullptr, &gDiskLabels);
    DeleteUnfinishedFilesOfEarlierRuns();
    for (const CopyListSection& list : kCopyLists) {
        long position =
            FindSection(gSetupText.bytes, gSetupText.length, list.header, gSetup.leadBytes);
        if (position < 0) {
            ShowMissingSection(list.header);
            ReleaseSetupText(&gSetupText);
            return;
        }
        const char* targetDir = list.target == kToWindowsDir ? gSetup.windowsDir : gSetup.systemDir;
        // A cancelled prompt ends only its own list.
        CopySectionFiles(page, &gSetupText, position, &gDiskLabels, gSetup.sourceDir, targetDir);
    }
    ClearStatus(page);
}
