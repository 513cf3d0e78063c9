// Bounded text helpers for 8-bit, zero-terminated strings.
//
// The program links no C runtime, so the portable core carries its own small
// string routines. Every routine that writes takes the destination's size in
// characters (cch, the terminating zero included), always terminates a
// destination of at least one character, and says whether the whole text fit.
#pragma once

int TextLength(const char* text);

// Copies src into dst. Returns false when src was cut to fit.
bool TextCopy(char* dst, int cchDst, const char* src);

// Appends src to the text already in dst. Returns false when src was cut.
bool TextAppend(char* dst, int cchDst, const char* src);

// Formats into dst. Understands %s, %c, %d, %u and %%; anything else is copied
// as it stands. Returns false when the result was cut to fit.
bool TextFormat(char* dst, int cchDst, const char* format, ...);

// Case-sensitive search; returns the first occurrence of needle or null.
const char* TextFind(const char* haystack, const char* needle);

// Compares two texts exactly, case included.
bool TextEqual(const char* a, const char* b);

// c with A to Z made a to z; every other byte as it is.
inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

// Compares two texts, ignoring the case of the letters A to Z.
bool TextEqualNoCaseAscii(const char* a, const char* b);

// Compares cb bytes, zero bytes included, ignoring the case of A to Z.
bool BytesEqualNoCaseAscii(const char* a, const char* b, long cb);

// True when the cch bytes at text are all spaces, tabs, carriage returns or
// line feeds (or there are none): text that reads as nothing.
bool IsBlankText(const char* text, long cch);

// The line, counted from 1, that the byte at offset stands on: one more than
// the line feeds before it.
int LineAtOffset(const char* text, long offset);

// Fills cb bytes at dst with zero; a plain loop the compiler may not turn
// into a library call.
void ZeroBytes(void* dst, int cb);
