#include "installed_name.h"

#include "base/code_page.h"
#include "base/text.h"

const CompressedName CompressedNameTable[kCompressedNameCount] = {
    {"dr_", 'v'}, {"vx_", 'd'}, {"in_", 'i'}, {"dl_", 'l'}, {"ex_", 'e'},
    {"hl_", 'p'}, {"da_", 't'}, {"re_", 'g'}, {"tx_", 't'},
};

// Extensions longer than this cannot be in the table.
static const int kExtensionSize = 8;

static void StripDirectory(char* name, const LeadBytes& lead) {
    const char* separator = FindLastSeparator(name, true, lead);
    if (separator == nullptr)
        return;
    int start = (int)(separator - name) + 1;
    int i = 0;
    for (; name[start + i] != '\0'; i++)
        name[i] = name[start + i];
    name[i] = '\0';
}

// Copies the text after the last '.' into extension, or makes it empty when
// the name has none. Returns false when the extension was cut to fit.
static bool GetExtension(const char* name, char* extension, int cchExtension) {
    const char* dot = nullptr;
    for (const char* p = name; *p; p++) {
        if (*p == '.')
            dot = p;
    }
    return TextCopy(extension, cchExtension, dot ? dot + 1 : "");
}

static void ExpandCompressedName(char* name) {
    char extension[kExtensionSize];
    if (!GetExtension(name, extension, sizeof extension) || extension[0] == '\0')
        return;
    for (const CompressedName& row : CompressedNameTable) {
        if (TextEqualNoCaseAscii(extension, row.storedExtension)) {
            name[TextLength(name) - 1] = row.letter;
            return;
        }
    }
}

static bool NamesAFile(const char* name) {
    return name[0] != '\0' && !TextEqualNoCaseAscii(name, ".") &&
           !TextEqualNoCaseAscii(name, "..");
}

bool MakeInfName(const char* installName, char* name, int cchName, const LeadBytes& lead) {
    if (!TextCopy(name, cchName, installName))
        return false;
    StripDirectory(name, lead);
    return NamesAFile(name);
}

// Expansion only changes the last letter, so ".", ".." and empty names stay
// what they were: checking before it is the same as checking after.
bool MakeInstalledName(const char* listedName, char* name, int cchName, const LeadBytes& lead) {
    if (!MakeInfName(listedName, name, cchName, lead))
        return false;
    ExpandCompressedName(name);
    return true;
}
