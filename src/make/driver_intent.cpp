#include "driver_intent.h"

#include "setupinfo/text.h"

int FindingSink::Count(Severity severity) const {
    int count = 0;
    for (const Finding& f : findings)
        count += f.severity == severity;
    return count;
}

bool SameName(const std::string& a, const std::string& b, const LeadBytes& lead) {
    if (a.size() != b.size())
        return false;
    const unsigned char* pa = (const unsigned char*)a.data();
    const unsigned char* pb = (const unsigned char*)b.data();
    long cb = (long)a.size();
    for (long i = 0, size; i < cb; i += size) {
        size = CharSize(pa + i, cb - i, lead);
        if (size != CharSize(pb + i, cb - i, lead) ||
            !BytesEqualNoCaseAscii(a.data() + i, b.data() + i, 1) ||
            (size == 2 && pa[i + 1] != pb[i + 1]))
            return false;
    }
    return true;
}

std::string LowerAscii(std::string text, const LeadBytes& lead) {
    const unsigned char* p = (const unsigned char*)text.data();
    for (long i = 0, cb = (long)text.size(), size; i < cb; i += size) {
        size = CharSize(p + i, cb - i, lead);
        if (size == 1 && text[(size_t)i] >= 'A' && text[(size_t)i] <= 'Z')
            text[(size_t)i] = (char)(text[(size_t)i] - 'A' + 'a');
    }
    return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
