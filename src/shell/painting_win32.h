// What the wizard pages paint: the product name as a banner, and the logo
// in a framed child window of class BmpWClass.
#pragma once

#include <windows.h>

extern const char kLogoClassName[];  // "BmpWClass"

// Paints the banner on page in answer to WM_PAINT.
void PaintBanner(HWND page);

// The logo window of a page at (10, 10), 120 by 210 pixels, shown. Returns
// null when it cannot be created.
HWND CreateLogoWindow(HWND page);

LRESULT CALLBACK LogoWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
