// Case-blind comparison and lower-casing by characters. Apart from the
// walks of code_page.cpp, so that a program that needs only those (setup.exe
// compares names with the system's own function) does not carry these.
#include "code_page.h"
#include "text.h"

bool BytesEqualNoCase(const char* a, const char* b, long cb, const LeadBytes& lead) {
    const unsigned char* pa = (const unsigned char*)a;
    const unsigned char* pb = (const unsigned char*)b;
    for (long i = 0, size; i < cb; i += size) {
        size = CharSize(pa + i, cb - i, lead);
        if (size != CharSize(pb + i, cb - i, lead))
            return false;
        if (size == 2 ? pa[i] != pb[i] || pa[i + 1] != pb[i + 1]
                      : LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool TextEqualNoCase(const char* a, const char* b, const LeadBytes& lead) {
    long cch = TextLength(a);
    return cch == TextLength(b) && BytesEqualNoCase(a, b, cch, lead);
}

void BytesLowerCase(char* text, long cb, const LeadBytes& lead) {
    for (long i = 0, size; i < cb; i += size) {
        size = CharSize((const unsigned char*)text + i, cb - i, lead);
        if (size == 1)
            text[i] = LowerAscii(text[i]);
    }
}

void TextLowerCase(char* text, const LeadBytes& lead) {
    BytesLowerCase(text, TextLength(text), lead);
}
