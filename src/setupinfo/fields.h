// Field readers for the two kinds of list lines of setup.dat.
//
// Both read one section line as ReadSectionLine returns it. A carriage return
// or the zero byte ends a line; a bare line feed is an ordinary character.
#pragma once

// Copy-list lines ([WindowsDir], [SystemDir]): "disk-id file-name", fields
// separated by a comma, a space or a tab.

// Reads the field that starts at position into field (cchField characters,
// zero included; the rest of a longer field is read past and dropped).
// Returns the index after the separator that ended the field, or -1 when the
// field ended the line.
int NextListField(const char* line, char* field, int cchField, int position);

// Splits a copy-list line into its disk id (one character and a zero byte;
// empty when the first field is) and file name (cchFileName characters).
// Returns false when the file name did not fit: such a line names no file.
bool SplitCopyLine(const char* line, char* diskId, char* fileName, int cchFileName);

// Registry lines ([Driver.AddReg]): root,subkey,value name,flags,value.

// The fields of a registry line in their order; a line of n fields has the
// first n of them.
enum RegLineField {
    kRegRootField,
    kRegSubkeyField,
    kRegValueNameField,
    kRegFlagsField,
    kRegValueField,
    kRegLineFieldCount
};

const int kRootSize = 5;
const int kSubkeySize = 256;
const int kValueNameSize = 128;
const int kFlagsSize = 5;
const int kValueSize = 256;

struct RegLineRecord {
    char root[kRootSize];
    char subkey[kSubkeySize];
    char valueName[kValueNameSize];
    char flags[kFlagsSize];
    char value[kValueSize];
};

// Where the next NextRegField call continues.
struct RegFieldCursor {
    const char* next;
    bool inQuotes;
};

// Reads one field of a registry line. With a line it starts at the line's
// first character; with null it continues where the last call stopped.
// Outside double quotes spaces and tabs are dropped and the separator ends
// the field; a double quote toggles quoting and is dropped. Returns true when
// a separator ended the field, so that more follow, and false when the line
// ended. *fit turns false when the field was longer than cchField - 1
// characters.
bool NextRegField(RegFieldCursor* cursor, const char* line, char* field, int cchField,
                 char separator, bool* fit);

// Reads a registry line into record (which the caller has zeroed). Returns
// the number of fields read, 1 to 5; anything after the fifth is ignored.
// Returns 0 when a field was too long for its width: such a line is skipped
// rather than applied to a cut, and so different, key or value name.
int ParseRegLine(const char* line, RegLineRecord* record);
