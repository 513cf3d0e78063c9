// The portable rules of the system configuration: root keys, key path
// walking, the driver instance of a "Driver" value and the load line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/device_rules.h"
#include "config/load_line.h"
#include "config/reg_line_rules.h"

namespace {

TEST(LookupRootKey, ExactCaseSensitiveNamesOnly) {
    EXPECT_EQ(kRootDriverKey, LookupRootKey("HKR"));
    EXPECT_EQ(kRootClassesRoot, LookupRootKey("HKCR"));
    EXPECT_EQ(kRootLocalMachine, LookupRootKey("HKLM"));
    for (const char* root : {"hkr", "Hklm", "HKU", "HKCU", "HK", "HKRR", ""})
        EXPECT_EQ(kRootUnknown, LookupRootKey(root)) << root;
}

// Every cumulative name the walk yields; "<too long>" when it gave up.
std::vector<std::string> Walk(const std::string& path) {
    KeyPathWalk walk;
    StartKeyPath(&walk, path.c_str());
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
    struct Case {
        std::string path;
        std::vector<std::string> names;
    } cases[] = {
        {"", {}},
        {"MODES\\\\8\\\\640,480", {"MODES", "MODES\\8", "MODES\\8\\640,480"}},
        // A single backslash takes the character after it along.
        {"A\\BC", {"A", "A\\C"}},
        {"A\\B", {"A"}},
        {"A\\\\", {"A"}},
        {"\\\\A", {"", "\\A"}},
        {k255, {k255}},
        // Names that do not fit are given up, never cut into another key.
        {k255 + "k", {"<too long>"}},
        {"a\\\\" + k255.substr(1), {"a", "<too long>"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.names, Walk(c.path)) << c.path;
}

TEST(TakeDriverInstance, TextAfterTheFirstBackslashThatFits) {
    struct Case {
        const char *driver, *instance;  // what the 8-byte field holds afterwards
    } cases[] = {
        {"DISPLAY\\0001", "0001"}, {"\\0002", "0002"}, {"DISPLAY\\1234567", "1234567"},
        {"DISPLAY0001", "prev"},        // no backslash: keep the previous key
        {"DISPLAY\\", "prev"},          // would name the class key itself
        {"DISPLAY\\12345678", "prev"},  // cut, it would name another key
    };
    for (const Case& c : cases) {
        char field[12];
        memset(field, 0xcc, sizeof field);
        strcpy(field, "prev");
        EXPECT_EQ(strcmp(c.instance, "prev") != 0, TakeDriverInstance(c.driver, field, 8));
        EXPECT_STREQ(c.instance, field) << c.driver;
        EXPECT_EQ((char)0xcc, field[8]) << c.driver;
    }
}

TEST(DeviceKeyName, EmptyVenderNamesNoKey) {
    char name[32];
    EXPECT_TRUE(ComposeDeviceKeyName("VEN_4B4D", name, sizeof name));
    EXPECT_STREQ("Enum\\PCI\\VEN_4B4D", name);
    EXPECT_FALSE(ComposeDeviceKeyName("", name, sizeof name));
    EXPECT_FALSE(ComposeInstanceKeyName("VEN_4B4D", "BUS_01&DEV_0000", name, 16));
}

TEST(LoadLine, AddsTheProgramOnceAndNeverPast255Characters) {
    std::string x246(246, 'x');
    struct Case {
        std::string line;
        LoadLineEdit edit;
        std::string after;
    } cases[] = {
        {"", kLoadLineAdded, "tray.exe"},
        {"clock.exe", kLoadLineAdded, "clock.exe tray.exe"},
        {"a.exe tray.exe b.exe", kLoadLineHasProgram, "a.exe tray.exe b.exe"},
        {"mytray.exe2", kLoadLineHasProgram, "mytray.exe2"},
        {"TRAY.EXE", kLoadLineAdded, "TRAY.EXE tray.exe"},
        {x246, kLoadLineAdded, x246 + " tray.exe"},  // exactly 255
        {x246 + "x", kLoadLineTooLong, x246 + "x"},
        {x246 + "xtray.exe", kLoadLineHasProgram, x246 + "xtray.exe"},
    };
    for (const Case& c : cases) {
        char line[kLoadLineSize];
        strcpy(line, c.line.c_str());
        EXPECT_EQ(c.edit, AddProgramToLoadText(line, sizeof line, "tray.exe")) << c.line;
        EXPECT_EQ(c.after, line);
    }
}

}  // namespace
