// kelmo_hold PATH: holds the file open without sharing, as a running system
// holds its loaded driver, until the session ends for a restart. Prints
// "held" once it has the file, and at the end "released" with the file's
// bytes in hex as they are just before the restart goes on.
#include <windows.h>

#include <cstdio>

static HANDLE gFile;

static LRESULT CALLBACK HoldWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYENDSESSION)
        return TRUE;
    if (message == WM_ENDSESSION && wParam) {
        // The restart goes on as soon as this returns, or after a few seconds
        // if it does not: let go of the file first, print afterwards.
        static unsigned char bytes[65536];
        DWORD got = 0;
        ReadFile(gFile, bytes, sizeof bytes, &got, nullptr);
        CloseHandle(gFile);
        printf("released ");
        for (DWORD i = 0; i < got; i++)
            printf("%02x", bytes[i]);
        printf("\n");
        fflush(stdout);
        PostQuitMessage(0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int main(int argc, char** argv) {
    if (argc != 2)
        return 3;
    gFile = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    // A hidden top-level window: the end of the session reaches it.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HoldWndProc;
    windowClass.lpszClassName = "KelmoHoldWClass";
    if (gFile == INVALID_HANDLE_VALUE || !RegisterClassA(&windowClass) ||
        !CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                         nullptr, nullptr, nullptr))
        return 1;
    printf("held\n");
    fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
