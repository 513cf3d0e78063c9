// The keyed-value reader of the checker over any file text: every line is
// walked to the end, and values stay within their buffers.
#include <stdlib.h>
#include <string.h>

#include "check/profile_text.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const char* text = (const char*)data;
    long length = (long)size;
    ProfileCursor cursor = {0, 1};
    ProfileLine line;
    int last = 0;
    while (NextProfileLine(text, length, &cursor, &line)) {
        if (cursor.position > length || line.line <= last || line.cchName < 0)
            abort();
        last = line.line;
    }
    static const char* const kKeys[][2] = {
        {"Product", "ProductName"}, {"DiskSpace", "SizeInKB"}, {"", ""}, {"a", "b"}};
    for (const auto& key : kKeys) {
        char value[8];
        memset(value, 0x5A, sizeof value);
        int full = ReadProfileText(text, length, key[0], key[1], value, 5, nullptr);
        if (full >= 0 && (strlen(value) > 4 || value[5] != 0x5A || (int)strlen(value) > full))
            abort();
        ReadProfileInt(text, length, key[0], key[1], 7, nullptr);
    }
    return 0;
}
