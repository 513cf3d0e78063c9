// Screen shots of the wizard, read from the screen: that works across
// processes where PrintWindow does not.
#include "drive.h"

#include <cstdio>

// A bottom-up 24-bit picture, as a .bmp file stores it.
struct Picture {
    BITMAPINFOHEADER info;
    std::vector<unsigned char> bits;
};

static bool ReadScreen(const RECT& rect, Picture* picture) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    picture->info = {sizeof picture->info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, (BITMAPINFO*)&picture->info, DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    bool read = dib && BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    if (read) {
        const unsigned char* start = (const unsigned char*)bits;
        int cbRow = (width * 3 + 3) & ~3;
        picture->bits.assign(start, start + cbRow * height);
    }
    DeleteObject(SelectObject(memory, old));
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return read;
}

static bool SaveBitmap(const Picture& picture, const std::string& path) {
    DWORD cbHeaders = sizeof(BITMAPFILEHEADER) + sizeof picture.info;
    BITMAPFILEHEADER header = {0x4D42 /* "BM" */, cbHeaders + (DWORD)picture.bits.size(), 0, 0,
                               cbHeaders};
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    fwrite(&header, sizeof header, 1, file);
    fwrite(&picture.info, sizeof picture.info, 1, file);
    fwrite(picture.bits.data(), picture.bits.size(), 1, file);
    return fclose(file) == 0;
}

static BOOL CALLBACK FindUnpainted(HWND window, LPARAM painted) {
    if (GetUpdateRect(window, nullptr, FALSE))
        *(bool*)painted = false;
    return TRUE;
}

// True when no window of the wizard waits for its WM_PAINT.
static bool Painted(HWND wizard) {
    bool painted = !GetUpdateRect(wizard, nullptr, FALSE);
    EnumChildWindows(wizard, FindUnpainted, (LPARAM)&painted);
    return painted;
}

// The page's client origin relative to the wizard's window, its size, and
// the logo window relative to the page.
static void ReportShot(const std::string& name, const RECT& window, HWND page) {
    POINT origin = {0, 0};
    RECT client, logo = {0, 0, 0, 0};
    ClientToScreen(page, &origin);
    GetClientRect(page, &client);
    if (HWND logoWindow = FindWindowExA(page, nullptr, "BmpWClass", nullptr)) {
        GetWindowRect(logoWindow, &logo);
        MapWindowPoints(nullptr, page, (POINT*)&logo, 2);
    }
    Emit("shot", {{"name", JsonString(name)},
                  {"client", JsonNumbers({origin.x - window.left, origin.y - window.top})},
                  {"size", JsonNumbers({client.right, client.bottom})},
                  {"logo", JsonNumbers({logo.left, logo.top, logo.right - logo.left,
                                        logo.bottom - logo.top})}});
}

// The screen shows what the wizard painted once two reads in a row agree.
bool TakeShot(Drive* drive, const std::string& shotsDir, const std::string& name) {
    RECT window;
    Picture last, next;
    bool stable = WaitFor(drive, [&] {
        if (!Painted(drive->wizard) || !GetWindowRect(drive->wizard, &window) ||
            !ReadScreen(window, &next))
            return false;
        bool same = next.bits == last.bits;
        last = next;
        return same;
    });
    HWND page = CurrentPage(drive->wizard);
    if (!stable || !page || !SaveBitmap(last, shotsDir + "\\" + name + ".bmp"))
        return false;
    ReportShot(name, window, page);
    return true;
}
