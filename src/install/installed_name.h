// From the name of a file as a copy list gives it to the name it is
// installed under: no directory, and the compressed extension restored.
#pragma once

#include "base/code_page.h"

// One row of CompressedNameTable: an extension as stored on the diskette and
// the letter that replaces the last character of the whole name.
struct CompressedName {
    const char* storedExtension;
    char letter;
};

const int kCompressedNameCount = 9;
extern const CompressedName CompressedNameTable[kCompressedNameCount];

// The name a listed file is installed under: the listed name without its
// directory (the part after the last backslash or slash character: Windows
// takes both as separators, so "sub/../../x.dr_" must not keep its way out
// of the target directory) and expanded: at the first row of CompressedNameTable whose
// extension equals the name's, ignoring case, the last character becomes that
// row's lower-case letter, so FOO.DR_ becomes FOO.DRv. Returns false when no
// file name is left ("", "." or ".."), so the line installs nothing.
bool MakeInstalledName(const char* listedName, char* name, int cchName, const LeadBytes& lead);

// The name the driver INF is installed under in the inf folder: the part of
// installName after its last separator. Returns false when none is left.
bool MakeInfName(const char* installName, char* name, int cchName, const LeadBytes& lead);
