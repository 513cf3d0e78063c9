// The checker's keyed-value reader over any text: lines walked, values bounded.
#include <stdlib.h>
#include <string.h>

#include "check/profile_text.h"

// Code page 932's lead bytes: a second byte may be ']'.
static const LeadBytes kDoubleByte = {{0x81, 0x9F, 0xE0, 0xFC}};

static void ReadAll(const unsigned char* data, size_t size, const LeadBytes& lead) {
    const char* text = (const char*)data;
    long length = (long)size;
    ProfileCursor cursor = {0, 1};
    ProfileLine line;
    for (int last = 0; NextProfileLine(text, length, &cursor, &line, lead); last = line.line)
        if (cursor.position > length || line.line <= last || line.cchName < 0)
            abort();
    static const char* const kKeys[][2] = {{"Product", "ProductName"}, {"Disk", "Size"}, {"", ""}};
    for (const auto& key : kKeys) {
        char value[8];
        memset(value, 0x5A, sizeof value);
        int full = ReadProfileText(text, length, key[0], key[1], value, 5, nullptr, lead);
        if (full >= 0 && (strlen(value) > 4 || value[5] != 0x5A || (int)strlen(value) > full))
            abort();
        ReadProfileInt(text, length, key[0], key[1], 7, nullptr, lead);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    ReadAll(data, size, kSingleByteCodePage);
    ReadAll(data, size, kDoubleByte);
    return 0;
}
