// A file in memory, read through FilterSetupText's reader: a read brings at
// most maxRead bytes; read number failRead fails.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

struct MemoryFile {
    std::string data;
    long maxRead = 1L << 30, failRead = 0;
    unsigned seed = 0;  // not 0: now and then a read brings half of what was asked
    long reads = 0, offset = 0;
};

inline long ReadMemory(void* context, unsigned char* buffer, long cb) {
    MemoryFile* f = static_cast<MemoryFile*>(context);
    if (++f->reads == f->failRead)
        return -1;
    f->seed = f->seed == 0 ? 0 : f->seed * 1103515245u + 12345u;
    if (f->seed != 0 && (f->seed >> 16) % 8 == 0)
        cb /= 2;
    long n = std::min<long>({cb, f->maxRead, (long)f->data.size() - f->offset});
    memcpy(buffer, f->data.data() + f->offset, n);
    f->offset += n;
    return n;
}
