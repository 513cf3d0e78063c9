// The program's resources as setup.exe carries them, and the wizard run in
// this process: both pages present, Next and Back between them, Cancel
// ending it with the quit message.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/install_sequence_win32.h"
#include "shell/main_window_win32.h"
#include "shell/painting_win32.h"
#include "resource.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/text.h"
#include "shell/final_message.h"
#include "shell/wizard_win32.h"
#include "win32_support.h"

namespace {

const char kWizardTitle[] = "Kelmo Setup Wizard";

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

std::string WindowText(HWND window) {
    char text[512] = "kumquat";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST(ShellResources, FinalMessageHasTheExactTexts) {
    gSetup.instance = Self();
    TextCopy(gSetup.productName, sizeof gSetup.productName, "Model 9");
    char message[kFinalMessageSize];
    LoadFinalMessage(message, sizeof message);
    EXPECT_STREQ(
        "Setup is complete and your system will restart.  After restart, open Control "
        "Panel-Display-Settings tab.  Click on \"Change Display Type\" to check the \"Adapter "
        "Type\"  is \"Model 9\" or not.  If not, click \"Change\" and in Models box select "
        "\"Model 9\", then press OK.   After being asked to insert Kelmo Windows 95 Disk, press "
        "OK. Then Install From Disk box will pop up, please change the copy from path to your "
        "Windows 95 system subdirectory(e.g., C:\\Windows\\System). Then press OK to finish.",
        message);
}

struct ControlCase {
    int dialog, index, id;  // index: position among the dialog's controls
    const char* text;
};

const ControlCase kControls[] = {
    {IDD_WELCOME, 0, -1,
     "This Setup will help you quickly install Kelmo's Windows 95 display driver."},
    {IDD_WELCOME, 1, -1, "For more information, click Next."},
    {IDD_FINISH, 0, -1,
     "After Setup is complete, you can use Display icon in Control Panel to change the "
     "resolution, colors, and refresh rate you want."},
    {IDD_FINISH, 1, -1, "Click Finish to start."},
    {IDD_FINISH, 2, IDC_SOURCE_STATUS, ""},
    {IDD_FINISH, 3, IDC_TARGET_STATUS, ""},
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

TEST(ShellResources, PagesHaveTheirCaptionSizeAndControls) {
    struct {
        int id, width, height, controls;
    } pages[] = {{IDD_WELCOME, 298, 125, 2}, {IDD_FINISH, 276, 140, 4}};
    for (const auto& page : pages) {
        HWND dialog = CreateDialogParamA(Self(), MAKEINTRESOURCEA(page.id), nullptr,
                                         PlainDialogProc, 0);
        ASSERT_NE(nullptr, dialog) << page.id;
        EXPECT_EQ(kWizardTitle, WindowText(dialog)) << page.id;
        RECT size = {0, 0, page.width, page.height};
        MapDialogRect(dialog, &size);
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(size.right, client.right) << page.id;
        EXPECT_EQ(size.bottom, client.bottom) << page.id;

        std::vector<HWND> children = Children(dialog);
        ASSERT_EQ(static_cast<size_t>(page.controls), children.size()) << page.id;
        for (const ControlCase& c : kControls) {
            if (c.dialog != page.id)
                continue;
            HWND control = children[c.index];
            SCOPED_TRACE(testing::Message() << page.id << " control " << c.index);
            EXPECT_EQ(c.id, static_cast<int>(static_cast<short>(GetDlgCtrlID(control))));
            EXPECT_EQ(c.text, WindowText(control));
        }
        DestroyWindow(dialog);
    }
}

// The header of a bitmap or icon image in this program's resources.
const BITMAPINFOHEADER* ImageHeader(LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(Self(), name, type);
    if (found == nullptr)
        return nullptr;
    return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Self(), found)));
}

TEST(ShellResources, LogoAndIconSizesAndColours) {
    const BITMAPINFOHEADER* logo = ImageHeader("logo", MAKEINTRESOURCEA(2));
    ASSERT_NE(nullptr, logo);
    EXPECT_EQ(100, logo->biWidth);
    EXPECT_EQ(200, logo->biHeight);
    EXPECT_EQ(4, logo->biBitCount);

    HICON icon = LoadIconA(Self(), MAKEINTRESOURCEA(IDI_KELMO));
    ASSERT_NE(nullptr, icon);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask;
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(32, mask.bmWidth);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);

    const BITMAPINFOHEADER* image = ImageHeader(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(3));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(32, image->biWidth);
    EXPECT_EQ(64, image->biHeight);  // colour image and mask
    EXPECT_EQ(4, image->biBitCount);
}

// Drives the wizard from a second thread while RunWizard runs on this one.
class WizardDriver {
public:
    WizardDriver() { thread_ = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr); }
    ~WizardDriver() { CloseHandle(thread_); }
    void Join() { WaitForSingleObject(thread_, 120000); }
    std::vector<std::string> log;

private:
    static DWORD WINAPI ThreadProc(void* self) {
        static_cast<WizardDriver*>(self)->Run();
        return 0;
    }

    static HWND FindSheet() {
        HWND sheet = nullptr;
        WaitUntil([&] {
            sheet = FindWindowA("#32770", kWizardTitle);
            return sheet && IsWindowVisible(sheet);
        });
        return sheet && IsWindowVisible(sheet) ? sheet : nullptr;
    }

    // Which page is showing: the one with the status lines is 102.
    static std::string Current(HWND sheet) {
        HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        if (page == nullptr)
            return "none";
        std::string name = GetDlgItem(page, IDC_SOURCE_STATUS) ? "102" : "101";
        if (FindWindowExA(page, nullptr, kLogoClassName, nullptr) != nullptr)
            name += "+logo";
        return name;
    }

    void Press(HWND sheet, int button, const std::string& before) {
        PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
        WaitUntil([&] { return Current(sheet) != before; });
        log.push_back(Current(sheet));
    }

    void Run() {
        HWND sheet = FindSheet();
        if (sheet == nullptr) {
            log.push_back("no sheet");
            return;
        }
        HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
        log.push_back("pages " + std::to_string(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)));
        log.push_back(Current(sheet));
        Press(sheet, PSBTN_NEXT, log.back());
        Press(sheet, PSBTN_BACK, log.back());
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    }

    HANDLE thread_;
};

TEST(Wizard, NextBackAndCancelEndingWithTheQuitMessage) {
    gSetup.instance = Self();
    RegisterLogoClass(Self());
    WizardDriver driver;
    RunWizard(nullptr);
    driver.Join();
    const std::vector<std::string> expected = {"pages 2", "101+logo", "102+logo", "101+logo"};
    EXPECT_EQ(expected, driver.log);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, message.wParam);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        ;
}

}  // namespace
