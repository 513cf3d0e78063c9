#include "driver_intent.h"

#include "setupinfo/text.h"

int FindingSink::Count(Severity severity) const {
    int count = 0;
    for (const Finding& f : findings)
        count += f.severity == severity;
    return count;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && BytesEqualNoCaseAscii(a.data(), b.data(), (long)a.size());
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        c = c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
    return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
