// Holds a file open without sharing, as a running system holds its loaded
// driver, until the session ends for a restart. Prints "held" once it has the
// file, and at the end "released" with the file's bytes in hex as they were
// just before the restart.
//   kelmo_hold PATH
#include <windows.h>

#include <cstdio>

namespace {

HANDLE gFile = INVALID_HANDLE_VALUE;

// Reports the bytes and lets the file go before the restart goes on.
void Release() {
    printf("released ");
    unsigned char buffer[4096];
    DWORD got = 0;
    SetFilePointer(gFile, 0, nullptr, FILE_BEGIN);
    while (ReadFile(gFile, buffer, sizeof buffer, &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; i++)
            printf("%02x", buffer[i]);
    printf("\n");
    fflush(stdout);
    CloseHandle(gFile);
    gFile = INVALID_HANDLE_VALUE;
}

LRESULT CALLBACK HoldWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam && gFile != INVALID_HANDLE_VALUE) {
            Release();
            PostQuitMessage(0);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 3;
    gFile = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (gFile == INVALID_HANDLE_VALUE)
        return 1;
    // A hidden top-level window: the end of the session reaches it.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HoldWndProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KelmoHoldWClass";
    if (!RegisterClassA(&windowClass) ||
        !CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                         nullptr, windowClass.hInstance, nullptr))
        return 1;
    printf("held\n");
    fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
