// The portable rules of registry lines: which root a line names and how its
// key path is walked.
#pragma once

// Root codes of registry lines.
const int kRootDriverKey = 1;    // HKR: the adapter's driver key
const int kRootClassesRoot = 2;  // HKCR
const int kRootLocalMachine = 3; // HKLM
const int kRootUnknown = 9;      // any other root: the line is ignored

struct RootKeyEntry {
    const char* name;
    int code;
};

extern const RootKeyEntry RootKeyTable[];
extern const int kRootKeyCount;

// Returns the code of root by RootKeyTable, compared case-sensitively, or
// kRootUnknown.
int LookupRootKey(const char* root);

const int kKeyNameSize = 256;

// Walks a key path whose components are separated by two characters, a
// backslash and one more that is skipped, so "MODES\\8" names MODES and then
// MODES\8. Each step gives the whole path so far, relative to the base key.
struct KeyPathWalk {
    const char* path;
    int pathLength;
    int read;
    char name[kKeyNameSize];
};

void StartKeyPath(KeyPathWalk* walk, const char* path);

// Puts the next cumulative key name into walk->name. Returns 1 when there is
// one, 0 when the path is done, and -1 when the name does not fit its
// buffer: a cut name would open a different key, so the path is given up.
int NextKeyPathName(KeyPathWalk* walk);
