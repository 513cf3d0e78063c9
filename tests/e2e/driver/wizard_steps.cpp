// The wizard's steps: wait for a page, press a button, close the sheet, take
// a screen shot.
#include "drive.h"

#include <prsht.h>

#include <cstring>
#include "setupinfo/setup_vocabulary.h"

// The ids the common controls give the sheet's wizard buttons.
static const int kBackId = 0x3023, kNextId = 0x3024, kFinishId = 0x3025;

struct SheetButton {
    const char* name;
    int id;
    int press;
};

static const SheetButton kSheetButtons[] = {
    {"back", kBackId, PSBTN_BACK},
    {"next", kNextId, PSBTN_NEXT},
    {"finish", kFinishId, PSBTN_FINISH},
    {"cancel", IDCANCEL, PSBTN_CANCEL},
};

HWND CurrentPage(HWND wizard) {
    DWORD_PTR page = 0;
    if (wizard)
        SendMessageTimeoutA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 2000, &page);
    return (HWND)page;
}

// The finish page is the one that carries the status lines.
static std::string PageName(HWND page) {
    if (!page)
        return "";
    return GetDlgItem(page, IDC_SOURCE_STATUS) ? "finish" : "welcome";
}

// Each page posts its buttons to the sheet when it becomes active, so they
// come a moment after the page itself.
static bool PageButtonsSet(HWND wizard, const std::string& name) {
    bool finish = name == "finish";
    return ControlUsable(wizard, kBackId) == finish && ControlUsable(wizard, kNextId) == !finish &&
           ControlUsable(wizard, kFinishId) == finish;
}

// Reports the page with the buttons usable on it. A page that sets other
// buttons than expected shows them once the wait for its own has run out.
static bool WaitForPage(Drive* drive, const std::string& name) {
    if (!WaitFor(drive, [&] { return PageName(CurrentPage(drive->wizard)) == name; }))
        return false;
    WaitFor(drive, [&] { return PageButtonsSet(drive->wizard, name); });
    EventFields fields = {{"name", JsonString(name)}};
    for (const SheetButton& button : kSheetButtons)
        fields.push_back({button.name, JsonBool(ControlUsable(drive->wizard, button.id))});
    Emit("page", fields);
    return true;
}

static bool StartsWith(const std::string& text, const char* prefix, std::string* rest) {
    size_t cch = strlen(prefix);
    if (text.compare(0, cch, prefix) != 0)
        return false;
    *rest = text.substr(cch);
    return true;
}

// Buttons are posted, not sent: Finish runs the install inside the wizard,
// which then waits in its message boxes.
bool RunStep(Drive* drive, const std::string& shotsDir, const std::string& step) {
    std::string name;
    if (StartsWith(step, "page:", &name))
        return WaitForPage(drive, name);
    if (StartsWith(step, "shot:", &name))
        return TakeShot(drive, shotsDir, name);
    if (step == "close")
        return PostMessageA(drive->wizard, WM_SYSCOMMAND, SC_CLOSE, 0);
    for (const SheetButton& button : kSheetButtons) {
        if (step == button.name)
            return PostMessageA(drive->wizard, PSM_PRESSBUTTON, button.press, 0);
    }
    return false;
}
