// Keyed values of an ini text read from memory, with the answers the
// platform's profile functions (GetPrivateProfileStringA and
// GetPrivateProfileIntA) give for the same file, and the line each key is on.
//
// How the platform reads a file, as observed under Wine:
// - A line ends at LF, CR LF or a lone CR. A UTF-8 byte order mark is skipped.
// - Names and values are trimmed of spaces, tabs, VT, FF and 0x1A; then a
//   zero byte cuts them. Inside a value 0x1A and ";" are ordinary characters.
// - A line that starts with "[" and holds a "]" is a header; the name runs to
//   the last "]" and the rest of the line is ignored. A "[" without "]" is not.
// - Any other line with "=" is a key, split at the first "=". A line with
//   text but no "=" (";comment" lines among them) is a key without a value:
//   it hides later keys of its name and reads as absent.
// - A value that starts and ends with the same quote, " or ', loses both.
// - Names compare ignoring the case of A to Z only, as the platform does.
// - The platform reads the file as text of the ANSI code page, by characters:
//   a "]" that is the second byte of a character ends no header name, names
//   compare character by character, and a value is cut between characters.
// - Keys before the first header form the section named "". Only the first
//   section of a name is read, and in it only the first key of a name.
#pragma once

#include "base/code_page.h"

enum ProfileLineKind { kProfileSection, kProfileKey, kProfileOther };

// One line of an ini text, as the profile functions see it.
struct ProfileLine {
    ProfileLineKind kind;
    int line;           // 1-based line number in the text
    const char* name;   // section name (without brackets) or key name, trimmed; not terminated
    int cchName;
    const char* value;  // key lines: the value as the platform returns it; not terminated.
    int cchValue;       //   Null for a key line without "=".
    bool quoted;        // the value's surrounding quotes were removed
};

// Where NextProfileLine reads next: a byte index at a line start and that
// line's number. A walk starts at {0, 1}.
struct ProfileCursor {
    long position;
    int line;
};

// Reads the line at the cursor and moves the cursor past it, so each line's
// number comes with it. Returns false at the end of the text, or for a
// position outside it.
bool NextProfileLine(const char* text, long length, ProfileCursor* cursor, ProfileLine* line,
                     const LeadBytes& lead);

// What GetPrivateProfileStringA(section, key, ...) gives for this file text:
// returns -1 when the key is absent (the caller then uses its default),
// otherwise copies the value into value (cut to cchValue - 1 characters
// exactly as the platform cuts it, zero-terminated; nothing is written when
// cchValue is 0 or less) and returns the value's full length before cutting.
// *line (may be null) gets the key's line number. A null section or key
// (the platform's listings) reads as absent. On a double-byte code page the
// value is cut to whole characters: the platform cuts it to cchValue - 1
// characters and then to the characters whose bytes fit in cchValue - 1.
int ReadProfileText(const char* text, long length, const char* section, const char* key,
                    char* value, int cchValue, int* line, const LeadBytes& lead);

// What GetPrivateProfileIntA gives for a key whose value text is value (the
// key is present and its value not empty; the platform gives the default for
// an empty value, which ReadProfileInt handles). Reads at most the first
// kProfileIntChars characters: leading white space, one sign, then decimal
// digits, or hex, octal or binary after "0x", "0o" or "0b". The number wraps
// modulo 2^32 instead of saturating.
int ProfileTextToInt(const char* value);

// The platform reads the number through a buffer of this many characters.
const int kProfileIntChars = 29;

// What GetPrivateProfileIntA(section, key, defaultValue, ...) gives for this
// file text. *line (may be null) gets the key's line number, or 0.
int ReadProfileInt(const char* text, long length, const char* section, const char* key,
                   int defaultValue, int* line, const LeadBytes& lead);
