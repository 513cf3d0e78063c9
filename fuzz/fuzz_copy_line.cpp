// The copy-list splitter over any section line.
#include <stdlib.h>
#include <string.h>

#include "setupinfo/fields.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size > 255)
        return 0;
    char line[256];
    memcpy(line, data, size);
    line[size] = '\0';
    char diskId[2];
    char fileName[256];
    if (SplitCopyLine(line, diskId, fileName, sizeof fileName)) {
        if (strlen(diskId) > 1 || strlen(fileName) > 255)
            abort();
    }
    char small[8];
    if (SplitCopyLine(line, diskId, small, sizeof small) && strlen(small) > 7)
        abort();
    return 0;
}
