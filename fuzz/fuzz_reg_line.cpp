// The registry-line reader over any section line.
#include <stdlib.h>
#include <string.h>

#include "setupinfo/fields.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size > 255)
        return 0;
    char line[256];
    memcpy(line, data, size);
    line[size] = '\0';
    RegLineRecord record;
    memset(&record, 0, sizeof record);
    int count = ParseRegLine(line, &record);
    if (count < 0 || count > 5)
        abort();
    if (strlen(record.root) >= sizeof record.root || strlen(record.flags) >= sizeof record.flags ||
        strlen(record.valueName) >= sizeof record.valueName)
        abort();
    return 0;
}
