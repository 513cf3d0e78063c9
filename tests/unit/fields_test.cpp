// Splitting copy-list lines and registry lines into their fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setupinfo/fields.h"

namespace {

TEST(SplitCopyLine, DiskIdAndFileName) {
    struct Case {
        const char *line, *diskId, *fileName;
    } cases[] = {
        {"1,display.dr_\r\n", "1", "display.dr_"},
        {"1 display.dr_\r\n", "1", "display.dr_"},
        {"1\t display.dr_ extra\r\n", "1", "display.dr_"},
        {"  1 ,display.dr_\r\n", "1", ""},  // the space ends the first field, the comma an empty one
        {"12,vga.drv\r\n", "1", "vga.drv"},
        {"1\r\n", "1", ""},
        {",display.dr_\r\n", "", "display.dr_"},
        {"1,a.dr_\n", "1", "a.dr_\n"},  // a bare line feed stays in the last field
        {"1,disk1\\vga.dr_\r\n", "1", "disk1\\vga.dr_"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        char diskId[2] = {'x', 'x'};
        char fileName[256];
        memset(fileName, 0xcc, sizeof fileName);
        EXPECT_TRUE(SplitCopyLine(c.line, diskId, fileName, sizeof fileName));
        EXPECT_STREQ(c.diskId, diskId) << c.line;
        EXPECT_STREQ(c.fileName, fileName) << c.line;
    }
    char diskId[2];
    char fileName[8];
    EXPECT_TRUE(SplitCopyLine("1,abcdefg\r\n", diskId, fileName, sizeof fileName));
    EXPECT_STREQ("abcdefg", fileName);
    EXPECT_FALSE(SplitCopyLine("1,abcdefgh\r\n", diskId, fileName, sizeof fileName));
}

TEST(NextListField, ReturnsWhereTheNextFieldStarts) {
    char field[16];
    EXPECT_EQ(2, NextListField("1,a\r\n", field, sizeof field, 0));
    EXPECT_STREQ("1", field);
    EXPECT_EQ(-1, NextListField("1,a\r\n", field, sizeof field, 2));
    EXPECT_STREQ("a", field);
    // A field longer than its buffer is read past, not into the next one.
    char small[3];
    EXPECT_EQ(7, NextListField("abcdef,x", small, sizeof small, 0));
    EXPECT_STREQ("ab", small);
}

TEST(ParseRegLine, FieldsCountsQuotesAndBlanks) {
    std::string name127(127, 'n');
    struct Case {
        std::string line;
        int count;
        const char *root, *subkey, *valueName, *flags, *value;
    } cases[] = {
        {"HKR,,Ver,,4.0\r\n", 5, "HKR", "", "Ver", "", "4.0"},
        {"HKR\r\n", 1, "HKR", "", "", "", ""},
        {"HKR,\"MODES\"\r\n", 2, "HKR", "MODES", "", "", ""},
        {"HKR,a,b\r\n", 3, "HKR", "a", "b", "", ""},
        {"HKR,a,b,0\r\n", 4, "HKR", "a", "b", "0", ""},
        {"HKR,a,b,0,v,ignored,more\r\n", 5, "HKR", "a", "b", "0", "v"},
        {"HKR,MODES\\\\8,,,\"8,640,480\"\r\n", 5, "HKR", "MODES\\\\8", "", "", "8,640,480"},
        {"HKR, Display Driver ,x,,y\r\n", 5, "HKR", "DisplayDriver", "x", "", "y"},
        {"HKR,,\"Font Name\",,\"Times  New, Roman\"\r\n", 5, "HKR", "", "Font Name", "",
         "Times  New, Roman"},
        // An unbalanced quote keeps commas up to the line's end.
        {"HKR,\"a,b,c\r\n", 2, "HKR", "a,b,c", "", "", ""},
        {"HKLM,k,n,,v\n", 5, "HKLM", "k", "n", "", "v\n"},
        {"HKCR,a," + name127 + ",,c\r\n", 5, "HKCR", "a", name127.c_str(), "", "c"},
    };
    for (const Case& c : cases) {
        RegLineRecord r;
        memset(&r, 0, sizeof r);
        EXPECT_EQ(c.count, ParseRegLine(c.line.c_str(), &r)) << c.line;
        EXPECT_STREQ(c.root, r.root) << c.line;
        EXPECT_STREQ(c.subkey, r.subkey) << c.line;
        EXPECT_STREQ(c.valueName, r.valueName) << c.line;
        EXPECT_STREQ(c.flags, r.flags) << c.line;
        EXPECT_STREQ(c.value, r.value) << c.line;
    }
    // A field too long for its record skips the whole line.
    for (std::string line : {std::string("HKLMX,a,b,,c\r\n"), std::string("HKR,a,b,12345,c\r\n"),
                             "HKR,a," + name127 + "n,,v\r\n"}) {
        RegLineRecord r;
        EXPECT_EQ(0, ParseRegLine(line.c_str(), &r)) << line;
    }
}

TEST(NextRegField, ContinuesFromTheLastCallAndStaysAtTheEnd) {
    RegFieldCursor cursor;
    char field[16];
    bool fit = true;
    EXPECT_TRUE(NextRegField(&cursor, "a,b", field, sizeof field, ',', &fit));
    EXPECT_STREQ("a", field);
    EXPECT_FALSE(NextRegField(&cursor, nullptr, field, sizeof field, ',', &fit));
    EXPECT_STREQ("b", field);
    EXPECT_FALSE(NextRegField(&cursor, nullptr, field, sizeof field, ',', &fit));
    EXPECT_STREQ("", field);
    EXPECT_TRUE(fit);
}

}  // namespace
