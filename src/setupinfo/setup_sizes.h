// Widths of the setup state's text fields, characters plus the zero byte,
// and the expected size of a copy. The distribution checker reads setup.dat
// into fields of the same widths.
#pragma once

const int kPathSize = 256;
const int kProductNameSize = 64;
const int kLoadProgramSize = 20;
const int kDriverInstanceSize = 8;

// The largest signed 32-bit value: the program's sizes and totals are held
// to it rather than wrap.
const int kMaxInt32 = 0x7FFFFFFF;

// "SizeInKB" counts kilobytes of 1000 bytes.
const int kBytesPerKB = 1000;

// "SizeInKB" in bytes, computed in 64 bits and held to the 32-bit range, so
// a huge value cannot wrap to a small or negative total.
inline int ExpectedBytesOfSize(long long sizeInKB) {
    long long expected = sizeInKB * kBytesPerKB;
    if (expected > kMaxInt32)
        return kMaxInt32;
    return expected < -kMaxInt32 ? -kMaxInt32 : (int)expected;
}
