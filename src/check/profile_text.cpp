#include "profile_text.h"

#include <cstring>

#include "base/text.h"

namespace {

// A UTF-8 byte order mark, which the platform skips at the start of a file.
const char kUtf8Bom[] = "\xef\xbb\xbf";
const long kUtf8BomLength = sizeof kUtf8Bom - 1;

// The value ProfileTextToInt gives a character that is no digit: above every base.
const unsigned kNoDigit = 99;

// A stretch of the text, [p, p + cch).
struct Span {
    const char* p;
    int cch;
};

// The platform trims 0x1A along with the usual blanks, but not CR or LF,
// which never reach a line's content, nor bytes above 0x7F.
bool IsProfileBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

Span Trim(Span s) {
    while (s.cch > 0 && IsProfileBlank(s.p[0])) {
        s.p++;
        s.cch--;
    }
    while (s.cch > 0 && IsProfileBlank(s.p[s.cch - 1]))
        s.cch--;
    return s;
}

// Trimmed first, then cut at a zero byte: "X \0 " gives "X ".
Span TrimAndCut(const char* p, int cch) {
    Span s = Trim(Span{p, cch});
    for (int i = 0; i < s.cch; i++) {
        if (s.p[i] == '\0') {
            s.cch = i;
            break;
        }
    }
    return s;
}

int CharSizeIn(Span s, int i, const LeadBytes& lead) {
    return CharSize((const unsigned char*)s.p + i, s.cch - i, lead);
}

// The last character c of s, walked by characters.
int LastIndexOf(Span s, char c, const LeadBytes& lead) {
    int last = -1;
    for (int i = 0; i < s.cch; i += CharSizeIn(s, i, lead)) {
        if (s.p[i] == c)
            last = i;
    }
    return last;
}

int FirstIndexOf(Span s, char c) {
    for (int i = 0; i < s.cch; i++) {
        if (s.p[i] == c)
            return i;
    }
    return -1;
}

void SetValue(ProfileLine* line, Span value) {
    char first = value.cch >= 2 ? value.p[0] : '\0';
    line->quoted = (first == '"' || first == '\'') && value.p[value.cch - 1] == first;
    if (line->quoted) {
        value.p++;
        value.cch -= 2;
    }
    line->value = value.p;
    line->cchValue = value.cch;
}

// Sorts one line (without its line end) into header, key or other.
void ParseLine(Span raw, ProfileLine* line, const LeadBytes& lead) {
    Span s = Trim(raw);
    line->kind = kProfileOther;
    line->name = s.p;
    line->cchName = 0;
    line->value = nullptr;
    line->cchValue = 0;
    line->quoted = false;
    int close = s.cch > 0 && s.p[0] == '[' ? LastIndexOf(s, ']', lead) : -1;
    if (close > 0) {
        Span name = TrimAndCut(s.p + 1, close - 1);
        line->kind = kProfileSection;
        line->name = name.p;
        line->cchName = name.cch;
        return;
    }
    if (s.cch == 0)
        return;
    line->kind = kProfileKey;
    int equals = FirstIndexOf(s, '=');
    Span name = TrimAndCut(s.p, equals < 0 ? s.cch : equals);
    line->name = name.p;
    line->cchName = name.cch;
    if (equals >= 0)
        SetValue(line, TrimAndCut(s.p + equals + 1, s.cch - equals - 1));
}

// BytesEqualNoCase for two spans: the second byte of a character is never folded.
bool SpansEqualNoCase(Span a, Span b, const LeadBytes& lead) {
    return a.cch == b.cch && BytesEqualNoCase(a.p, b.p, a.cch, lead);
}

// The platform's cut of a quoted value keeps one character less when the
// value would exactly fill the buffer. The platform cuts characters first,
// then the bytes of whole characters that fit.
int CopyCount(const ProfileLine& found, int cchValue, const LeadBytes& lead) {
    Span value = {found.value, found.cchValue};
    int room = cchValue - 1, chars = 0;
    for (int i = 0; i < value.cch; i += CharSizeIn(value, i, lead))
        chars++;
    int keep = chars < room ? chars : found.quoted && chars == room ? room - 1 : room;
    int bytes = 0;
    for (int cb; keep > 0 && bytes < value.cch; keep--, bytes += cb) {
        cb = CharSizeIn(value, bytes, lead);
        if (bytes + cb > room)
            break;
    }
    return bytes;
}

// Finds the key's line: the first of its name in the first section of the
// name. Returns false when there is none.
bool FindKeyLine(const char* text, long length, Span section, Span key, ProfileLine* found,
                 const LeadBytes& lead) {
    // Keys before any header belong to the section named "", which is
    // therefore always the first of that name.
    bool inSection = section.cch == 0;
    ProfileCursor cursor = {0, 1};
    while (NextProfileLine(text, length, &cursor, found, lead)) {
        if (found->kind == kProfileSection) {
            if (inSection)
                return false;
            inSection = SpansEqualNoCase(Span{found->name, found->cchName}, section, lead);
        } else if (inSection && found->kind == kProfileKey &&
                   SpansEqualNoCase(Span{found->name, found->cchName}, key, lead)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool NextProfileLine(const char* text, long length, ProfileCursor* cursor, ProfileLine* line,
                     const LeadBytes& lead) {
    long start = cursor->position;
    if (start == 0 && length >= kUtf8BomLength && memcmp(text, kUtf8Bom, kUtf8BomLength) == 0)
        start = kUtf8BomLength;
    if (start < 0 || start >= length)
        return false;
    long end = start;
    while (end < length && text[end] != '\r' && text[end] != '\n')
        end++;
    long next = end;
    if (end < length) {
        next = end + 1;
        if (text[end] == '\r' && next < length && text[next] == '\n')
            next++;
    }
    ParseLine(Span{text + start, (int)(end - start)}, line, lead);
    line->line = cursor->line++;
    cursor->position = next;
    return true;
}

int ReadProfileText(const char* text, long length, const char* section, const char* key,
                    char* value, int cchValue, int* line, const LeadBytes& lead) {
    if (line)
        *line = 0;
    if (!section || !key)
        return -1;
    ProfileLine found;
    Span sectionName = Trim(Span{section, TextLength(section)});
    Span keyName = Trim(Span{key, TextLength(key)});
    if (!FindKeyLine(text, length, sectionName, keyName, &found, lead) || !found.value)
        return -1;
    if (line)
        *line = found.line;
    if (cchValue > 0) {
        int count = CopyCount(found, cchValue, lead);
        for (int i = 0; i < count; i++)
            value[i] = found.value[i];
        value[count] = '\0';
    }
    return found.cchValue;
}

int ProfileTextToInt(const char* value) {
    int i = 0;
    while (i < kProfileIntChars && (value[i] == ' ' || (value[i] >= '\t' && value[i] <= '\r')))
        i++;
    bool negative = i < kProfileIntChars && value[i] == '-';
    if (i < kProfileIntChars && (value[i] == '-' || value[i] == '+'))
        i++;
    unsigned base = 10;
    if (i + 1 < kProfileIntChars && value[i] == '0') {
        static const struct {
            char letter;  // after the '0'
            unsigned base;
        } kPrefixes[] = {{'x', 16}, {'o', 8}, {'b', 2}};
        for (const auto& prefix : kPrefixes) {
            if (value[i + 1] == prefix.letter) {
                base = prefix.base;
                i += 2;
                break;
            }
        }
    }
    unsigned number = 0;
    for (; i < kProfileIntChars; i++) {
        unsigned char c = (unsigned char)value[i];
        unsigned digit = c >= '0' && c <= '9'   ? c - '0'
                         : c >= 'a' && c <= 'z' ? c - 'a' + 10
                         : c >= 'A' && c <= 'Z' ? c - 'A' + 10
                                                : kNoDigit;
        if (digit >= base)
            break;
        number = number * base + digit;
    }
    return (int)(negative ? 0u - number : number);
}

int ReadProfileInt(const char* text, long length, const char* section, const char* key,
                   int defaultValue, int* line, const LeadBytes& lead) {
    char value[kProfileIntChars + 1];
    if (ReadProfileText(text, length, section, key, value, sizeof value, line, lead) < 0 ||
        value[0] == '\0')
        return defaultValue;
    return ProfileTextToInt(value);
}
