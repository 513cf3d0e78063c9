// The findings of a plan: formatting their texts and adding them.
#include <cstdarg>
#include <cstdio>

#include "check_internal.h"

std::string Format(const char* format, ...) {
    // Most texts fit the stack buffer, and one pass formats them.
    char small[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string text;
    if (length > 0 && (size_t)length < sizeof small) {
        text.assign(small, (size_t)length);
    } else if (length > 0) {
        text.resize((size_t)length);
        vsnprintf(&text[0], (size_t)length + 1, format, again);
    }
    va_end(again);
    return text;
}

void AddFinding(Checker* checker, Severity severity, int line, const std::string& text) {
    checker->plan->findings.push_back({severity, line, text});
}

std::string Shown(const std::string& line) {
    std::string shown;
    for (unsigned char c : line) {
        if (c == '\r' || c == '\n')
            continue;
        shown += c < ' ' ? Format("\\x%02X", c) : std::string(1, (char)c);
    }
    return shown;
}
