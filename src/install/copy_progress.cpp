#include "copy_progress.h"

static const long long kMaxInt32 = 0x7FFFFFFF;

int AddCopiedBytes(int copiedBytes, int result) {
    if (result <= 0)
        return copiedBytes;
    long long rounded = ((long long)result + 2047) / 2048 * 2048;
    long long total = (long long)copiedBytes + rounded;
    return (int)(total > kMaxInt32 ? kMaxInt32 : total);
}

int ProgressPercent(int copiedBytes, int expectedBytes) {
    if (expectedBytes <= 0)
        return 0;
    long long percent = (long long)copiedBytes * 100 / expectedBytes;
    if (percent > kMaxInt32)
        return (int)kMaxInt32;
    if (percent < -kMaxInt32)
        return (int)-kMaxInt32;
    return (int)percent;
}
