// The loader over any bytes, handed out in reads of varying size.
#include <stdlib.h>
#include <string.h>

#include "setupinfo/setup_text.h"

namespace {

struct Source {
    const unsigned char* data;
    long size;
    long offset;
    unsigned seed;
};

long ReadChunk(void* context, unsigned char* buffer, long cb) {
    Source* s = (Source*)context;
    s->seed = s->seed * 1103515245u + 12345u;
    long want = (s->seed >> 16) % 8 == 0 ? cb / 2 : cb;  // now and then a short read
    long n = s->size - s->offset;
    if (n > want)
        n = want;
    memcpy(buffer, s->data + s->offset, n);
    s->offset += n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size < 1)
        return 0;
    Source source = {data + 1, (long)size - 1, 0, data[0]};
    // The size the loader was told may differ from what the reads bring.
    long fileSize = (long)size - 1 + (data[0] % 3 == 0 ? 7 : 0) - (data[0] % 5 == 0 ? 3 : 0);
    if (fileSize < 0)
        fileSize = 0;
    unsigned char* readBuffer = (unsigned char*)malloc(kReadBufferSize);
    unsigned char* text = (unsigned char*)malloc(fileSize + 1);
    long length = FilterSetupText(ReadChunk, &source, readBuffer, fileSize, text);
    if (length < 1 || length > fileSize + 1 || text[length - 1] != EndMarker)
        abort();
    for (long i = 0; i < length - 1; i++)
        if (text[i] == EndMarker || text[i] == ';')
            abort();
    free(readBuffer);
    free(text);
    return 0;
}
