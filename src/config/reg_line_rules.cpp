#include "reg_line_rules.h"

#include "base/text.h"

const RootKeyEntry RootKeyTable[] = {
    {"HKR", kRootDriverKey},
    {"HKCR", kRootClassesRoot},
    {"HKLM", kRootLocalMachine},
};
const int kRootKeyCount = sizeof RootKeyTable / sizeof RootKeyTable[0];

RootCode LookupRootKey(const char* root) {
    for (int i = 0; i < kRootKeyCount; i++) {
        if (TextEqual(root, RootKeyTable[i].name))
            return RootKeyTable[i].code;
    }
    return kRootUnknown;
}

const char* RootKeyName(int code) {
    for (int i = 0; i < kRootKeyCount; i++) {
        if (RootKeyTable[i].code == code)
            return RootKeyTable[i].name;
    }
    return nullptr;
}

bool ComposeDriverKeyName(const char* instance, char* name, int cchName) {
    return TextFormat(name, cchName, "System\\CurrentControlSet\\Services\\Class\\Display\\%s",
                      instance);
}

RegLineAction ActionOfRegLine(int count) {
    if (count == 5)
        return kRegStoreValue;
    return count == 2 ? kRegCreatePath : kRegOpenBaseOnly;
}

void StartKeyPath(KeyPathWalk* walk, const char* path, const LeadBytes& lead) {
    walk->path = path;
    walk->lead = &lead;
    walk->pathLength = TextLength(path);
    walk->read = 0;
    walk->name[0] = '\0';
}

KeyPathStep NextKeyPathName(KeyPathWalk* walk) {
    if (walk->read >= walk->pathLength)
        return kKeyPathDone;
    int used = TextLength(walk->name);
    if (walk->read > 0) {
        if (used >= kKeyNameSize - 1)
            return kKeyPathTooLong;
        walk->name[used++] = '\\';
    }
    int i = walk->read;
    while (walk->path[i] != '\0' && walk->path[i] != '\\') {
        int cb = CharSizeOf(walk->path + i, *walk->lead);
        if (used + cb > kKeyNameSize - 1)
            return kKeyPathTooLong;
        for (int k = 0; k < cb; k++)
            walk->name[used++] = walk->path[i++];
    }
    walk->name[used] = '\0';
    // Skip the backslash and the character after it (or the path's end).
    if (walk->path[i] != '\0')
        i++;
    walk->read = i + CharSizeOf(walk->path + i, *walk->lead);
    return kKeyPathName;
}
