// Characters of the system's ANSI code page.
//
// On a double-byte code page (932, 936, 949, 950) a character is one byte,
// or a lead byte and a second byte from 0x40 on, and that second byte can be
// '[' (0x5B) or '\' (0x5C). So wherever a byte is taken for one of those, or
// a name is cut at its last backslash, the text is walked by characters.
// ';', ',', quotes, spaces, tabs, CR and LF are below 0x40: never a second
// byte, so the comment filter and the field readers read bytes.
#pragma once

// The lead-byte ranges of a code page as the system gives them (CPINFO's
// LeadByte): pairs of first and last byte, ended by a pair of zeros or by
// the table's end. A single-byte code page has none.
const int kLeadByteTableSize = 12;

struct LeadBytes {
    unsigned char ranges[kLeadByteTableSize];
};

// No lead bytes: 1252 and every other single-byte code page.
extern const LeadBytes kSingleByteCodePage;

bool IsLeadByte(const LeadBytes& lead, unsigned char byte);

// The bytes that the character at text takes, at most cbLeft: 2 for a lead
// byte followed by a byte from 0x40 on, else 1. A lead byte before a lower
// byte, or before the end, is a character of its own, and the byte after it
// is read as itself: a line never loses its line feed.
int CharSize(const unsigned char* text, long cbLeft, const LeadBytes& lead);

// The same in a zero-terminated text.
int CharSizeOf(const char* text, const LeadBytes& lead);

// The last character of text that is a backslash (or, with slashToo, a
// slash), or null when there is none.
const char* FindLastSeparator(const char* text, bool slashToo, const LeadBytes& lead);

// The first character of text that is a backslash, or null.
const char* FindFirstBackslash(const char* text, const LeadBytes& lead);

// Compares cb bytes, ignoring the case of the single-byte letters A to Z:
// the second byte of a character is never folded, so the two characters
// 83 41 and 83 61 of code page 932 differ.
bool BytesEqualNoCase(const char* a, const char* b, long cb, const LeadBytes& lead);

// The same for two zero-terminated texts.
bool TextEqualNoCase(const char* a, const char* b, const LeadBytes& lead);

// Lower-cases the single-byte letters A to Z of cb bytes in place, by
// characters.
void BytesLowerCase(char* text, long cb, const LeadBytes& lead);

// The same for a zero-terminated text.
void TextLowerCase(char* text, const LeadBytes& lead);
