#include "code_page.h"

const LeadBytes kSingleByteCodePage = {};

// The first byte that can be the second of a character.
static const unsigned char kLowestSecondByte = 0x40;

bool IsLeadByte(const LeadBytes& lead, unsigned char byte) {
    for (int i = 0; i + 1 < kLeadByteTableSize && lead.ranges[i] != 0; i += 2) {
        if (byte >= lead.ranges[i] && byte <= lead.ranges[i + 1])
            return true;
    }
    return false;
}

int CharSize(const unsigned char* text, long cbLeft, const LeadBytes& lead) {
    if (cbLeft >= 2 && IsLeadByte(lead, text[0]) && text[1] >= kLowestSecondByte)
        return 2;
    return 1;
}

int CharSizeOf(const char* text, const LeadBytes& lead) {
    const unsigned char* p = (const unsigned char*)text;
    return CharSize(p, p[0] == '\0' ? 1 : 2, lead);
}

const char* FindLastSeparator(const char* text, bool slashToo, const LeadBytes& lead) {
    const char* last = nullptr;
    for (const char* p = text; *p; p += CharSizeOf(p, lead)) {
        if (*p == '\\' || (slashToo && *p == '/'))
            last = p;
    }
    return last;
}

const char* FindFirstBackslash(const char* text, const LeadBytes& lead) {
    for (const char* p = text; *p; p += CharSizeOf(p, lead)) {
        if (*p == '\\')
            return p;
    }
    return nullptr;
}
