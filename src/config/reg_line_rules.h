// The portable rules of registry lines: which root a line names and how its
// key path is walked.
#pragma once

#include "base/code_page.h"

// Root codes of registry lines.
enum RootCode {
    kRootDriverKey = 1,     // HKR: the adapter's driver key
    kRootClassesRoot = 2,   // HKCR
    kRootLocalMachine = 3,  // HKLM
    kRootUnknown = 9,       // any other root: the line is ignored
};

struct RootKeyEntry {
    const char* name;
    RootCode code;
};

extern const RootKeyEntry RootKeyTable[];
extern const int kRootKeyCount;

// Returns the code of root by RootKeyTable, compared case-sensitively, or
// kRootUnknown.
RootCode LookupRootKey(const char* root);

// The name of a root code in RootKeyTable, or null for kRootUnknown.
const char* RootKeyName(int code);

const int kKeyNameSize = 256;

// The base key of HKR lines below HKEY_LOCAL_MACHINE: the driver key
// "System\CurrentControlSet\Services\Class\Display\<instance>". Returns
// false when it does not fit.
bool ComposeDriverKeyName(const char* instance, char* name, int cchName);

// What a registry line does by its field count: counts 1, 3 and 4 only open
// (or create) the base key; 2 creates the key path; 5 also stores the value.
enum RegLineAction { kRegOpenBaseOnly, kRegCreatePath, kRegStoreValue };
RegLineAction ActionOfRegLine(int count);

// Walks a key path whose components are separated by two characters, a
// backslash and one more character that is skipped, so "MODES\\8" names
// MODES and then MODES\8. Each step gives the whole path so far, relative to
// the base key. The path is walked by characters: the second byte of a
// character is never a separator.
struct KeyPathWalk {
    const char* path;
    const LeadBytes* lead;
    int pathLength;
    int read;
    char name[kKeyNameSize];
};

void StartKeyPath(KeyPathWalk* walk, const char* path, const LeadBytes& lead);

enum KeyPathStep {
    kKeyPathName,     // walk->name holds the next cumulative key name
    kKeyPathDone,     // the path has no more components
    kKeyPathTooLong,  // the name does not fit: a cut one would open another key
};

// Puts the next cumulative key name into walk->name. A name too long for its
// buffer gives up the path.
KeyPathStep NextKeyPathName(KeyPathWalk* walk);
