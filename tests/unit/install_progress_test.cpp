// Copied-size rounding and the progress position, including totals whose
// percentage overflows 32 bits.
#include <gtest/gtest.h>

#include "install/copy_progress.h"

namespace {

TEST(AddCopiedBytes, RoundsEachFileUpTo2048) {
    struct Case {
        int copied, result, total;
    } cases[] = {
        {0, 1, 2048},     {0, 2048, 2048},   {0, 4096, 4096},
        {0, 4097, 6144},  {100, 0, 100},     {100, -1, 100},
        {100, -2047, 100}, {100, -2147483647 - 1, 100},
        {0, 0x7FFFFFFF, 0x7FFFFFFF}, {0x7FFFF000, 4096, 0x7FFFFFFF}, {0x7FFFFFFF, 1, 0x7FFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.total, AddCopiedBytes(c.copied, c.result)) << c.copied << " + " << c.result;
}

TEST(ProgressPercent, SharesOfTheExpectedSize) {
    struct Case {
        int copied, expected, percent;
    } cases[] = {
        {501760, 1000000, 50},   {0, 1000000, 0},           {1000000, 1000000, 100},
        {1440000, 1000000, 144}, {21474837, 21474837, 100}, {2000012288, 2100000000, 95},
        {0x7FFFFFFF, 1000, 214748364}, {0x7FFFFFFF, 1, 0x7FFFFFFF},
        {4096, 0, 0},            {4096, -1000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.percent, ProgressPercent(c.copied, c.expected)) << c.copied << " of " << c.expected;
}

}  // namespace
