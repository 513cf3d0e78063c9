// Splitting copy-list lines and registry lines into their fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setupinfo/fields.h"

namespace {

TEST(SplitCopyLine, DiskIdAndFileName) {
    struct Case {
        const char* line;
        const char* diskId;
        const char* fileName;
    } cases[] = {
        {"1,display.dr_\r\n", "1", "display.dr_"},
        {"1 display.dr_\r\n", "1", "display.dr_"},
        {"1\t display.dr_ extra\r\n", "1", "display.dr_"},
        {"  1 ,display.dr_\r\n", "1", ""},   // the space ends the first field, the comma an empty one
        {"1 , display.dr_\r\n", "1", ""},
        {"12,vga.drv\r\n", "1", "vga.drv"},
        {"1\r\n", "1", ""},
        {",display.dr_\r\n", "", "display.dr_"},
        {"1,a.dr_\n", "1", "a.dr_\n"},      // a bare line feed stays in the last field
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
}

TEST(SplitCopyLine, FileNameTooLongForItsBufferIsRefused) {
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

struct Parsed {
    int count;
    RegLineRecord record;
};

Parsed Parse(const char* line) {
    Parsed p;
    memset(&p.record, 0, sizeof p.record);
    p.count = ParseRegLine(line, &p.record);
    return p;
}

TEST(ParseRegLine, FieldsAndCounts) {
    Parsed p = Parse("HKR,,Ver,,4.0\r\n");
    EXPECT_EQ(5, p.count);
    EXPECT_STREQ("HKR", p.record.root);
    EXPECT_STREQ("", p.record.subkey);
    EXPECT_STREQ("Ver", p.record.valueName);
    EXPECT_STREQ("", p.record.flags);
    EXPECT_STREQ("4.0", p.record.value);

    EXPECT_EQ(1, Parse("HKR\r\n").count);
    EXPECT_EQ(2, Parse("HKR,\"MODES\"\r\n").count);
    EXPECT_STREQ("MODES", Parse("HKR,\"MODES\"\r\n").record.subkey);
    EXPECT_EQ(3, Parse("HKR,a,b\r\n").count);
    EXPECT_EQ(4, Parse("HKR,a,b,0\r\n").count);
    EXPECT_EQ(5, Parse("HKR,a,b,0,v,ignored,more\r\n").count);
    EXPECT_STREQ("v", Parse("HKR,a,b,0,v,ignored\r\n").record.value);
}

TEST(ParseRegLine, QuotesAndBlanks) {
    Parsed p = Parse("HKR,MODES\\\\8,,,\"8,640,480\"\r\n");
    EXPECT_EQ(5, p.count);
    EXPECT_STREQ("MODES\\\\8", p.record.subkey);
    EXPECT_STREQ("8,640,480", p.record.value);

    p = Parse("HKR, Display Driver ,x,,y\r\n");
    EXPECT_STREQ("DisplayDriver", p.record.subkey);

    p = Parse("HKR,,\"Font Name\",,\"Times  New, Roman\"\r\n");
    EXPECT_STREQ("Font Name", p.record.valueName);
    EXPECT_STREQ("Times  New, Roman", p.record.value);

    // An unbalanced quote keeps commas up to the line's end.
    p = Parse("HKR,\"a,b,c\r\n");
    EXPECT_EQ(2, p.count);
    EXPECT_STREQ("a,b,c", p.record.subkey);

    // A bare line feed is an ordinary character.
    p = Parse("HKLM,k,n,,v\n");
    EXPECT_STREQ("v\n", p.record.value);
}

TEST(ParseRegLine, FieldTooLongSkipsTheLine) {
    EXPECT_EQ(0, Parse("HKLMX,a,b,,c\r\n").count);
    EXPECT_EQ(0, Parse("HKR,a,b,12345,c\r\n").count);
    std::string longName = "HKR,a," + std::string(128, 'n') + ",,v\r\n";
    EXPECT_EQ(0, Parse(longName.c_str()).count);
    std::string fitsName = "HKR,a," + std::string(127, 'n') + ",,v\r\n";
    EXPECT_EQ(5, Parse(fitsName.c_str()).count);
    // Four characters fit the root exactly.
    EXPECT_EQ(5, Parse("HKCR,a,b,,c\r\n").count);
}

TEST(NextRegField, ContinuesFromTheLastCall) {
    RegFieldCursor cursor;
    char field[16];
    bool fit = true;
    EXPECT_EQ(1, NextRegField(&cursor, "a,b", field, sizeof field, ',', &fit));
    EXPECT_STREQ("a", field);
    EXPECT_EQ(0, NextRegField(&cursor, nullptr, field, sizeof field, ',', &fit));
    EXPECT_STREQ("b", field);
    // Past the end it keeps answering "line ended".
    EXPECT_EQ(0, NextRegField(&cursor, nullptr, field, sizeof field, ',', &fit));
    EXPECT_STREQ("", field);
    EXPECT_TRUE(fit);
}

}  // namespace
