// The copy phase on Win32: sources opened through LZ32 and installed by file
// replacement, status on the finish page, diskette prompts in message boxes.
#include "copy_phase_win32.h"

#include <commctrl.h>
#include <lzexpand.h>

#include "base/error_box_win32.h"
#include "base/text.h"
#include "copy_progress.h"
#include "copy_rules.h"
#include "file_replacement_win32.h"
#include "restart_schedule_win32.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"

static const char kNoMemoryText[] = "Not enough memory to process Setup Information file.";
static const char kCantInstallLabel[] = "Can't install file: ";
static const char kOldFileAsideText[] = "\n\nThe file that was there is now ";
// The label, the text above and two paths of the LZ library's length.
static const int kCantInstallTextSize = 2 * kLzPathSize + 64;

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
