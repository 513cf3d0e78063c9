// setup.dat as the program reads it, from any bytes: loaded in reads of
// varying size, each list section walked, every line split by both readers,
// on a single-byte code page and on code page 932.
#include <stdlib.h>
#include <string.h>

#include "setupinfo/fields.h"
#include "setupinfo/setup_text.h"

namespace {

// The bytes after the first, which seeds the reads: now and then one brings half.
struct Source { const unsigned char* data; long size, offset; unsigned seed; };

long ReadChunk(void* context, unsigned char* buffer, long cb) {
    Source* s = (Source*)context;
    s->seed = s->seed * 1103515245u + 12345u;
    long n = (s->seed >> 16) % 8 == 0 ? cb / 2 : cb;
    n = n < s->size - s->offset ? n : s->size - s->offset;
    memcpy(buffer, s->data + s->offset, n);
    s->offset += n;
    return n;
}

// Code page 932's lead bytes: a second byte can be '[' or a backslash.
const LeadBytes kCodePage932 = {{0x81, 0x9F, 0xE0, 0xFC}};

void WalkSection(const unsigned char* text, long length, const char* header,
                 const LeadBytes& lead) {
    long position = FindSection(text, length, header, lead);
    char line[kSectionLineSize], diskId[2], fileName[256], shortName[8];
    RegLineRecord record;
    while (position >= 0 && ReadSectionLine(text, length, line, &position, lead)) {
        if (strlen(line) > 255 || (IsBlankLine(line) && !strchr(" \t\r", line[0])))
            abort();
        SplitCopyLine(line, diskId, fileName, sizeof fileName);
        SplitCopyLine(line, diskId, shortName, sizeof shortName);
        memset(&record, 0, sizeof record);
        if ((unsigned)ParseRegLine(line, &record) > 5)
            abort();
    }
    if (position >= 0 && text[position] != EndMarker && text[position] != '[')
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size < 1)
        return 0;
    Source source = {data + 1, (long)size - 1, 0, data[0]};
    long fileSize = (long)size - 1 + data[0] % 5 - 2;  // the size taken may be stale
    if (fileSize < 0)
        fileSize = 0;
    static unsigned char readBuffer[kReadBufferSize];
    unsigned char* text = (unsigned char*)malloc(fileSize + 1);
    long length = FilterSetupText(ReadChunk, &source, readBuffer, fileSize, text);
    if (length < 1 || length > fileSize + 1 || memchr(text, ';', length) ||
        memchr(text, EndMarker, length) != text + length - 1)
        abort();
    static const char* const kLists[] = {"[WindowsDir]", "[SystemDir]", "[Driver.AddReg]"};
    for (const char* header : kLists)
        WalkSection(text, length, header, data[0] & 0x80 ? kCodePage932 : kSingleByteCodePage);
    free(text);
    return 0;
}
