#include "reg_line_rules.h"

#include "setupinfo/text.h"

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

void StartKeyPath(KeyPathWalk* walk, const char* path) {
    walk->path = path;
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
    for (; walk->path[i] != '\0' && walk->path[i] != '\\'; i++) {
        if (used >= kKeyNameSize - 1)
            return kKeyPathTooLong;
        walk->name[used++] = walk->path[i];
    }
    walk->name[used] = '\0';
    // Skip the backslash and the character after it (or the path's end).
    walk->read = i + 2;
    return kKeyPathName;
}
