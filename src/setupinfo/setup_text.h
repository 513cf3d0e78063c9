// setup.dat in memory: the file without its comments, ended by EndMarker.
//
// The list sections of setup.dat ([WindowsDir], [SystemDir], [Driver.AddReg])
// are not key=value lines, so the program reads them from this copy instead of
// through the profile functions.
#pragma once

#include "base/code_page.h"

const unsigned char EndMarker = 0x1A;

// A section line holds up to 254 characters, its line feed and a zero byte.
const int kSectionLineSize = 256;
const int kReadBufferSize = 1024;

// The text and its length, EndMarker counted. A text that is not loaded has
// no bytes and length 0, so every section search in it fails.
struct SetupText {
    unsigned char* bytes;
    long length;
};

// Reads up to cb bytes into buffer. Returns the count read (0 at the end of
// the file) or a negative value on a read error.
typedef long (*ReadBytesFn)(void* context, unsigned char* buffer, long cb);

// The one rule that turns the bytes of setup.dat into SetupText: the program
// reads its file through it (LoadSetupText), the checker the bytes it holds.
// Reads a file of fileSize bytes through read, dropping comments: a ';' starts
// a comment that runs to and includes the next line feed. The reader refills
// readBuffer (kReadBufferSize bytes) whenever it has delivered a multiple of
// 1024 bytes; a short read puts EndMarker after the bytes that came, and
// reading stops at the first EndMarker or when fileSize bytes are kept.
// text must hold fileSize + 1 bytes. Returns the length with EndMarker
// appended, or -1 on a read error. lineOfByte, when given, holds fileSize + 1
// entries and gets the file's line (from 1) that each kept byte came from,
// EndMarker included: a checker reports what it finds by the author's lines.
long FilterSetupText(ReadBytesFn read, void* context, unsigned char* readBuffer,
                     long fileSize, unsigned char* text, long* lineOfByte = nullptr);

// Finds header (case-sensitively, anywhere in the text where a character
// starts) and returns the index just after the first line feed that follows
// it: the section's first line. Returns -1 when the header is not there. A header with no line feed after
// it gives the index of EndMarker: a section without lines.
long FindSection(const unsigned char* text, long length, const char* header,
                 const LeadBytes& lead);

// Copies the next line of a section into line (kSectionLineSize bytes), line
// feed included, and moves position past it. Returns false at the section's
// end: at EndMarker or at a '[' character anywhere in a line (never the
// second byte of a character), position then stays on that byte. A line too
// long for the buffer is skipped whole, never cut, since a cut file name or
// key would name something else.
bool ReadSectionLine(const unsigned char* text, long length, char* line, long* position,
                     const LeadBytes& lead);

// True for a line the section walkers skip: spaces and tabs only, or spaces
// and tabs before a carriage return. An empty line is not blank.
bool IsBlankLine(const char* line);
