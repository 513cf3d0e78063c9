// setup.dat in memory: comments dropped, sections, lines and their fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"
#include "memory_file.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_text.h"

namespace {

TEST(FilterSetupText, DropsCommentsAndStopsAtTheMarkerTheSizeAShortReadOrAnError) {
    std::string abc;
    for (int i = 0; i < 5000; i++)
        abc += (char)('a' + i % 26);
    // The text made of a file, the reads it took; the most one read gives, the
    // read that fails, and the size the loader is told (-1: the file's).
    const struct {
        int line; std::string data, text; long reads, maxRead = 1 << 30, failRead = 0, fileSize = -1;
    } cases[] = {
        {__LINE__, "", "\x1a", 0},
        // A comment takes its line's CR LF, even inside quotes: the next line joins it.
        {__LINE__, ";x\r\n[S] ;\r\n\"x;y\"\r\n1\r\n", "[S] \"x1\r\n\x1a", 1},
        {__LINE__, std::string("ab\x1a" "cd", 5), "ab\x1a", 1},
        {__LINE__, std::string(";\x1a\nabc", 6), "\x1a", 1},
        // Refilled after each 1024 bytes delivered, so a comment among them costs a read.
        {__LINE__, std::string(1024, 'x'), std::string(1024, 'x') + "\x1a", 1},
        {__LINE__, ";\n" + std::string(1022, 'y'), std::string(1022, 'y') + "\x1a", 2},
        {__LINE__, abc, abc + "\x1a", 5},
        {__LINE__, abc, abc.substr(0, 700) + "\x1a", 1, 700},
        {__LINE__, abc, "<fail>", 2, 1 << 30, 2},
        // The file grew after its size was taken: the text buffer still suffices.
        {__LINE__, abc, abc.substr(0, 100) + "\x1a", 1, 1 << 30, 0, 100},
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, "table row");
        MemoryFile file = {c.data, c.maxRead, c.failRead};
        long fileSize = c.fileSize < 0 ? (long)c.data.size() : c.fileSize;
        std::vector<unsigned char> readBuffer(kReadBufferSize), text(fileSize + 1);
        long length = FilterSetupText(ReadMemory, &file, readBuffer.data(), fileSize, text.data());
        EXPECT_EQ(c.text, length < 0 ? "<fail>" : std::string(text.begin(), text.begin() + length));
        EXPECT_EQ(c.reads, file.reads);
    }
}

// Lead bytes of code pages 932 (Japanese) and 950 (Traditional Chinese).
const LeadBytes k932 = {{0x81, 0x9F, 0xE0, 0xFC}}, k950 = {{0x81, 0xFE}};

long Find(const std::string& text, const char* header, const LeadBytes& lead = kSingleByteCodePage) {
    return FindSection((const unsigned char*)text.data(), (long)text.size(), header, lead);
}

// The first match wins; a header with no line feed after it has no lines; a
// header matches only where a character starts (81 5B is the 932 character ー).
TEST(FindSection, FirstMatchAndAHeaderAtTheEnd) {
    EXPECT_EQ(4, Find("[A]\n1\n[A]\n2\n\x1a", "[A]"));
    EXPECT_EQ(12, Find("[A] trailing\x1a", "[A]"));
    EXPECT_EQ(5, Find("\x81[A]\n[A]\n\x1a", "[A]"));
    EXPECT_EQ(9, Find("\x81[A]\n[A]\n\x1a", "[A]", k932));
}

// The lines of [S] as callers walk them, blanks skipped; "<end at [>": a bracket ended it.
std::vector<std::string> Walk(const std::string& text, const LeadBytes& lead = kSingleByteCodePage) {
    std::vector<std::string> lines;
    long pos = Find(text, "[S]", lead);
    char line[kSectionLineSize];
    while (pos >= 0 && ReadSectionLine((const unsigned char*)text.data(), (long)text.size(), line, &pos, lead))
        if (!IsBlankLine(line))
            lines.push_back(line);
    if (pos >= 0 && text[pos] == '[')
        lines.push_back("<end at [>");
    return lines;
}

TEST(ReadSectionLine, WalksToABracketOrTheEndSkippingBlankAndLongLines) {
    std::string fits(254, 'f');
    const struct { int line; std::string text; std::vector<std::string> lines; } cases[] = {
        // Blank: spaces and tabs alone or before a CR; a bare line feed is not.
        {__LINE__, "[S]\r\n1,a\r\n\r\n \t\r\n \t\n2,b\n[T]\r\n1,c\r\n\x1a",
         {"1,a\r\n", " \t\n", "2,b\n", "<end at [>"}},
        {__LINE__, "[S]\r\n1,a\r\n1,b \t\x1a", {"1,a\r\n"}},
        // Too long lines are skipped, never cut; a bracket in one still ends the section.
        {__LINE__, "[S]\n" + fits + "\n" + std::string(255, 'g') + "\n1,after\n\x1a",
         {fits + "\n", "1,after\n"}},
        {__LINE__, "[S]\n" + std::string(300, 'h') + "[x\n1,after\n\x1a", {"<end at [>"}},
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, "table row");
        EXPECT_EQ(c.lines, Walk(c.text));
    }
    // The second byte of a character is never a '[': ー (932: 81 5B), 加 (950: A5 5B). A
    // lead byte before a line feed or the end stands alone, and the line keeps its LF.
    const std::string super = "1,\x83X\x81[\x83p\x81[.dr_\r\n", card = "HKR,,N,,\xa5[\xb3t\r\n";
    EXPECT_EQ((std::vector<std::string>{super, "2,b\r\n"}), Walk("[S]\r\n" + super + "2,b\r\n\x1a", k932));
    EXPECT_EQ((std::vector<std::string>{card, "x\x81\n", "<end at [>"}), Walk("[S]\r\n" + card + "x\x81\n[\x1a", k950));
    EXPECT_EQ(std::vector<std::string>{"<end at [>"}, Walk("[S]\r\n" + super + "\x1a"));
    // A character is never split at the line's limit: 254 bytes fit, 255 do not.
    std::string fit = std::string(252, 'x') + "\x81[\n";
    EXPECT_EQ(std::vector<std::string>{fit}, Walk("[S]\n" + fit + "x" + fit + "\x1a", k932));
}

// Each writer at the sizes where an overrun would show: an exact fit, one
// character over, no room; the byte after the buffer stays as it was.
TEST(Text, WritersKeepToTheirBufferAndSayWhenTheyCut) {
    typedef bool (*Write)(char* dst, int cch);
    const Write copy = [](char* d, int cch) { return TextCopy(d, cch, "abc"); };
    const Write append = [](char* d, int cch) { return TextAppend(d, cch, "c"); };
    const Write format = [](char* d, int cch) { return TextFormat(d, cch, "%s%d%u%%", "a", -2, 3u); };
    const struct { int line; Write write; const char* start; int cch; const char* text; bool fit; } cases[] = {
        {__LINE__, copy, "", 4, "abc", true},   {__LINE__, copy, "", 3, "ab", false},
        {__LINE__, copy, "", 1, "", false},     {__LINE__, copy, "", 0, nullptr, false},
        {__LINE__, append, "ab", 4, "abc", true}, {__LINE__, append, "ab", 3, "ab", false},
        {__LINE__, append, "abc", 3, nullptr, false},  // no terminator within cch
        {__LINE__, format, "", 6, "a-23%", true}, {__LINE__, format, "", 5, "a-23", false},
        {__LINE__, format, "", 0, nullptr, false},
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, c.start);
        char buffer[8];
        memset(buffer, 'Z', sizeof buffer);
        memcpy(buffer, c.start, strlen(c.start) + (c.cch > (int)strlen(c.start)));
        EXPECT_EQ(c.fit, c.write(buffer, c.cch));
        EXPECT_EQ(std::string(sizeof buffer - c.cch, 'Z'), std::string(buffer + c.cch, sizeof buffer - c.cch));
        EXPECT_EQ(c.text ? c.text : std::string(c.start, c.cch), std::string(buffer, strnlen(buffer, c.cch)));
    }
}

TEST(SplitCopyLine, DiskIdAndFileName) {
    // fileName null: it did not fit, and no name is better than a cut one.
    const struct { int line; const char *text, *diskId, *fileName; int cchFileName = 256; } cases[] = {
        {__LINE__, "1,display.dr_\r\n", "1", "display.dr_"},
        {__LINE__, "12\t display.dr_ extra\r\n", "1", "display.dr_"},
        {__LINE__, "1\tdisplay.dr_\r\n", "1", "display.dr_"},
        {__LINE__, "  1 ,display.dr_\r\n", "1", ""},  // a space, then a comma: an empty field
        {__LINE__, "1\r\n", "1", ""},
        {__LINE__, "1,a.dr_\n", "1", "a.dr_\n"},  // a bare line feed stays in the field
        {__LINE__, "1,abcdefg\r\n", "1", "abcdefg", 8},
        {__LINE__, "1,abcdefgh\r\n", "1", nullptr, 8},
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, "table row");
        char diskId[2] = {'x', 'x'}, fileName[256];
        memset(fileName, 0xcc, sizeof fileName);
        EXPECT_EQ(c.fileName != nullptr, SplitCopyLine(c.text, diskId, fileName, c.cchFileName));
        EXPECT_STREQ(c.diskId, diskId);
        if (c.fileName)
            EXPECT_STREQ(c.fileName, fileName);
    }
}

TEST(ParseRegLine, FieldsCountsQuotesAndBlanks) {
    std::string name127(127, 'n');
    // root|subkey|value name|flags|value
    const struct { int line; std::string text; int count; std::string fields; } cases[] = {
        {__LINE__, "HKR,,Ver,,4.0\r\n", 5, "HKR||Ver||4.0"},
        {__LINE__, "HKR,\"MODES\"\r\n", 2, "HKR|MODES|||"},
        {__LINE__, "HKR,a,b,0\r\n", 4, "HKR|a|b|0|"},
        {__LINE__, "HKR,MODES\\\\8,,,\"8,640,480\",more\r\n", 5, "HKR|MODES\\\\8|||8,640,480"},
        {__LINE__, "HKR, Display Driver ,\"A  B, C\",,y\n", 5, "HKR|DisplayDriver|A  B, C||y\n"},
        // An unbalanced quote keeps commas up to the line's end.
        {__LINE__, "HKR,\"a,b,c\r\n", 2, "HKR|a,b,c|||"},
        // A field too long for its record skips the whole line.
        {__LINE__, "HKCR,a," + name127 + ",,c\r\n", 5, "HKCR|a|" + name127 + "||c"},
        {__LINE__, "HKR,a," + name127 + "n,,v\r\n", 0, ""},
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, "table row");
        RegLineRecord r = {};
        EXPECT_EQ(c.count, ParseRegLine(c.text.c_str(), &r));
        if (c.count > 0)
            EXPECT_EQ(c.fields, std::string(r.root) + "|" + r.subkey + "|" + r.valueName + "|" +
                                    r.flags + "|" + r.value);
    }
}

}  // namespace
