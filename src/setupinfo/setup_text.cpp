#include "setup_text.h"

#include "base/code_page.h"

namespace {

// Hands out the file byte by byte, refilling its buffer every 1024 bytes.
struct ByteReader {
    ReadBytesFn read;
    void* context;
    unsigned char* buffer;
    unsigned long delivered;
    bool failed;

    unsigned char Next() {
        unsigned long index = delivered % kReadBufferSize;
        if (index == 0) {
            long got = read(context, buffer, kReadBufferSize);
            if (got < 0) {
                failed = true;
                got = 0;
            }
            if (got < kReadBufferSize)
                buffer[got] = EndMarker;
        }
        delivered++;
        return buffer[index];
    }
};

}  // namespace

long FilterSetupText(ReadBytesFn read, void* context, unsigned char* readBuffer,
                     long fileSize, unsigned char* text, long* lineOfByte) {
    ByteReader reader = {read, context, readBuffer, 0, false};
    long kept = 0;
    long line = 1;
    bool inComment = false;
    while (kept < fileSize) {
        unsigned char byte = reader.Next();
        if (byte == EndMarker)
            break;
        if (inComment) {
            if (byte == '\n')
                inComment = false;
        } else if (byte == ';') {
            inComment = true;
        } else {
            if (lineOfByte)
                lineOfByte[kept] = line;
            text[kept++] = byte;
        }
        if (byte == '\n')
            line++;
    }
    if (reader.failed)
        return -1;
    if (lineOfByte)
        lineOfByte[kept] = line;
    text[kept] = EndMarker;
    return kept + 1;
}

long FindSection(const unsigned char* text, long length, const char* header,
                 const LeadBytes& lead) {
    long n = 0;
    while (header[n] != '\0')
        n++;
    if (text == nullptr || length - n < 0)
        return -1;
    // A header matches only where a character starts.
    for (long i = 0; i <= length - n; i += CharSize(text + i, length - i, lead)) {
        long k = 0;
        while (k < n && text[i + k] == (unsigned char)header[k])
            k++;
        if (k < n)
            continue;
        long pos = i + n;
        while (pos < length && text[pos] != '\n' && text[pos] != EndMarker)
            pos++;
        if (pos < length && text[pos] == '\n')
            return pos + 1;
        return length > 0 ? length - 1 : 0;
    }
    return -1;
}

bool ReadSectionLine(const unsigned char* text, long length, char* line, long* position,
                     const LeadBytes& lead) {
    long pos = *position;
    for (;;) {
        int used = 0;
        bool tooLong = false;
        for (;;) {
            if (pos < 0 || pos >= length || text[pos] == EndMarker || text[pos] == '[') {
                *position = pos;
                line[0] = '\0';
                return false;
            }
            // A character's second byte never ends the section.
            int cb = CharSize(text + pos, length - pos, lead);
            unsigned char byte = text[pos];
            if (used + cb < kSectionLineSize) {
                for (int k = 0; k < cb; k++)
                    line[used++] = (char)text[pos + k];
            } else {
                tooLong = true;
            }
            pos += cb;
            if (byte == '\n')
                break;
        }
        if (!tooLong) {
            line[used] = '\0';
            *position = pos;
            return true;
        }
    }
}

bool IsBlankLine(const char* line) {
    int i = 0;
    while (line[i] == ' ' || line[i] == '\t')
        i++;
    if (line[i] == '\0')
        return i > 0;
    return line[i] == '\r';
}
