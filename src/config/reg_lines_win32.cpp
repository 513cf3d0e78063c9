#include "reg_lines_win32.h"

#include "base/text.h"
#include "reg_line_rules.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_state_win32.h"

// Closes a key unless it is base, which belongs to the caller.
static void CloseUnlessBase(HKEY key, HKEY base) {
    if (key != nullptr && key != base)
        RegCloseKey(key);
}

HKEY OpenKeyPath(HKEY base, const char* path, REGSAM access) {
    if (path[0] == '\0')
        return base;
    KeyPathWalk walk;
    StartKeyPath(&walk, path, gSetup.leadBytes);
    HKEY last = nullptr;
    KeyPathStep step;
    while ((step = NextKeyPathName(&walk)) == kKeyPathName) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(base, walk.name, 0, access, &key) != ERROR_SUCCESS &&
            RegCreateKeyA(base, walk.name, &key) != ERROR_SUCCESS)
            key = nullptr;
        CloseUnlessBase(last, base);
        last = key;
        if (key == nullptr)
            return nullptr;
    }
    if (step == kKeyPathTooLong) {
        CloseUnlessBase(last, base);
        return nullptr;
    }
    return last;
}

// Opens (creating it when missing) the key that a root code stands for.
static LONG OpenBaseKey(RootCode code, HKEY* base) {
    if (code == kRootDriverKey) {
        char name[kKeyNameSize];
        ComposeDriverKeyName(gSetup.driverInstance, name, sizeof name);
        return RegCreateKeyA(HKEY_LOCAL_MACHINE, name, base);
    }
    return RegCreateKeyA(code == kRootClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE,
                         nullptr, base);
}

// Applies one line of count fields (1 to 5). HKR lines go below the driver
// key of gSetup.driverInstance. The base key is opened, and created, for
// every count; count 2 also creates the key path, count 5 stores the value
// as a string. A root not in RootKeyTable, or a base key that cannot be
// opened, skips the line.
static void ApplyRegLine(int count, const RegLineRecord* record) {
    RootCode code = LookupRootKey(record->root);
    if (code == kRootUnknown)
        return;
    HKEY base = nullptr;
    if (OpenBaseKey(code, &base) != ERROR_SUCCESS)
        return;
    RegLineAction action = ActionOfRegLine(count);
    if (action != kRegOpenBaseOnly) {
        HKEY key = OpenKeyPath(base, record->subkey, KEY_ALL_ACCESS);
        if (key != nullptr) {
            if (action == kRegStoreValue)
                RegSetValueExA(key, record->valueName, 0, REG_SZ, (const BYTE*)record->value,
                               (DWORD)TextLength(record->value) + 1);
            // Written through at once: the install ends in a restart, and a
            // key the system still held in memory then could be lost.
            RegFlushKey(key);
            CloseUnlessBase(key, base);
        }
    }
    RegCloseKey(base);
}

void ApplyRegSection(const SetupText* text, long position) {
    char line[kSectionLineSize];
    while (ReadSectionLine(text->bytes, text->length, line, &position, gSetup.leadBytes)) {
        if (IsBlankLine(line))
            continue;
        RegLineRecord record;
        ZeroBytes(&record, sizeof record);
        int count = ParseRegLine(line, &record);
        if (count > 0)
            ApplyRegLine(count, &record);
    }
}
