// The copy phase on Win32: files opened and expanded through LZ32, status on
// the finish page, diskette prompts in message boxes.
#include "copy_phase_win32.h"

#include <commctrl.h>
#include <lzexpand.h>

#include "copy_progress.h"
#include "copy_rules.h"
#include "setupinfo/error_box_win32.h"
#include "setupinfo/fields.h"
#include "setupinfo/platform_win32.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"
#include "setupinfo/text.h"

static const char kNoMemoryText[] = "Not enough memory to process Setup Information file.";
static const char kCantInstallLabel[] = "Can't install file: ";
static const char kTempPrefix[] = "kel";

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

static bool SameNameIgnoringCase(const char* a, const char* b) {
    return lstrcmpiA(a, b) == 0;
}

static void ReadFromSetupDat(void*, const char* section, const char* key,
                             const char* defaultText, char* buffer, int cchBuffer) {
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

// A new empty file with a short name (kelXXXX.tmp) in the target's folder.
static bool MakeTempFile(const char* targetPath, char* tempPath) {
    char folder[kPathSize];
    TextCopy(folder, sizeof folder, targetPath);
    char* cut = folder;
    for (char* p = folder; *p; p++)
        if (*p == '\\')
            cut = p;
    *cut = '\0';
    return GetTempFileNameA(folder, kTempPrefix, 0, tempPath) != 0;
}

// Expands the source into a new temporary file beside the target, so that a
// failed copy never touches the installed file. A copy is complete when it
// holds as many bytes as the source expands to: the LZ library reads a
// compressed file cut short as a shorter file, without an error. Returns the
// size, or -1 with no temporary file left.
static LONG ExpandToTemp(INT source, const char* targetPath, char* tempPath) {
    if (!MakeTempFile(targetPath, tempPath))
        return -1;
    HFILE temp = _lopen(tempPath, OF_WRITE | OF_SHARE_EXCLUSIVE);
    LONG size = LZSeek(source, 0, 2);
    LONG copied = -1;
    if (temp != HFILE_ERROR && size >= 0 && LZSeek(source, 0, 0) == 0)
        copied = LZCopy(source, temp);
    if (temp != HFILE_ERROR)
        _lclose(temp);
    if (copied == size && size >= 0)
        return size;
    DeleteFileA(tempPath);
    return -1;
}

typedef BOOL(WINAPI* MoveFileExFn)(LPCSTR, LPCSTR, DWORD);

// Has the system put the temporary file in the target's place when it
// restarts, which the program requests anyway: the Windows 95 family carries
// out the [rename] lines of wininit.ini once at boot, in short names; the NT
// family keeps MoveFileEx's delayed renames, a function Windows 95 lacks.
static bool ReplaceAtRestart(const char* tempPath, const char* targetPath) {
    if (IsWindows95Family()) {
        char shortTemp[kPathSize];
        char shortTarget[kPathSize];
        DWORD cchTemp = GetShortPathNameA(tempPath, shortTemp, sizeof shortTemp);
        DWORD cchTarget = GetShortPathNameA(targetPath, shortTarget, sizeof shortTarget);
        return cchTemp > 0 && cchTemp < sizeof shortTemp && cchTarget > 0 &&
               cchTarget < sizeof shortTarget &&
               WritePrivateProfileStringA("rename", shortTarget, shortTemp, "wininit.ini");
    }
    auto moveFileEx = LookUpFunction<MoveFileExFn>("kernel32.dll", "MoveFileExA");
    const DWORD flags = MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING;
    return moveFileEx != nullptr && moveFileEx(tempPath, targetPath, flags);
}

// Puts the complete temporary file in the target's place, now or at the
// restart; false when neither can be done. Renames within one folder either
// happen or not, and Windows 95 has no function that replaces a file, so an
// existing target is first moved aside, then put back if the new file cannot
// take its place: the old file is never lost. A target that cannot even be
// moved aside is in use, as a running driver is.
static bool ReplaceTarget(const char* tempPath, const char* targetPath) {
    if (MoveFileA(tempPath, targetPath))
        return true;
    char asidePath[kPathSize];
    if (GetFileAttributesA(targetPath) == INVALID_FILE_ATTRIBUTES ||
        !MakeTempFile(targetPath, asidePath))
        return false;
    DeleteFileA(asidePath);
    if (!MoveFileA(targetPath, asidePath))
        return ReplaceAtRestart(tempPath, targetPath);
    if (!MoveFileA(tempPath, targetPath)) {
        MoveFileA(asidePath, targetPath);
        return false;
    }
    SetFileAttributesA(asidePath, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(asidePath);
    return true;
}

// Installs the open source as the target. Returns its size, or -1 when it
// could not be installed; the old target is then as it was.
static LONG InstallFile(INT source, const char* targetPath) {
    char tempPath[kPathSize];
    LONG size = ExpandToTemp(source, targetPath, tempPath);
    if (size < 0)
        return -1;
    if (!ReplaceTarget(tempPath, targetPath)) {
        DeleteFileA(tempPath);
        return -1;
    }
    return size;
}

static LineResult CopyListedFile(HWND page, CopyList* list, const CopyListNames* names) {
    if (PlanCopyLine(list->line, names, &list->plan) != kCopyLineFile)
        return kLineDone;
    INT source = OpenSource(page, list, names->sourceDir);
    if (source == -1)
        return kLineCancelled;
    ShowCopyStatus(list);
    // A source the LZ library refuses with another error cannot be installed.
    LONG size = source >= 0 ? InstallFile(source, list->plan.targetPath) : -1;
    if (source >= 0)
        LZClose(source);
    if (size >= 0) {
        CountCopied(size);
        return kLineDone;
    }
    // One box names the file, as its status line shows it; the list goes on.
    FormatPath(gSetup.messageText, sizeof gSetup.messageText, kCantInstallLabel,
               list->plan.targetPath);
    ShowErrorBox(gSetup.messageText);
    return kLineDone;
}

CopyListResult CopySectionFiles(HWND page, const SetupText* text, long position,
                                const DiskLabels* labels, const char* sourceDir,
                                const char* targetDir) {
    CopyList list;
    list.label[0] = '\0';
    list.labels = labels;
    const CopyListNames names = {sourceDir, targetDir, gSetup.driverInf, gSetup.oemsetupInf,
                                 SameNameIgnoringCase};
    // Finding a dialog item costs a window-manager round trip; once per list
    // keeps the phase's own share of a copy small.
    list.sourceLine = GetDlgItem(page, IDC_SOURCE_STATUS);
    list.targetLine = GetDlgItem(page, IDC_TARGET_STATUS);
    while (ReadSectionLine(text->bytes, text->length, list.line, &position)) {
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

// The labels of the set, taken from setup.dat before the first prompt.
static DiskLabels gDiskLabels;

void CopyPhase(HWND page) {
    ClearStatus(page);
    if (!LoadSetupText(gSetup.setupDatPath, &gSetupText)) {
        ShowErrorBox(kNoMemoryText);
        return;
    }
    // Before the first prompt: then the drive may hold another diskette.
    TakeDiskLabels(gSetupText.bytes, gSetupText.length, ReadFromSetupDat, nullptr, &gDiskLabels);
    for (const CopyListSection& list : kCopyLists) {
        long position = FindSection(gSetupText.bytes, gSetupText.length, list.header);
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
