// The wizard in this process: its real pages from the program's resources,
// looked at through their windows and pixels while the property sheet runs,
// and worked through its buttons as a person would.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <prsht.h>

#include <set>
#include <vector>

#include "message_box.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"
#include "shell/entry_win32.h"
#include "shell/main_window_win32.h"
#include "shell/wizard_win32.h"
#include "win32_support.h"

namespace {

const COLORREF kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255), kGrey = RGB(128, 128, 128);
const int kFontHi = 32, kStartX = 160, kStartY = 12;

// The page's client area as pixels (0xRRGGBB), top row first.
std::vector<DWORD> ReadPage(HWND page, int w, int h) {
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    BITMAPINFOHEADER info = {sizeof info, w, -h, 1, 32, BI_RGB};
    HDC dc = GetDC(page), memory = CreateCompatibleDC(dc);
    DWORD* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, (BITMAPINFO*)&info, DIB_RGB_COLORS, (void**)&bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels(bits, bits + w * h);
    DeleteObject(SelectObject(memory, old));
    DeleteDC(memory);
    ReleaseDC(page, dc);
    return pixels;
}

// What a page shows, said in words: the wizard buttons it makes usable, the
// logo window's place, frame and bitmap, and the banner's pixels: white text
// with a one-pixel blue shadow, at StartX, StartY, FontHi high.
std::string Look(HWND sheet, HWND page) {
    std::string seen = "buttons:";
    const std::pair<int, const char*> buttons[] = {{0x3023, "back"}, {0x3024, "next"}, {0x3025, "finish"}};
    for (const auto& button : buttons)  // the ids the common controls give them
        if (ControlUsable(sheet, button.first))
            seen += std::string(" ") + button.second;
    RECT logo = {}, client, banner = {10000, 10000, -1, -1};
    GetWindowRect(FindWindowExA(page, nullptr, "BmpWClass", nullptr), &logo);
    MapWindowPoints(nullptr, page, (POINT*)&logo, 2);
    GetClientRect(page, &client);
    int w = client.right, h = client.bottom, blue = 0, shadowed = 0;
    std::vector<DWORD> px = ReadPage(page, w, h);
    auto at = [&](int x, int y) { return RGB(px[y * w + x] >> 16, px[y * w + x] >> 8, px[y * w + x]); };
    std::set<COLORREF> edges, inside;
    for (int i = 1; i < 209 && 10 + i < h; i++)  // the page may be lower than the logo
        edges.insert({at(10, 10 + i), at(10 + i % 120, 10)});
    for (int y = 11; y < 219 && y < h; y += 3)
        for (int x = 11; x < 129; x += 3)
            inside.insert(at(x, y));
    for (int y = 1; y < h; y++)
        for (int x = 131; x < w; x++)
            if (at(x, y) == kBlue) {
                blue++;
                shadowed += at(x - 1, y - 1) == kWhite;
                banner = {std::min<LONG>(banner.left, x), std::min<LONG>(banner.top, y),
                          std::max<LONG>(banner.right, x), std::max<LONG>(banner.bottom, y)};
            }
    bool placed = kStartX - 2 <= banner.left && banner.left <= kStartX + 6 && kStartY <= banner.top &&
                  banner.top <= kStartY + kFontHi / 2 && kStartY + kFontHi / 2 <= banner.bottom &&
                  banner.bottom <= kStartY + 2 * kFontHi;
    char text[256];
    wsprintfA(text, "; logo %ld,%ld %ldx%ld, %s frame, %s; banner %s, %s, %s", logo.left, logo.top,
              logo.right - logo.left, logo.bottom - logo.top,
              edges == std::set<COLORREF>{kGrey} ? "grey" : "other", inside.size() > 2 ? "bitmap" : "blank",
              blue > 30 ? "blue" : "no blue", shadowed >= blue * 95 / 100 ? "shadowed" : "unshadowed",
              placed ? "in place" : "out of place");
    return seen + text;
}

// On each page in turn (the finish page carries the status lines), the
// buttons it makes usable, and the one pressed.
const struct { bool finish; const char* buttons; int press; } kSteps[] = {
    {false, "next", PSBTN_NEXT}, {true, "back finish", PSBTN_BACK}, {false, "next", PSBTN_CANCEL}};
std::vector<std::string> gSeen;
int gWaited;

// Run from the sheet's own message loop. A page posts its buttons as it
// becomes active: it is looked at once they are set, or as it is after a while.
void CALLBACK WorkTheWizard(HWND, UINT, UINT_PTR, DWORD) {
    HWND sheet = FindWindowA("#32770", "Kelmo Setup Wizard");
    size_t step = gSeen.size();
    HWND page = sheet && step < 3 ? (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0) : nullptr;
    if (!page || (GetDlgItem(page, IDC_SOURCE_STATUS) != nullptr) != kSteps[step].finish)
        return;
    std::string seen = Look(sheet, page);
    if (seen.find(std::string("buttons: ") + kSteps[step].buttons + ";") != 0 && ++gWaited < 40)
        return;
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
    for (size_t i = 0; i < gSeen.size(); i++)
        EXPECT_EQ(std::string("buttons: ") + kSteps[i].buttons +
                      "; logo 10,10 120x210, grey frame, bitmap; banner blue, shadowed, in place",
                  gSeen[i]) << "page " << i;
}

}  // namespace

// Critical errors, such as an empty drive, fail to the program: read back
// through the mode the settings leave behind.
TEST(Startup, CriticalErrorsFailToTheProgram) {
    SetErrorMode(0);
    ApplyStartupSettings();
    EXPECT_EQ((UINT)SEM_FAILCRITICALERRORS, SetErrorMode(0) & SEM_FAILCRITICALERRORS);
}
