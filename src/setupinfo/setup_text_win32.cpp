// The file through the kernel's OpenFile-style calls, the text in fixed
// global memory.
#include "setup_text_win32.h"

#include <windows.h>

#include "setup_sizes.h"

static long ReadFromFile(void* context, unsigned char* buffer, long cb) {
    HFILE file = (HFILE)(INT_PTR)context;
    UINT got = _lread(file, buffer, (UINT)cb);
    if (got == (UINT)HFILE_ERROR)
        return -1;
    return (long)got;
}

bool LoadSetupText(const char* path, SetupText* setupText) {
    setupText->bytes = nullptr;
    setupText->length = 0;
    if (path[0] == '\0')
        return false;
    HFILE file = _lopen(path, OF_READ | OF_SHARE_DENY_WRITE);
    if (file == HFILE_ERROR)
        return false;
    LONG size = _llseek(file, 0, FILE_END);
    if (size < 0 || size >= kMaxInt32 || _llseek(file, 0, FILE_BEGIN) != 0) {
        _lclose(file);
        return false;
    }
    unsigned char* readBuffer = (unsigned char*)GlobalAlloc(GMEM_FIXED, kReadBufferSize);
    if (!readBuffer) {
        _lclose(file);
        return false;
    }
    unsigned char* text = (unsigned char*)GlobalAlloc(GMEM_FIXED, (SIZE_T)size + 1);
    long length = -1;
    if (text)
        length = FilterSetupText(ReadFromFile, (void*)(INT_PTR)file, readBuffer, size, text);
    _lclose(file);
    GlobalFree(readBuffer);
    if (length < 0) {
        if (text)
            GlobalFree(text);
        return false;
    }
    setupText->bytes = text;
    setupText->length = length;
    return true;
}

void ReleaseSetupText(SetupText* setupText) {
    if (setupText->bytes)
        GlobalFree(setupText->bytes);
    setupText->bytes = nullptr;
    setupText->length = 0;
}
