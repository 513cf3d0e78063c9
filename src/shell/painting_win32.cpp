#include "painting_win32.h"

#include "base/text.h"
#include "resource.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"

const char kLogoClassName[] = "BmpWClass";

// Where the logo window stands on each page, in pixels.
static const RECT kLogoWindowPlace = {10, 10, 10 + 120, 10 + 210};

static const COLORREF kBannerShadow = RGB(0, 0, 255);
static const COLORREF kBannerText = RGB(255, 255, 255);

// The banner font but for its height, which comes from setup.dat. Its
// character set is the system's, so a product name in the users' script
// (Japanese, Chinese) is drawn in it rather than as Latin-1.
static const LOGFONTA kBannerFont = {
    0, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_STROKE_PRECIS,
    CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times N"};

// The logo as the last logo window loaded it. It is kept for the run: a
// later page's window paints the same bitmap.
static HBITMAP gLogoBitmap;
static int gLogoWidth;
static int gLogoHeight;

// The banner where setup.dat does not say otherwise, in pixels.
static const BannerLayout kDefaultBanner = {36, 150, 10};

void ReadBannerLayout(BannerLayout* layout) {
    layout->fontHeight = ReadSetupInt(kBannerSection, kFontHiKey, kDefaultBanner.fontHeight);
    layout->x = ReadSetupInt(kBannerSection, kStartXKey, kDefaultBanner.x);
    layout->y = ReadSetupInt(kBannerSection, kStartYKey, kDefaultBanner.y);
}

void PaintBanner(HWND page, const BannerLayout* layout) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(page, &ps);
    LOGFONTA logFont = kBannerFont;
    logFont.lfHeight = -layout->fontHeight;
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    int x = layout->x;
    int y = layout->y;
    int cch = TextLength(gSetup.productName);
    COLORREF oldColour = SetTextColor(dc, kBannerShadow);
    TextOutA(dc, x, y, gSetup.productName, cch);
    SetTextColor(dc, kBannerText);
    TextOutA(dc, x - 1, y - 1, gSetup.productName, cch);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    EndPaint(page, &ps);
}

HWND CreateLogoWindow(HWND page) {
    const RECT& r = kLogoWindowPlace;
    HWND logo = CreateWindowExA(0, kLogoClassName, "", WS_CHILD, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, page, nullptr,
                                gSetup.instance, nullptr);
    if (logo == nullptr)
        return nullptr;
    ShowWindow(logo, SW_SHOW);
    UpdateWindow(logo);
    return logo;
}

static void LoadLogo(HWND window) {
    gLogoBitmap = LoadBitmapA(gSetup.instance, LOGO_RESOURCE_NAME);
    BITMAP bitmap;
    ZeroBytes(&bitmap, sizeof bitmap);
    if (gLogoBitmap != nullptr)
        GetObjectA(gLogoBitmap, sizeof bitmap, &bitmap);
    gLogoWidth = bitmap.bmWidth;
    gLogoHeight = bitmap.bmHeight;
    InvalidateRect(window, nullptr, FALSE);
}

// A sunken frame: grey along the top and left, white along the right and
// bottom, and the logo stretched inside it.
static void PaintLogo(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT rect;
    GetWindowRect(window, &rect);
    int w = rect.right - rect.left;
    int h = rect.bottom - rect.top;

    HPEN grey = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    HGDIOBJ oldPen = SelectObject(dc, grey);
    MoveToEx(dc, 0, h - 2, nullptr);
    LineTo(dc, 0, 0);
    LineTo(dc, w, 0);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    LineTo(dc, w, h);
    LineTo(dc, 1, h);
    SelectObject(dc, oldPen);
    DeleteObject(grey);

    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(memory, gLogoBitmap);
    StretchBlt(dc, 1, 1, w - 2, h - 2, memory, 0, 0, gLogoWidth, gLogoHeight, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    EndPaint(window, &ps);
}

LRESULT CALLBACK LogoWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        LoadLogo(window);
        return 0;
    case WM_PAINT:
        PaintLogo(window);
        return 0;
    case WM_DESTROY:
        // The logo windows go with the wizard's pages, however the wizard was
        // left: the quit message ends the program's message loop then.
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
