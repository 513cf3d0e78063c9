#include "text.h"

#include <stdarg.h>

int TextLength(const char* text) {
    int cch = 0;
    while (text[cch] != '\0')
        cch++;
    return cch;
}

bool TextCopy(char* dst, int cchDst, const char* src) {
    if (cchDst <= 0)
        return src[0] == '\0';
    int i = 0;
    for (; src[i] != '\0'; i++) {
        if (i == cchDst - 1) {
            dst[i] = '\0';
            return false;
        }
        dst[i] = src[i];
    }
    dst[i] = '\0';
    return true;
}

bool TextAppend(char* dst, int cchDst, const char* src) {
    int used = 0;
    while (used < cchDst && dst[used] != '\0')
        used++;
    if (used >= cchDst)
        return false;
    return TextCopy(dst + used, cchDst - used, src);
}

namespace {

// Writes into a bounded destination and remembers whether anything was cut.
struct Writer {
    char* dst;
    int cch;
    int used;
    bool fit;

    void Put(char c) {
        if (used < cch - 1)
            dst[used++] = c;
        else
            fit = false;
    }
    void PutText(const char* text) {
        while (*text)
            Put(*text++);
    }
    void PutUnsigned(unsigned long value) {
        char digits[12];
        int n = 0;
        do {
            digits[n++] = (char)('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (n > 0)
            Put(digits[--n]);
    }
};

}  // namespace

bool TextFormat(char* dst, int cchDst, const char* format, ...) {
    if (cchDst <= 0)
        return false;
    Writer out = {dst, cchDst, 0, true};
    va_list args;
    va_start(args, format);
    for (const char* p = format; *p; p++) {
        if (*p != '%' || p[1] == '\0') {
            out.Put(*p);
            continue;
        }
        p++;
        switch (*p) {
        case 's': {
            const char* s = va_arg(args, const char*);
            out.PutText(s ? s : "");
            break;
        }
        case 'c':
            out.Put((char)va_arg(args, int));
            break;
        case 'd': {
            long v = va_arg(args, int);
            if (v < 0) {
                out.Put('-');
                out.PutUnsigned((unsigned long)(-(v + 1)) + 1);
            } else {
                out.PutUnsigned((unsigned long)v);
            }
            break;
        }
        case 'u':
            out.PutUnsigned(va_arg(args, unsigned));
            break;
        case '%':
            out.Put('%');
            break;
        default:
            out.Put('%');
            out.Put(*p);
            break;
        }
    }
    va_end(args);
    dst[out.used] = '\0';
    return out.fit;
}

const char* TextFind(const char* haystack, const char* needle) {
    if (needle[0] == '\0')
        return haystack;
    for (const char* h = haystack; *h; h++) {
        int i = 0;
        while (needle[i] != '\0' && h[i] == needle[i])
            i++;
        if (needle[i] == '\0')
            return h;
    }
    return nullptr;
}

bool TextEqual(const char* a, const char* b) {
    for (; *a && *a == *b; a++, b++) {
    }
    return *a == *b;
}

bool BytesEqualNoCaseAscii(const char* a, const char* b, long cb) {
    for (long i = 0; i < cb; i++) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool TextEqualNoCaseAscii(const char* a, const char* b) {
    int cch = TextLength(a);
    return cch == TextLength(b) && BytesEqualNoCaseAscii(a, b, cch);
}

bool IsBlankText(const char* text, long cch) {
    for (long i = 0; i < cch; i++) {
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n')
            return false;
    }
    return true;
}

int LineAtOffset(const char* text, long offset) {
    int line = 1;
    for (long i = 0; i < offset; i++)
        line += text[i] == '\n';
    return line;
}

#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-loop-distribute-patterns")))
#endif
void ZeroBytes(void* dst, int cb) {
    unsigned char* p = (unsigned char*)dst;
    for (int i = 0; i < cb; i++)
        p[i] = 0;
}
