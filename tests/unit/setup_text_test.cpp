// Loading setup.dat without its comments, finding sections, reading lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <algorithm>
#include <cstring>
#include <unistd.h>
#include <stdlib.h>

#include "setupinfo/setup_text.h"

namespace {

// A file in memory, handed out in reads of at most maxRead bytes; failAt
// makes the read that would pass that offset fail.
struct MemoryFile {
    std::string data;
    size_t offset = 0;
    long maxRead = 1 << 30;
    long reads = 0;
    long failAt = -1;
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

// Runs the filter over data; returns the text with its EndMarker, or "<fail>".
std::string Filter(MemoryFile& file, long fileSize = -1) {
    if (fileSize < 0)
        fileSize = (long)file.data.size();
    std::vector<unsigned char> readBuffer(kReadBufferSize);
    std::vector<unsigned char> text(fileSize + 1, 0xcc);
    long length = FilterSetupText(ReadMemory, &file, readBuffer.data(), fileSize, text.data());
    if (length < 0)
        return "<fail>";
    return std::string(text.begin(), text.begin() + length);
}

std::string Filter(const std::string& data) {
    MemoryFile file;
    file.data = data;
    return Filter(file);
}

TEST(FilterSetupText, DropsCommentsWithTheirLineEnds) {
    EXPECT_EQ("\x1a", Filter(""));
    EXPECT_EQ("[A]\r\nx=1\r\n\x1a", Filter("[A]\r\n; whole line\r\nx=1\r\n"));
    // A comment after data takes the line's CR LF: the next line joins it.
    EXPECT_EQ("[SystemDir] 1,a.dr_\r\n\x1a", Filter("[SystemDir] ; note\r\n1,a.dr_\r\n"));
    // Inside quotes too.
    EXPECT_EQ("HKR,,a,,\"x\x1a", Filter("HKR,,a,,\"x;y\"\r\n"));
    // A comment running to the end of the file.
    EXPECT_EQ("a\x1a", Filter("a;no line end"));
}

TEST(FilterSetupText, StopsAtTheFirstEndMarker) {
    EXPECT_EQ("ab\x1a", Filter(std::string("ab\x1a" "cd", 5)));
    EXPECT_EQ("\x1a", Filter(std::string("\x1a" "abc", 4)));
    EXPECT_EQ("\x1a", Filter(std::string(";\x1a\nabc", 6)));
}

TEST(FilterSetupText, RefillsEvery1024BytesOnly) {
    // Exactly 1024 bytes and no comment: one read, no second one.
    MemoryFile exact;
    exact.data = std::string(1024, 'x');
    EXPECT_EQ(exact.data + "\x1a", Filter(exact));
    EXPECT_EQ(1, exact.reads);

    // With a comment fewer bytes are kept, so the reader refills after the
    // 1024th byte, gets nothing and reads the end.
    MemoryFile commented;
    commented.data = ";\n" + std::string(1022, 'y');
    EXPECT_EQ(std::string(1022, 'y') + "\x1a", Filter(commented));
    EXPECT_EQ(2, commented.reads);

    MemoryFile big;
    for (int i = 0; i < 5000; i++)
        big.data += (char)('a' + i % 26);
    EXPECT_EQ(big.data + "\x1a", Filter(big));
    EXPECT_EQ(5, big.reads);
}

TEST(FilterSetupText, ShortReadEndsTheText) {
    // A read that brings fewer bytes than asked marks the end right after them.
    MemoryFile file;
    file.data = std::string(3000, 'z');
    file.maxRead = 700;
    EXPECT_EQ(std::string(700, 'z') + "\x1a", Filter(file));
}

TEST(FilterSetupText, NeverKeepsMoreThanTheFileSize) {
    // The file grew after its size was taken: the text buffer still suffices.
    MemoryFile file;
    file.data = std::string(2000, 'q');
    EXPECT_EQ(std::string(100, 'q') + "\x1a", Filter(file, 100));
}

TEST(FilterSetupText, ReadErrorFails) {
    MemoryFile file;
    file.data = std::string(3000, 'e');
    file.failAt = 1500;
    EXPECT_EQ("<fail>", Filter(file));
}

TEST(LoadSetupText, LoadsAFileAndReleasesIt) {
    char path[] = "/tmp/kelmo_setup_text_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const char data[] = "[WindowsDir] \r\n;c\r\n1,a.tx_\r\n";
    ASSERT_EQ((ssize_t)sizeof data - 1, write(fd, data, sizeof data - 1));
    close(fd);

    SetupText text;
    ASSERT_EQ(1, LoadSetupText(path, &text));
    EXPECT_EQ(std::string("[WindowsDir] \r\n1,a.tx_\r\n\x1a"),
              std::string((char*)text.bytes, text.length));
    ReleaseSetupText(&text);
    EXPECT_EQ(nullptr, text.bytes);
    EXPECT_EQ(0, text.length);
    unlink(path);

    EXPECT_EQ(0, LoadSetupText("/tmp/kelmo-no-such-dir/setup.dat", &text));
    EXPECT_EQ(0, text.length);
}

long Find(const std::string& text, const char* header) {
    return FindSection((const unsigned char*)text.data(), (long)text.size(), header);
}

TEST(FindSection, FirstCaseSensitiveMatchAnywhere) {
    std::string t = "[Product]\r\nx=1\r\n[SystemDir]\r\n1,a\r\n\x1a";
    EXPECT_EQ((long)t.find("1,a"), Find(t, "[SystemDir]"));
    EXPECT_EQ(-1, Find(t, "[systemdir]"));
    EXPECT_EQ(-1, Find(t, "[WindowsDir]"));
    // Not only at a line start.
    std::string inside = "x[SystemDir]y\nL\n\x1a";
    EXPECT_EQ(14, Find(inside, "[SystemDir]"));
    // The first of two wins.
    std::string twice = "[A]\n1\n[A]\n2\n\x1a";
    EXPECT_EQ(4, Find(twice, "[A]"));
}

TEST(FindSection, EdgesOfTheText) {
    EXPECT_EQ(-1, FindSection(nullptr, 0, "[A]"));
    std::string onlyMarker = "\x1a";
    EXPECT_EQ(-1, Find(onlyMarker, "[A]"));
    // Header with no line feed after it: a section without lines.
    std::string noLf = "[A] trailing\x1a";
    long pos = Find(noLf, "[A]");
    EXPECT_EQ((long)noLf.size() - 1, pos);
    char line[kSectionLineSize];
    EXPECT_EQ(0, ReadSectionLine((const unsigned char*)noLf.data(), (long)noLf.size(), line, &pos));
    // Header right before the EndMarker.
    std::string atEnd = "[A]\x1a";
    EXPECT_EQ(3, Find(atEnd, "[A]"));
}

// Walks a section as the callers do, skipping blank lines.
std::vector<std::string> Walk(const std::string& text, const char* header) {
    std::vector<std::string> lines;
    long pos = Find(text, header);
    if (pos < 0)
        return lines;
    char line[kSectionLineSize];
    memset(line, 0xcc, sizeof line);
    while (ReadSectionLine((const unsigned char*)text.data(), (long)text.size(), line, &pos)) {
        if (!IsBlankLine(line))
            lines.push_back(line);
    }
    return lines;
}

TEST(ReadSectionLine, WalksToTheNextSectionOrTheEnd) {
    std::string t = "[WindowsDir]\r\n1,a.dr_\r\n\r\n  \t\r\n2,b.vx_\r\n[SystemDir]\r\n1,c\n\x1a";
    EXPECT_EQ((std::vector<std::string>{"1,a.dr_\r\n", "2,b.vx_\r\n"}), Walk(t, "[WindowsDir]"));
    EXPECT_EQ((std::vector<std::string>{"1,c\n"}), Walk(t, "[SystemDir]"));
}

TEST(ReadSectionLine, BracketAnywhereEndsTheSection) {
    std::string t = "[S]\r\n1,a\r\nHKR,\"[x]\",v\r\n1,b\r\n\x1a";
    EXPECT_EQ((std::vector<std::string>{"1,a\r\n"}), Walk(t, "[S]"));
    long pos = Find(t, "[S]");
    char line[kSectionLineSize];
    ReadSectionLine((const unsigned char*)t.data(), (long)t.size(), line, &pos);
    EXPECT_EQ(0, ReadSectionLine((const unsigned char*)t.data(), (long)t.size(), line, &pos));
    EXPECT_EQ('[', t[pos]);
}

TEST(ReadSectionLine, LastLineWithoutLineFeedIsNotALine) {
    EXPECT_EQ((std::vector<std::string>{"1,a\r\n"}), Walk("[S]\r\n1,a\r\n1,b\x1a", "[S]"));
}

TEST(ReadSectionLine, LongLinesAreSkippedNeverCut) {
    std::string fits(254, 'f');
    std::string tooLong(255, 'g');
    std::string t = "[S]\n" + fits + "\n" + tooLong + "\n1,after\n\x1a";
    std::vector<std::string> lines = Walk(t, "[S]");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(fits + "\n", lines[0]);
    EXPECT_EQ("1,after\n", lines[1]);

    // A bracket inside the skipped part still ends the section.
    std::string t2 = "[S]\n" + std::string(300, 'h') + "[x\n1,after\n\x1a";
    EXPECT_TRUE(Walk(t2, "[S]").empty());
}

TEST(IsBlankLine, WhatTheWalkersSkip) {
    struct Case {
        const char* line;
        bool blank;
    } cases[] = {
        {"\r\n", true}, {"   \r\n", true}, {" \t ", true}, {"\t", true},
        {"", false},    {"\n", false},     {"  \n", false}, {" 1,a\r\n", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.blank, IsBlankLine(c.line)) << "line: [" << c.line << "]";
}

}  // namespace
