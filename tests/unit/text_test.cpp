// The bounded text helpers: every write stays inside its buffer and says
// whether the text fit.
#include <gtest/gtest.h>

#include <cstring>

#include "setupinfo/text.h"

namespace {

// A buffer with guard bytes after it, filled with a sentinel.
struct Guarded {
    char bytes[24];
    Guarded() { memset(bytes, 0xcc, sizeof bytes); }
    bool GuardIntact(int size) const {
        for (int i = size; i < (int)sizeof bytes; i++)
            if ((unsigned char)bytes[i] != 0xcc)
                return false;
        return true;
    }
};

TEST(TextCopy, FitsExactlyTooLargeAndOneTooSmall) {
    struct Case {
        const char* src;
        int size;
        bool fit;
        const char* expected;
    } cases[] = {
        {"abcd", 8, true, "abcd"}, {"abcd", 5, true, "abcd"}, {"abcd", 4, false, "abc"},
        {"abcd", 1, false, ""},    {"", 1, true, ""},
    };
    for (const Case& c : cases) {
        Guarded g;
        EXPECT_EQ(c.fit, TextCopy(g.bytes, c.size, c.src)) << c.src << " into " << c.size;
        EXPECT_STREQ(c.expected, g.bytes);
        EXPECT_TRUE(g.GuardIntact(c.size));
    }
}

TEST(TextAppend, StopsAtTheBufferEnd) {
    Guarded g;
    TextCopy(g.bytes, 8, "abc");
    EXPECT_TRUE(TextAppend(g.bytes, 8, "de"));
    EXPECT_STREQ("abcde", g.bytes);
    EXPECT_FALSE(TextAppend(g.bytes, 8, "fghij"));
    EXPECT_STREQ("abcdefg", g.bytes);
    EXPECT_TRUE(g.GuardIntact(8));
}

TEST(TextFormat, ConversionsAndCutting) {
    char out[64];
    EXPECT_TRUE(TextFormat(out, sizeof out, "Please insert %s into %c:", "Disk 1", 'A'));
    EXPECT_STREQ("Please insert Disk 1 into A:", out);
    EXPECT_TRUE(TextFormat(out, sizeof out, "%d|%d|%u|100%%|%x", -2147483647 - 1, 42, 7u));
    EXPECT_STREQ("-2147483648|42|7|100%|%x", out);
    EXPECT_TRUE(TextFormat(out, sizeof out, "%s\\%s", "A:", "setup.dat"));
    EXPECT_STREQ("A:\\setup.dat", out);

    Guarded g;
    EXPECT_FALSE(TextFormat(g.bytes, 10, "Copy : %s", "c:\\windows\\system"));
    EXPECT_STREQ("Copy : c:", g.bytes);
    EXPECT_TRUE(g.GuardIntact(10));
}

TEST(TextFindAndCase, CaseSensitiveSearchAsciiOnlyFolding) {
    EXPECT_NE(nullptr, TextFind("xkelmox", "kelmo"));
    EXPECT_EQ(nullptr, TextFind("KELMO.EXE", "kelmo"));
    EXPECT_EQ(nullptr, TextFind("kelm", "kelmo"));
    EXPECT_TRUE(TextEqualNoCaseAscii("OEM.INI", "oem.ini"));
    EXPECT_FALSE(TextEqualNoCaseAscii("oem.ini", "oem.in"));
    char s[] = "C:\\WINDOWS\\Vga.DRV";
    TextLowerAscii(s);
    EXPECT_STREQ("c:\\windows\\vga.drv", s);
}

}  // namespace
