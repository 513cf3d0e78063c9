// What setup.exe needs in place of a C runtime: its entry point, and the
// memset, memcpy and strlen that the compiler may call for block moves and
// for loops it recognises.
#include <windows.h>

#include <stddef.h>

// Plain loops that the optimiser must not turn back into calls of
// themselves.
#define KELMO_NO_LIBCALLS __attribute__((optimize("no-tree-loop-distribute-patterns")))

extern "C" KELMO_NO_LIBCALLS void* memset(void* dst, int value, size_t cb) {
    unsigned char* p = static_cast<unsigned char*>(dst);
    while (cb-- > 0)
        *p++ = static_cast<unsigned char>(value);
    return dst;
}

extern "C" KELMO_NO_LIBCALLS void* memcpy(void* dst, const void* src, size_t cb) {
    unsigned char* d = static_cast<unsigned char*>(dst);
    const unsigned char* s = static_cast<const unsigned char*>(src);
    while (cb-- > 0)
        *d++ = *s++;
    return dst;
}

extern "C" KELMO_NO_LIBCALLS size_t strlen(const char* text) {
    size_t cch = 0;
    while (text[cch] != '\0')
        cch++;
    return cch;
}

extern "C" void WinMainCRTStartup() {
    ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT));
}
