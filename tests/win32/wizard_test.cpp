// The wizard in this process: its real pages from the program's resources,
// looked at through their windows and pixels while the property sheet runs,
// and worked through its buttons as a person would.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <prsht.h>

#include <set>
#include <vector>

#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"
#include "shell/main_window_win32.h"
#include "shell/wizard_win32.h"
#include "message_box.h"
#include "win32_support.h"

namespace {

// The ids the common controls give the sheet's wizard buttons.
const int kBackId = 0x3023, kNextId = 0x3024, kFinishId = 0x3025;
const COLORREF kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255), kGrey = RGB(128, 128, 128);
const int kFontHi = 32, kStartX = 160, kStartY = 12;

// A page as it was on the screen, and the button pressed on it.
struct PageSeen {
    bool finish;                // the page with the status lines
    std::string buttons;        // the usable wizard buttons: "back next finish"
    RECT logo;                  // the logo window on the page
    std::set<COLORREF> edges;   // the logo's top and left frame
    size_t logoColours;         // inside the frame
    int blue, shadowed;         // banner pixels in blue, and those with white up and left
    RECT banner;                // around the blue ones
};

// The page's client area as 32-bit pixels, top row first.
std::vector<COLORREF> ReadPage(HWND page, int width, int height) {
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    BITMAPINFOHEADER info = {sizeof info, width, -height, 1, 32, BI_RGB};
    HDC dc = GetDC(page), memory = CreateCompatibleDC(dc);
    DWORD* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, (BITMAPINFO*)&info, DIB_RGB_COLORS, (void**)&bits,
                                   nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(bits, bits + width * height);
    for (COLORREF& p : pixels)  // BGR in the DIB, RGB in a COLORREF
        p = RGB(GetBValue(p), GetGValue(p), GetRValue(p));
    DeleteObject(SelectObject(memory, old));
    DeleteDC(memory);
    ReleaseDC(page, dc);
    return pixels;
}

PageSeen Look(HWND sheet, HWND page) {
    PageSeen seen = {GetDlgItem(page, IDC_SOURCE_STATUS) != nullptr, "", {}, {}, 0, 0, 0,
                     {10000, 10000, -1, -1}};
    for (auto button : {std::make_pair(kBackId, "back"), std::make_pair(kNextId, "next"),
                        std::make_pair(kFinishId, "finish")})
        if (ControlUsable(sheet, button.first))
            seen.buttons += (seen.buttons.empty() ? "" : " ") + std::string(button.second);
    if (HWND logo = FindWindowExA(page, nullptr, "BmpWClass", nullptr)) {
        GetWindowRect(logo, &seen.logo);
        MapWindowPoints(nullptr, page, (POINT*)&seen.logo, 2);
    }
    RECT client;
    GetClientRect(page, &client);
    int w = client.right, h = client.bottom;
    std::vector<COLORREF> px = ReadPage(page, w, h);
    auto at = [&](int x, int y) { return px[y * w + x]; };
    std::set<COLORREF> inside;
    for (int i = 1; i < 209 && 10 + i < h; i++)
        seen.edges.insert(at(10, 10 + i));
    for (int i = 0; i < 120; i++)
        seen.edges.insert(at(10 + i, 10));
    for (int y = 11; y < 219 && y < h; y += 3)
        for (int x = 11; x < 129; x += 3)
            inside.insert(at(x, y));
    seen.logoColours = inside.size();
    for (int y = 1; y < h; y++)
        for (int x = 131; x < w; x++)
            if (at(x, y) == kBlue) {
                seen.blue++;
                seen.shadowed += at(x - 1, y - 1) == kWhite;
                seen.banner = {std::min<LONG>(seen.banner.left, x), std::min<LONG>(seen.banner.top, y),
                               std::max<LONG>(seen.banner.right, x), std::max<LONG>(seen.banner.bottom, y)};
            }
    return seen;
}

// The steps: on each page in turn, the button to press.
struct Step {
    bool finish;
    int press;
    const char* buttons;  // what the page makes usable
};
const Step kSteps[] = {{false, PSBTN_NEXT, "next"},
                       {true, PSBTN_BACK, "back finish"},
                       {false, PSBTN_CANCEL, "next"}};

std::vector<PageSeen> gSeen;
int gWaited;

// Run from the sheet's own message loop: once the expected page is current
// and has set its buttons (a page posts them as it becomes active; after a
// while it is looked at as it is), it is looked at and the step's button
// pressed.
void CALLBACK WorkTheWizard(HWND, UINT, UINT_PTR, DWORD) {
    HWND sheet = FindWindowA("#32770", "Kelmo Setup Wizard");
    size_t step = gSeen.size();
    if (!sheet || step >= sizeof kSteps / sizeof kSteps[0])
        return;
    HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    if (!page || (GetDlgItem(page, IDC_SOURCE_STATUS) != nullptr) != kSteps[step].finish)
        return;
    PageSeen seen = Look(sheet, page);
    if (seen.buttons != kSteps[step].buttons && ++gWaited < 40)
        return;
    gWaited = 0;
    gSeen.push_back(seen);
    PostMessageA(sheet, PSM_PRESSBUTTON, kSteps[step].press, 0);
}

TEST(Wizard, PagesShowLogoAndBannerAndLeadOnlyWhereTheirButtonsSay) {
    TempDir disk("wizard");
    WriteFileBytes(disk / "setup.dat", "[Banner]\r\nFontHi=32\r\nStartX=160\r\nStartY=12\r\n");
    lstrcpyA(gSetup.setupDatPath, (disk / "setup.dat").c_str());
    lstrcpyA(gSetup.productName, "Kelmo ProGraph 64");
    gSetup.instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    ASSERT_TRUE(RegisterLogoClass(gSetup.instance));
    UINT_PTR timer = SetTimer(nullptr, 0, 50, WorkTheWizard);
    RunWizard(nullptr);
    KillTimer(nullptr, timer);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "Cancel ends the program";

    ASSERT_EQ(3u, gSeen.size());
    for (size_t i = 0; i < gSeen.size(); i++) {
        const PageSeen& s = gSeen[i];
        testing::ScopedTrace row(__FILE__, __LINE__, "page " + std::to_string(i));
        EXPECT_EQ(kSteps[i].buttons, s.buttons);
        EXPECT_EQ((std::vector<LONG>{10, 10, 130, 220}),
                  (std::vector<LONG>{s.logo.left, s.logo.top, s.logo.right, s.logo.bottom}));
        EXPECT_EQ(std::set<COLORREF>{kGrey}, s.edges) << "the logo's frame, grey at the top and left";
        EXPECT_GT(s.logoColours, 2u) << "a bitmap inside the frame";
        // White text with a one-pixel blue shadow, at StartX, StartY, FontHi high.
        EXPECT_GT(s.blue, 30);
        EXPECT_GE(s.shadowed, s.blue * 95 / 100);
        EXPECT_TRUE(kStartX - 2 <= s.banner.left && s.banner.left <= kStartX + 6) << s.banner.left;
        EXPECT_TRUE(kStartY <= s.banner.top && s.banner.top <= kStartY + kFontHi / 2 &&
                    kStartY + kFontHi / 2 <= s.banner.bottom && s.banner.bottom <= kStartY + 2 * kFontHi)
            << s.banner.top << ".." << s.banner.bottom;
    }
}

}  // namespace
