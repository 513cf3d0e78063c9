// The SZDD format, in which the platform's compression tool stores files and
// which the LZ library expands: a header, then LZSS data over a window that
// starts filled with spaces. The checker reads the header; setupmake writes
// the whole format.
#pragma once

// The header: the magic, the method byte, the last letter of the name that
// the stored name replaces by '_' (or 0), and the size after expansion.
const unsigned char kSzddMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
const int kSzddMethodAt = sizeof kSzddMagic;
const unsigned char kSzddMethod = 'A';  // the LZSS that follows
const int kSzddLastLetterAt = 9;
const int kSzddSizeAt = 10;
const int kSzddSizeBytes = 4;  // low byte first
const int kSzddHeaderSize = kSzddSizeAt + kSzddSizeBytes;

// The expander's window: 4096 bytes of spaces, written first 16 bytes before
// its end.
const int kSzddWindowSize = 4096;
const char kSzddWindowFill = ' ';
const int kSzddFirstWrite = kSzddWindowSize - 16;

// Below this size after expansion a file is best stored as it is:
// compressors may write such files wrongly (Debian's mscompress writes data
// that expands to other bytes), and compressing them saves nothing.
const long long kMinCompressedSize = 16;
