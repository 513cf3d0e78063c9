#include "wizard_win32.h"

#include <prsht.h>
#include <stddef.h>

#include "base/text.h"
#include "install_sequence_win32.h"
#include "painting_win32.h"
#include "resource.h"
#include "setupinfo/setup_state_win32.h"

// The sheet steps through the page array by each page's dwSize, so the
// array's element type must be exactly the size we announce.
static_assert(sizeof(PROPSHEETPAGEA_V1) ==
                  offsetof(PROPSHEETPAGEA, pcRefParent) + sizeof(UINT*),
              "the page array's element is not the announced page size");

namespace {

enum NotifyAction {
    kSetButtons,   // post the page's wizard buttons to the sheet; TRUE
    kResultZero,   // message result 0; TRUE
    kAnswerTrue,   // TRUE
    kInstall,      // RunInstall; TRUE
    kQuit,         // post the quit message; TRUE
};

struct NotifyAnswer {
    UINT code;
    NotifyAction action;
};

// How a page answers; notifications not in its table answer FALSE.
struct PageKind {
    LPARAM wizardButtons;
    INT_PTR commandAnswer;
    const NotifyAnswer* answers;
    int answerCount;
};

const NotifyAnswer kWelcomeAnswers[] = {
    {PSN_SETACTIVE, kSetButtons}, {PSN_KILLACTIVE, kResultZero}, {PSN_RESET, kResultZero},
    {PSN_WIZNEXT, kAnswerTrue},   {PSN_QUERYCANCEL, kQuit},
};

const NotifyAnswer kFinishAnswers[] = {
    {PSN_SETACTIVE, kSetButtons}, {PSN_KILLACTIVE, kResultZero}, {PSN_RESET, kResultZero},
    {PSN_WIZNEXT, kAnswerTrue},   {PSN_WIZFINISH, kInstall},     {PSN_QUERYCANCEL, kQuit},
};

const PageKind kWelcomePage = {PSWIZB_NEXT, FALSE, kWelcomeAnswers,
                               sizeof kWelcomeAnswers / sizeof kWelcomeAnswers[0]};
const PageKind kFinishPage = {PSWIZB_BACK | PSWIZB_FINISH, TRUE, kFinishAnswers,
                              sizeof kFinishAnswers / sizeof kFinishAnswers[0]};

INT_PTR Act(const PageKind* kind, HWND page, NotifyAction action) {
    switch (action) {
    case kSetButtons:
        PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, kind->wizardButtons);
        break;
    case kResultZero:
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        break;
    case kAnswerTrue:
        break;
    case kInstall:
        RunInstall(page);
        break;
    case kQuit:
        PostQuitMessage(0);
        break;
    }
    return TRUE;
}

// A notification is answered by its code alone, whichever window sent it.
INT_PTR AnswerNotify(const PageKind* kind, HWND page, UINT code) {
    for (int i = 0; i < kind->answerCount; i++) {
        if (kind->answers[i].code == code)
            return Act(kind, page, kind->answers[i].action);
    }
    return FALSE;
}

// Read when the wizard is made, before its pages exist.
BannerLayout gBannerLayout;

INT_PTR PageProc(const PageKind* kind, HWND page, UINT message, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return CreateLogoWindow(page) != nullptr;
    case WM_PAINT:
        PaintBanner(page, &gBannerLayout);
        return FALSE;
    case WM_COMMAND:
        return kind->commandAnswer;
    case WM_NOTIFY:
        return AnswerNotify(kind, page, reinterpret_cast<NMHDR*>(lParam)->code);
    }
    return FALSE;
}

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    return PageProc(&kWelcomePage, page, message, lParam);
}

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    return PageProc(&kFinishPage, page, message, lParam);
}

// Fills one page description for the template with the given numeric id.
void InitPage(PROPSHEETPAGEA_V1* page, int templateId, const char* title, DLGPROC dialogProc) {
    ZeroBytes(page, sizeof *page);
    page->dwSize = PROPSHEETPAGEA_V1_SIZE;
    page->dwFlags = PSP_DEFAULT;
    page->hInstance = gSetup.instance;
    page->pszTemplate = MAKEINTRESOURCEA(templateId);
    page->hIcon = nullptr;
    page->pszTitle = title;
    page->pfnDlgProc = dialogProc;
    page->lParam = 0;
}

}  // namespace

void RunWizard(HWND parent) {
    ReadBannerLayout(&gBannerLayout);
    PROPSHEETPAGEA_V1 pages[2];
    InitPage(&pages[0], IDD_WELCOME, "", WelcomePageProc);
    InitPage(&pages[1], IDD_FINISH, "", FinishPageProc);

    PROPSHEETHEADERA header;
    ZeroBytes(&header, sizeof header);
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
    header.hwndParent = parent;
    header.hInstance = gSetup.instance;
    header.pszCaption = "";
    header.nPages = 2;
    header.nStartPage = 0;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);
    PropertySheetA(&header);
}
