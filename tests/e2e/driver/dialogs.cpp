// setup.exe's dialogs: the wizard, found by its caption, and the message
// boxes, each answered once from the list given on the command line.
#include "drive.h"

#include <cstring>

static const char kWizardCaption[] = "Kelmo Setup Wizard";
static const char kDialogClass[] = "#32770";

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

// For a person, only a diskette prompt (the one box with Cancel) is acted
// on, and nothing is pressed.
static void AnswerBox(Drive* drive, HWND box, const MessageBoxView& view) {
    std::string buttons;
    for (const std::string& name : view.buttons)
        buttons += (buttons.empty() ? "" : ",") + JsonString(name);
    Emit("box", {{"caption", JsonString(view.caption)},
                 {"text", JsonString(view.text)},
                 {"buttons", "[" + buttons + "]"},
                 {"icon", view.icon ? "true" : "false"}});
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
    if (!drive->person)
        PressBoxButton(box, BoxButtonId(answer));
}

void WatchDialogs(Drive* drive) {
    // A closed box's handle may come back for a new one.
    for (auto it = drive->answered.begin(); it != drive->answered.end();)
        it = IsWindow(*it) ? std::next(it) : drive->answered.erase(it);
    DialogSearch search = {drive, {}};
    EnumWindows(SortDialog, (LPARAM)&search);
    for (HWND box : search.others) {
        // The wizard passes through dialogs with no text or no button as it closes.
        MessageBoxView view;
        if (!drive->answered.count(box) && ReadMessageBox(box, &view))
            AnswerBox(drive, box, view);
    }
}
