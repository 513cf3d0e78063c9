// LoadSetupText for the native build: the same filter over stdio.
#include "setup_text.h"

#include <stdio.h>
#include <stdlib.h>

static long ReadFromStream(void* context, unsigned char* buffer, long cb) {
    FILE* file = (FILE*)context;
    size_t got = fread(buffer, 1, (size_t)cb, file);
    if (got < (size_t)cb && ferror(file))
        return -1;
    return (long)got;
}

int LoadSetupText(const char* path, SetupText* setupText) {
    setupText->bytes = nullptr;
    setupText->length = 0;
    FILE* file = fopen(path, "rb");
    if (!file)
        return 0;
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0)
        size = ftell(file);
    if (size < 0 || size >= 0x7FFFFFFF || fseek(file, 0, SEEK_SET) != 0) {
        fclose(file);
        return 0;
    }
    unsigned char* readBuffer = (unsigned char*)malloc(kReadBufferSize);
    unsigned char* text = (unsigned char*)malloc((size_t)size + 1);
    long length = -1;
    if (readBuffer && text)
        length = FilterSetupText(ReadFromStream, file, readBuffer, size, text);
    fclose(file);
    free(readBuffer);
    if (length < 0) {
        free(text);
        return 0;
    }
    setupText->bytes = text;
    setupText->length = length;
    return 1;
}

void ReleaseSetupText(SetupText* setupText) {
    free(setupText->bytes);
    setupText->bytes = nullptr;
    setupText->length = 0;
}
