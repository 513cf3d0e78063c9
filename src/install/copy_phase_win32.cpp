// The copy phase on Win32: files opened and expanded through LZ32, status on
// the finish page, diskette prompts in message boxes.
#include "copy_phase_win32.h"

#include <commctrl.h>
#include <lzexpand.h>

#include "copy_progress.h"
#include "copy_rules.h"
#include "setupinfo/error_box_win32.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"
#include "setupinfo/text.h"

static const char kNoMemoryText[] = "Not enough memory to process Setup Information file.";

// What the phase holds while it works through one list, reused line by line.
struct CopyList {
    char line[kSectionLineSize];
    CopyLinePlan plan;
    char label[kPathSize];
    char status[kPathSize];
    HWND sourceLine;  // the status lines, looked up once per list
    HWND targetLine;
    OFSTRUCT sourceFile;
    OFSTRUCT targetFile;
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

// Opens the source, asking for its diskette while it cannot be found.
// Returns the LZ handle, or -1 when the user did not answer OK.
static INT OpenSource(HWND page, CopyList* list, const char* sourceDir) {
    for (;;) {
        INT source = LZOpenFileA(list->plan.sourcePath, &list->sourceFile,
                                 OF_READ | OF_SHARE_DENY_WRITE);
        if (source != -1)
            return source;
        ReadDiskLabel(ReadFromSetupDat, nullptr, list->plan.diskId, list->label,
                      sizeof list->label);
        FormatDiskPrompt(gSetup.messageText, sizeof gSetup.messageText, list->label, sourceDir);
        if (MessageBoxA(GetFocus(), gSetup.messageText, kErrorCaption, MB_OKCANCEL) != IDOK)
            return -1;
        SetFocus(page);
    }
}

// Both files are open by now, so their paths are lower-cased in place, as
// the status lines show them.
static void ShowCopyStatus(CopyList* list) {
    CharLowerA(list->plan.sourcePath);
    TextFormat(list->status, sizeof list->status, "Copy : %s", list->plan.sourcePath);
    SetWindowTextA(list->sourceLine, list->status);
    CharLowerA(list->plan.targetPath);
    TextFormat(list->status, sizeof list->status, "To : %s", list->plan.targetPath);
    SetWindowTextA(list->targetLine, list->status);
}

static void CountCopied(LONG result) {
    gSetup.copiedBytes = AddCopiedBytes(gSetup.copiedBytes, result);
    int percent = ProgressPercent(gSetup.copiedBytes, gSetup.expectedBytes);
    if (gSetup.progressBar)
        SendMessageA(gSetup.progressBar, PBM_SETPOS, (WPARAM)percent, 0);
}

static LineResult CopyListedFile(HWND page, CopyList* list, const CopyListNames* names) {
    if (PlanCopyLine(list->line, names, &list->plan) != kCopyLineFile)
        return kLineDone;
    INT source = OpenSource(page, list, names->sourceDir);
    if (source == -1)
        return kLineCancelled;
    // Any other error of the LZ library: the copy fails, but an existing
    // target is left untouched rather than created empty.
    if (source < 0) {
        ShowCopyStatus(list);
        CountCopied(source);
        return kLineDone;
    }
    INT target = LZOpenFileA(list->plan.targetPath, &list->targetFile,
                             OF_CREATE | OF_WRITE | OF_SHARE_EXCLUSIVE);
    ShowCopyStatus(list);
    LONG result = target >= 0 ? LZCopy(source, target) : LZERROR_BADOUTHANDLE;
    LZClose(source);
    if (target >= 0)
        LZClose(target);
    CountCopied(result);
    return kLineDone;
}

CopyListResult CopySectionFiles(HWND page, const SetupText* text, long position,
                                const char* sourceDir, const char* targetDir) {
    CopyList list;
    list.label[0] = '\0';
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
    }
    return kListCopied;
}

static void ClearStatus(HWND page) {
    SetDlgItemTextA(page, IDC_SOURCE_STATUS, "");
    SetDlgItemTextA(page, IDC_TARGET_STATUS, "");
}

void CopyPhase(HWND page) {
    ClearStatus(page);
    if (!LoadSetupText(gSetup.setupDatPath, &gSetupText)) {
        ShowErrorBox(kNoMemoryText);
        return;
    }
    ReadSetupString(kProductSection, kDriverInfKey, "", gSetup.driverInf,
                    sizeof gSetup.driverInf);
    ReadSetupString(kProductSection, kOemsetupInfKey, "", gSetup.oemsetupInf,
                    sizeof gSetup.oemsetupInf);
    for (const CopyListSection& list : kCopyLists) {
        long position = FindSection(gSetupText.bytes, gSetupText.length, list.header);
        if (position < 0) {
            ShowMissingSection(list.header);
            ReleaseSetupText(&gSetupText);
            return;
        }
        const char* targetDir = list.target == kToWindowsDir ? gSetup.windowsDir : gSetup.systemDir;
        // A cancelled prompt ends only its own list.
        CopySectionFiles(page, &gSetupText, position, gSetup.sourceDir, targetDir);
    }
    ClearStatus(page);
}
