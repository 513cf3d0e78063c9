#include "copy_progress.h"

#include "setupinfo/setup_sizes.h"

// Each file counts as the whole 2048-byte blocks it takes.
static const long long kCountedBlockBytes = 2048;

int AddCopiedBytes(int copiedBytes, int result) {
    if (result <= 0)
        return copiedBytes;
    long long rounded = (result + kCountedBlockBytes - 1) / kCountedBlockBytes * kCountedBlockBytes;
    long long total = (long long)copiedBytes + rounded;
    return (int)(total > kMaxInt32 ? kMaxInt32 : total);
}

// Unsigned 64-bit division by shifts and subtractions: the compiler would
// call a library helper for it, which setup.exe does without.
static unsigned long long DivideWide(unsigned long long n, unsigned long long d) {
    unsigned long long quotient = 0;
    unsigned long long remainder = 0;
    for (int bit = 63; bit >= 0; bit--) {
        remainder = remainder << 1 | (n >> bit & 1);
        if (remainder >= d) {
            remainder -= d;
            quotient |= 1ULL << bit;
        }
    }
    return quotient;
}

int ProgressPercent(int copiedBytes, int expectedBytes) {
    if (expectedBytes <= 0)
        return 0;
    bool negative = copiedBytes < 0;
    unsigned long long copied = negative ? 0 - (long long)copiedBytes : copiedBytes;
    unsigned long long percent = DivideWide(copied * kProgressEnd, (unsigned long long)expectedBytes);
    if (percent > kMaxInt32)
        percent = kMaxInt32;
    return negative ? -(int)percent : (int)percent;
}
