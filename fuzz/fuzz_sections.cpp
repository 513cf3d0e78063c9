// Section search and line walking over any loaded text: the first input line
// is the header to look for, the rest is the file.
#include <stdlib.h>
#include <string.h>

#include "setupinfo/setup_text.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    size_t split = 0;
    while (split < size && split < 40 && data[split] != '\n')
        split++;
    char header[41];
    memcpy(header, data, split);
    header[split] = '\0';
    if (header[0] == '\0')
        return 0;
    const unsigned char* rest = data + (split < size ? split + 1 : split);
    long restSize = (long)(size - (rest - data));

    // Build the text as the loader would: no EndMarker inside, one at the end.
    unsigned char* text = (unsigned char*)malloc(restSize + 1);
    long length = 0;
    for (long i = 0; i < restSize && rest[i] != EndMarker; i++)
        text[length++] = rest[i];
    text[length++] = EndMarker;

    long position = FindSection(text, length, header);
    if (position >= 0) {
        if (position >= length)
            abort();
        char line[kSectionLineSize];
        int lines = 0;
        while (ReadSectionLine(text, length, line, &position)) {
            // A zero byte in the file may end the line early; never past 255.
            if (strlen(line) > 255 || ++lines > length)
                abort();
            IsBlankLine(line);
        }
        if (text[position] != EndMarker && text[position] != '[')
            abort();
    }
    free(text);
    return 0;
}
