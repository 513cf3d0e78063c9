// Configuration rules: root keys, key paths, the driver instance, the load line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/device_rules.h"
#include "config/load_line.h"
#include "config/reg_line_rules.h"

namespace {

const LeadBytes k932 = {{0x81, 0x9F, 0xE0, 0xFC}};

// Every cumulative name the walk of path yields; "<too long>" when it gave up.
std::vector<std::string> Walk(const std::string& path, const LeadBytes& lead = kSingleByteCodePage) {
    KeyPathWalk walk;
    StartKeyPath(&walk, path.c_str(), lead);
    std::vector<std::string> names;
    KeyPathStep step;
    while ((step = NextKeyPathName(&walk)) == kKeyPathName)
        names.push_back(walk.name);
    if (step == kKeyPathTooLong)
        names.push_back("<too long>");
    return names;
}

TEST(KeyPathWalk, OpensEveryComponentWithThePathSoFar) {
    std::string k255(255, 'k');
    EXPECT_EQ((std::vector<std::string>{"MODES", "MODES\\8", "MODES\\8\\640,480"}),
              Walk("MODES\\\\8\\\\640,480"));
    EXPECT_EQ((std::vector<std::string>{"A", "A\\C"}), Walk("A\\BC"));  // "\B" separates
    EXPECT_EQ(std::vector<std::string>{k255}, Walk(k255));
    // A name that does not fit is given up, never cut into another key.
    EXPECT_EQ(std::vector<std::string>{"<too long>"}, Walk(k255 + "k"));
    EXPECT_EQ((std::vector<std::string>{"a", "<too long>"}), Walk("a\\\\" + k255.substr(1)));
    // 表示 on code page 932 is 95 5C 8E A6: its 5C is no separator, there or after one.
    const std::string display = "\x95\\\x8e\xa6";
    EXPECT_EQ((std::vector<std::string>{"S", "S\\" + display}), Walk("S\\\\" + display, k932));
    EXPECT_EQ((std::vector<std::string>{"S", "S\\\x8e\xa6"}), Walk("S\\" + display, k932));
    EXPECT_EQ((std::vector<std::string>{"S", "S\\\x95", "S\\\x95\\\xa6"}), Walk("S\\\\" + display));
}

TEST(TakeDriverInstance, TextAfterTheFirstBackslashIfItFits) {
    // The instance an 8-character field holds afterwards; it held "prev".
    const struct { int line; const char *driver, *instance; const LeadBytes* lead = &kSingleByteCodePage; } cases[] = {
        {__LINE__, "DISPLAY\\0001", "0001"},      {__LINE__, "\\0002", "0002"},
        {__LINE__, "DISPLAY\\1234567", "1234567"}, {__LINE__, "DISPLAY0001", "prev"},
        {__LINE__, "DISPLAY\\", "prev"},          {__LINE__, "DISPLAY\\12345678", "prev"},
        {__LINE__, "\x95\\\\0001", "\\0001"},   // 1252: 95 5C is two characters
        {__LINE__, "\x95\\\\0001", "0001", &k932},  // 932: one, 表
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, c.driver);
        char field[12] = "prev\0######";
        EXPECT_EQ(strcmp(c.instance, "prev") != 0, TakeDriverInstance(c.driver, field, 8, *c.lead));
        EXPECT_STREQ(c.instance, field);
        EXPECT_EQ("###", std::string(field + 8, 3));
    }
    char name[32];
    EXPECT_FALSE(ComposeDeviceKeyName("", name, sizeof name));  // not Enum\PCI, every maker's adapters
}

TEST(AddProgramToLoadText, OnceAndNeverPast255Characters) {
    std::string x246(246, 'x');
    const struct { int line; std::string text; LoadLineEdit edit; std::string after; } cases[] = {
        {__LINE__, "", kLoadLineAdded, "tray.exe"},
        {__LINE__, "mytray.exe2", kLoadLineHasProgram, "mytray.exe2"},
        {__LINE__, "TRAY.EXE", kLoadLineAdded, "TRAY.EXE tray.exe"},
        {__LINE__, x246, kLoadLineAdded, x246 + " tray.exe"},  // exactly 255
        {__LINE__, x246 + "x", kLoadLineTooLong, x246 + "x"},
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, "table row");
        char text[kLoadLineSize];
        strcpy(text, c.text.c_str());
        EXPECT_EQ(c.edit, AddProgramToLoadText(text, sizeof text, "tray.exe"));
        EXPECT_EQ(c.after, text);
    }
}

}  // namespace
