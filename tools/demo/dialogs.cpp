// setup.exe's dialogs: the wizard, found by its caption, and the message
// boxes, each answered once from the list given on the command line.
#include "drive.h"

#include <cstring>

static const char kWizardCaption[] = "Kelmo Setup Wizard";
static const char kDialogClass[] = "#32770";
// A message box's text control; its icon control has one id on Windows and
// another under Wine.
static const int kBoxTextId = 0xFFFF;
static const int kBoxIconIds[] = {0x14, 0x440};
// Another process may hang; a read of its window gives up after this.
static const UINT kReadLimitMs = 2000;

struct BoxButton {
    int id;
    const char* name;
};

static const BoxButton kBoxButtons[] = {
    {IDOK, "ok"},       {IDCANCEL, "cancel"}, {IDYES, "yes"},       {IDNO, "no"},
    {IDABORT, "abort"}, {IDRETRY, "retry"},   {IDIGNORE, "ignore"},
};

std::string WindowText(HWND window) {
    char text[2048] = "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG,
                        kReadLimitMs, &ignored);
    text[sizeof text - 1] = '\0';
    return text;
}

bool ControlUsable(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}

static bool BoxHasIcon(HWND box) {
    for (int id : kBoxIconIds) {
        HWND control = GetDlgItem(box, id);
        DWORD_PTR icon = 0;
        if (control && IsWindowVisible(control) &&
            SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kReadLimitMs,
                                &icon) &&
            icon)
            return true;
    }
    return false;
}

// The names of the box's buttons as a JSON array.
static std::string BoxButtons(HWND box) {
    std::string names;
    for (const BoxButton& button : kBoxButtons) {
        if (ControlUsable(box, button.id))
            names += (names.empty() ? "" : ",") + JsonString(button.name);
    }
    return "[" + names + "]";
}

struct DialogSearch {
    Drive* drive;
    std::vector<HWND> others;
};

static BOOL CALLBACK SortDialog(HWND window, LPARAM lParam) {
    DialogSearch* search = (DialogSearch*)lParam;
    DWORD processId = 0;
    char className[64] = "";
    GetWindowThreadProcessId(window, &processId);
    GetClassNameA(window, className, sizeof className);
    if (processId != search->drive->process.dwProcessId || !IsWindowVisible(window) ||
        strcmp(className, kDialogClass) != 0)
        return TRUE;
    if (WindowText(window) == kWizardCaption)
        search->drive->wizard = window;
    else
        search->others.push_back(window);
    return TRUE;
}

static int AnswerId(const std::string& answer) {
    for (const BoxButton& button : kBoxButtons) {
        if (answer == button.name)
            return button.id;
    }
    return IDOK;
}

// Posted, not sent: the box's owner goes on with its work once the box ends,
// and the driver must keep watching meanwhile. For a person, only a diskette
// prompt (the one box with Cancel) is acted on, and not pressed.
static void AnswerBox(Drive* drive, HWND box, const std::string& buttons) {
    Emit("box", {{"caption", JsonString(WindowText(box))},
                 {"text", JsonString(WindowText(GetDlgItem(box, kBoxTextId)))},
                 {"buttons", buttons},
                 {"icon", JsonBool(BoxHasIcon(box))}});
    drive->answered.insert(box);
    if (drive->person && !ControlUsable(box, IDCANCEL))
        return;
    bool listed = drive->nextAnswer < drive->answers.size();
    std::string answer = listed ? drive->answers[drive->nextAnswer++] : "ok";
    static const char kDiskAnswer[] = "disk:";
    if (answer.compare(0, sizeof kDiskAnswer - 1, kDiskAnswer) == 0) {
        ChangeDiskette(drive, answer.substr(sizeof kDiskAnswer - 1));
        answer = "ok";
    }
    if (drive->person)
        return;
    int id = AnswerId(answer);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id));
}

void WatchDialogs(Drive* drive) {
    // A closed box's handle may come back for a new one.
    for (auto it = drive->answered.begin(); it != drive->answered.end();)
        it = IsWindow(*it) ? std::next(it) : drive->answered.erase(it);
    DialogSearch search = {drive, {}};
    EnumWindows(SortDialog, (LPARAM)&search);
    for (HWND box : search.others) {
        // The wizard passes through dialogs with no text or no button as it closes.
        std::string buttons = BoxButtons(box);
        if (!drive->answered.count(box) && GetDlgItem(box, kBoxTextId) && buttons != "[]")
            AnswerBox(drive, box, buttons);
    }
}
