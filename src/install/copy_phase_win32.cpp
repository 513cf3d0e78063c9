// The copy phase on Win32: files opened and expanded through LZ32, status on
// the finish page, diskette prompts in message boxes.
#include "copy_phase.h"

#include <commctrl.h>
#include <lzexpand.h>

#include "copy_progress.h"
#include "installed_name.h"
#include "setupinfo/error_box.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_state.h"
#include "setupinfo/text.h"

static const int kSourceStatusId = 1001;
static const int kTargetStatusId = 1002;
static const char kNoMemoryText[] = "Not enough memory to process Setup Information file.";
static const char kInsertDiskFormat[] = "Please insert the diskette labeled %s into %c:";
static const char kMediaSection[] = "Source Media Descriptions";
static const char kProductSection[] = "Product";

// What the phase holds while it works through one list, reused line by line.
struct CopyList {
    char line[kSectionLineSize];
    char diskId[2];
    char listedName[kPathSize];
    char sourcePath[kPathSize];
    char label[kPathSize];
    char targetName[kPathSize];
    char targetPath[kPathSize];
    char status[kPathSize];
    HWND sourceLine;  // the status lines, looked up once per list
    HWND targetLine;
    OFSTRUCT sourceFile;
    OFSTRUCT targetFile;
};

enum LineResult { kLineDone, kLineCancelled };

// The LZ library opens files through OpenFile, whose OFSTRUCT holds a path
// of at most OFS_MAXPATHNAME - 1 characters: a longer source could never be
// opened however often the diskette was inserted.
static_assert(OFS_MAXPATHNAME <= kPathSize, "paths are held in kPathSize buffers");

static bool ComposePath(char* path, const char* format, const char* dir, const char* name) {
    return TextFormat(path, OFS_MAXPATHNAME, format, dir, name);
}

// Both paths of the current line. Returns false when the line names no file
// or a path is too long for the LZ library: a cut path would name another
// file, so such a line is skipped.
static bool ComposePaths(CopyList* list, const char* sourceDir, const char* targetDir) {
    if (!SplitCopyLine(list->line, list->diskId, list->listedName, sizeof list->listedName))
        return false;
    if (sourceDir[0] == '\0' || targetDir[0] == '\0' || list->listedName[0] == '\0')
        return false;
    if (!ComposePath(list->sourcePath, "%s\\%s", sourceDir, list->listedName))
        return false;
    if (!MakeInstalledName(list->listedName, list->targetName, sizeof list->targetName))
        return false;
    if (lstrcmpiA(list->targetName, gSetup.driverInf) == 0) {
        if (!MakeInfName(gSetup.oemsetupInf, list->targetName, sizeof list->targetName))
            return false;
        return ComposePath(list->targetPath, "%s\\inf\\%s", targetDir, list->targetName);
    }
    return ComposePath(list->targetPath, "%s\\%s", targetDir, list->targetName);
}

// Opens the source, asking for its diskette while it cannot be found. A disk
// id without a description keeps the label of the list's previous prompt.
// Returns the LZ handle, or -1 when the user did not answer OK.
static INT OpenSource(HWND page, CopyList* list, const char* sourceDir) {
    for (;;) {
        INT source = LZOpenFileA(list->sourcePath, &list->sourceFile,
                                 OF_READ | OF_SHARE_DENY_WRITE);
        if (source != -1)
            return source;
        ReadSetupString(kMediaSection, list->diskId, list->label, list->label,
                        sizeof list->label);
        TextFormat(gSetup.messageText, sizeof gSetup.messageText, kInsertDiskFormat,
                   list->label, sourceDir[0]);
        if (MessageBoxA(GetFocus(), gSetup.messageText, kErrorCaption, MB_OKCANCEL) != IDOK)
            return -1;
        SetFocus(page);
    }
}

static void ShowCopyStatus(CopyList* list) {
    CharLowerA(list->sourcePath);
    TextFormat(list->status, sizeof list->status, "Copy : %s", list->sourcePath);
    SetWindowTextA(list->sourceLine, list->status);
    CharLowerA(list->targetPath);
    TextFormat(list->status, sizeof list->status, "To : %s", list->targetPath);
    SetWindowTextA(list->targetLine, list->status);
}

static void CountCopied(LONG result) {
    gSetup.copiedBytes = AddCopiedBytes(gSetup.copiedBytes, result);
    int percent = ProgressPercent(gSetup.copiedBytes, gSetup.expectedBytes);
    if (gSetup.progressBar)
        SendMessageA(gSetup.progressBar, PBM_SETPOS, (WPARAM)percent, 0);
}

static LineResult CopyListedFile(HWND page, CopyList* list, const char* sourceDir,
                                 const char* targetDir) {
    if (!ComposePaths(list, sourceDir, targetDir))
        return kLineDone;
    INT source = OpenSource(page, list, sourceDir);
    if (source == -1)
        return kLineCancelled;
    // Any other error of the LZ library: the copy fails, but an existing
    // target is left untouched rather than created empty.
    if (source < 0) {
        ShowCopyStatus(list);
        CountCopied(source);
        return kLineDone;
    }
    INT target = LZOpenFileA(list->targetPath, &list->targetFile,
                             OF_CREATE | OF_WRITE | OF_SHARE_EXCLUSIVE);
    ShowCopyStatus(list);
    LONG result = target >= 0 ? LZCopy(source, target) : LZERROR_BADOUTHANDLE;
    LZClose(source);
    if (target >= 0)
        LZClose(target);
    CountCopied(result);
    return kLineDone;
}

int CopySectionFiles(HWND page, const SetupText* text, long position, const char* sourceDir,
                     const char* targetDir) {
    CopyList list;
    list.label[0] = '\0';
    // Finding a dialog item costs a window-manager round trip; once per list
    // keeps the phase's own share of a copy small.
    list.sourceLine = GetDlgItem(page, kSourceStatusId);
    list.targetLine = GetDlgItem(page, kTargetStatusId);
    while (ReadSectionLine(text->bytes, text->length, list.line, &position)) {
        if (IsBlankLine(list.line))
            continue;
        if (CopyListedFile(page, &list, sourceDir, targetDir) == kLineCancelled)
            return 2;
    }
    return 1;
}

static void ClearStatus(HWND page) {
    SetDlgItemTextA(page, kSourceStatusId, "");
    SetDlgItemTextA(page, kTargetStatusId, "");
}

void CopyPhase(HWND page) {
    ClearStatus(page);
    if (!LoadSetupText(gSetup.setupDatPath, &gSetupText)) {
        ShowErrorBox(kNoMemoryText);
        return;
    }
    ReadSetupString(kProductSection, "DriverInf", "", gSetup.driverInf,
                    sizeof gSetup.driverInf);
    ReadSetupString(kProductSection, "OemsetupInf", "", gSetup.oemsetupInf,
                    sizeof gSetup.oemsetupInf);
    const struct {
        const char* header;
        const char* targetDir;
    } lists[] = {{"[WindowsDir]", gSetup.windowsDir}, {"[SystemDir]", gSetup.systemDir}};
    for (const auto& list : lists) {
        long position = FindSection(gSetupText.bytes, gSetupText.length, list.header);
        if (position < 0) {
            ShowMissingSection(list.header);
            ReleaseSetupText(&gSetupText);
            return;
        }
        // A cancelled prompt ends only its own list.
        CopySectionFiles(page, &gSetupText, position, gSetup.sourceDir, list.targetDir);
    }
    ClearStatus(page);
}
