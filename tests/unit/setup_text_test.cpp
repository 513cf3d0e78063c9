// Loading setup.dat without its comments, finding sections, reading lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "setupinfo/setup_text.h"

namespace {

// A file in memory, handed out in reads of at most maxRead bytes; failAt
// makes the read that would pass that offset fail.
struct MemoryFile {
    std::string data;
    long maxRead;
    long failAt;
    size_t offset;
    long reads;
};

long ReadMemory(void* context, unsigned char* buffer, long cb) {
    MemoryFile* f = static_cast<MemoryFile*>(context);
    f->reads++;
    if (f->failAt >= 0 && (long)f->offset + cb > f->failAt)
        return -1;
    long n = std::min<long>({cb, f->maxRead, (long)(f->data.size() - f->offset)});
    memcpy(buffer, f->data.data() + f->offset, n);
    f->offset += n;
    return n;
}

// The filtered text with its EndMarker, or "<fail>"; fileSize < 0 means the data's size.
std::string Filter(const std::string& data, long* reads = nullptr, long fileSize = -1,
                   long maxRead = 1 << 30, long failAt = -1) {
    MemoryFile file = {data, maxRead, failAt, 0, 0};
    if (fileSize < 0)
        fileSize = (long)data.size();
    std::vector<unsigned char> readBuffer(kReadBufferSize);
    std::vector<unsigned char> text(fileSize + 1, 0xcc);
    long length = FilterSetupText(ReadMemory, &file, readBuffer.data(), fileSize, text.data());
    if (reads)
        *reads = file.reads;
    return length < 0 ? "<fail>" : std::string(text.begin(), text.begin() + length);
}

TEST(FilterSetupText, CommentsAndEndMarker) {
    struct Case {
        std::string data, text;
    } cases[] = {
        {"", "\x1a"},
        {"[A]\r\n; whole line\r\nx=1\r\n", "[A]\r\nx=1\r\n\x1a"},
        // A comment takes its line's CR LF, even inside quotes: the next line joins it.
        {"[SystemDir] ; note\r\n1,a.dr_\r\n", "[SystemDir] 1,a.dr_\r\n\x1a"},
        {"HKR,,a,,\"x;y\"\r\n", "HKR,,a,,\"x\x1a"},
        {"a;no line end", "a\x1a"},
        {std::string("ab\x1a" "cd", 5), "ab\x1a"},
        {std::string(";\x1a\nabc", 6), "\x1a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, Filter(c.data)) << c.data;
}

TEST(FilterSetupText, RefillsEvery1024BytesAndEndsAtAShortReadOrError) {
    std::string big;
    for (int i = 0; i < 5000; i++)
        big += (char)('a' + i % 26);
    long reads = 0;
    // Exactly 1024 bytes: one read. With a comment fewer bytes are kept, so
    // the reader refills after the 1024th byte and gets nothing.
    EXPECT_EQ(std::string(1024, 'x') + "\x1a", Filter(std::string(1024, 'x'), &reads));
    EXPECT_EQ(1, reads);
    EXPECT_EQ(std::string(1022, 'y') + "\x1a", Filter(";\n" + std::string(1022, 'y'), &reads));
    EXPECT_EQ(2, reads);
    EXPECT_EQ(big + "\x1a", Filter(big, &reads));
    EXPECT_EQ(5, reads);
    EXPECT_EQ(std::string(700, 'z') + "\x1a", Filter(std::string(3000, 'z'), nullptr, -1, 700));
    // The file grew after its size was taken: the text buffer still suffices.
    EXPECT_EQ(std::string(100, 'q') + "\x1a", Filter(std::string(2000, 'q'), nullptr, 100));
    EXPECT_EQ("<fail>", Filter(std::string(3000, 'e'), nullptr, -1, 1 << 30, 1500));
}

long Find(const std::string& text, const char* header) {
    return FindSection((const unsigned char*)text.data(), (long)text.size(), header);
}

TEST(FindSection, FirstCaseSensitiveMatchAnywhere) {
    std::string t = "[Product]\r\nx=1\r\n[SystemDir]\r\n1,a\r\n\x1a";
    EXPECT_EQ((long)t.find("1,a"), Find(t, "[SystemDir]"));
    EXPECT_EQ(-1, Find(t, "[systemdir]"));
    EXPECT_EQ(-1, Find(t, "[WindowsDir]"));
    EXPECT_EQ(14, Find("x[SystemDir]y\nL\n\x1a", "[SystemDir]"));
    EXPECT_EQ(4, Find("[A]\n1\n[A]\n2\n\x1a", "[A]"));
    EXPECT_EQ(-1, FindSection(nullptr, 0, "[A]"));
    EXPECT_EQ(-1, Find("\x1a", "[A]"));
    EXPECT_EQ(3, Find("[A]\x1a", "[A]"));
    // Header with no line feed after it: a section without lines.
    EXPECT_EQ(12, Find("[A] trailing\x1a", "[A]"));
}

// Walks a section as the callers do, skipping blank lines; "<end at [>" when
// the walk stopped on a bracket.
std::vector<std::string> Walk(const std::string& text, const char* header) {
    std::vector<std::string> lines;
    long pos = Find(text, header);
    char line[kSectionLineSize];
    memset(line, 0xcc, sizeof line);
    while (pos >= 0 && ReadSectionLine((const unsigned char*)text.data(), (long)text.size(), line, &pos))
        if (!IsBlankLine(line))
            lines.push_back(line);
    if (pos >= 0 && text[pos] == '[')
        lines.push_back("<end at [>");
    return lines;
}

TEST(ReadSectionLine, WalksToABracketOrTheEndSkippingLongLines) {
    std::string fits(254, 'f');
    std::string t = "[WindowsDir]\r\n1,a.dr_\r\n\r\n  \t\r\n2,b.vx_\r\n[SystemDir]\r\n1,c\n\x1a";
    struct Case {
        std::string text;
        const char* header;
        std::vector<std::string> lines;
    } cases[] = {
        {t, "[WindowsDir]", {"1,a.dr_\r\n", "2,b.vx_\r\n", "<end at [>"}},
        {t, "[SystemDir]", {"1,c\n"}},
        {"[S]\r\n1,a\r\nHKR,\"[x]\",v\r\n1,b\r\n\x1a", "[S]", {"1,a\r\n", "<end at [>"}},
        {"[S]\r\n1,a\r\n1,b\x1a", "[S]", {"1,a\r\n"}},
        {"[A] trailing\x1a", "[A]", {}},
        // Too long lines are skipped, never cut; a bracket in one still ends the section.
        {"[S]\n" + fits + "\n" + std::string(255, 'g') + "\n1,after\n\x1a", "[S]",
         {fits + "\n", "1,after\n"}},
        {"[S]\n" + std::string(300, 'h') + "[x\n1,after\n\x1a", "[S]", {"<end at [>"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.lines, Walk(c.text, c.header)) << c.text;
}

TEST(IsBlankLine, WhatTheWalkersSkip) {
    for (const char* blank : {"\r\n", "   \r\n", " \t ", "\t"})
        EXPECT_TRUE(IsBlankLine(blank)) << "[" << blank << "]";
    for (const char* line : {"", "\n", "  \n", " 1,a\r\n"})
        EXPECT_FALSE(IsBlankLine(line)) << "[" << line << "]";
}

}  // namespace
