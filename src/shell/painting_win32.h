// What the wizard pages paint: the product name as a banner, and the logo
// in a framed child window of class BmpWClass.
#pragma once

#include <windows.h>

extern const char kLogoClassName[];  // "BmpWClass"

// What the banner takes from setup.dat, read once when the wizard is made: a
// repaint must not reach for the diskette.
struct BannerLayout {
    int fontHeight;  // "FontHi": the height of its characters in pixels
    int x, y;        // "StartX", "StartY": the text's top left corner on the page
};

void ReadBannerLayout(BannerLayout* layout);

// Paints the product name as the banner on page in answer to WM_PAINT.
void PaintBanner(HWND page, const BannerLayout* layout);

// The logo window of a page, at its place on the left, shown. Returns null
// when it cannot be created.
HWND CreateLogoWindow(HWND page);

LRESULT CALLBACK LogoWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
