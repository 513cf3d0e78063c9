// Edits of win.ini and system.ini through the real profile functions,
// checked in the files themselves.
#include <gtest/gtest.h>

#include <string>

#include "config/ini_files_win32.h"
#include "setupinfo/setup_state_win32.h"
#include "win32_support.h"

namespace {

const char kSystemIni[] =
    "[boot]\r\n"
    "display.drv=vga.drv\r\n"
    "[boot.description]\r\n"
    "display.drv=Standard VGA\r\n"
    "keyboard.typ=Standard Keyboard\r\n"
    "[DISPLAY]\r\n"
    "RefreshProgramming=1\r\n"
    "Depth=8\r\n";

// The load line is set and read through the profile functions: Wine, like
// the NT family, keeps [windows] of win.ini in the registry, not the file.
class IniFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[MAX_PATH];
        GetWindowsDirectoryA(dir, sizeof dir);
        winIni_ = std::string(dir) + "\\win.ini";
        systemIni_ = std::string(dir) + "\\system.ini";
        savedWin_ = ReadFileBytes(winIni_);
        savedSystem_ = ReadFileBytes(systemIni_);
        savedLoad_ = Load();
        lstrcpyA(gSetup.productName, "Kelmo Model 9");
    }
    void TearDown() override {
        SetLoad(savedLoad_ == "<none>" ? nullptr : savedLoad_.c_str());
        Restore(winIni_, savedWin_);
        Restore(systemIni_, savedSystem_);
    }

    // Drops the profile cache so a file written here is read afresh.
    static void Flush() {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, "win.ini");
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, "system.ini");
    }
    static void Restore(const std::string& path, const std::string& bytes) {
        Flush();
        if (bytes == "<missing>")
            DeleteFileA(path.c_str());
        else
            WriteFileBytes(path, bytes);
    }
    void Files(const std::string& win, const std::string& system) {
        Flush();
        WriteFileBytes(winIni_, win);
        WriteFileBytes(systemIni_, system);
    }
    static void SetLoad(const char* load) {
        WritePrivateProfileStringA("windows", "load", load, "win.ini");
    }
    static std::string Load() {
        char text[1024];
        GetPrivateProfileStringA("windows", "load", "<none>", text, sizeof text, "win.ini");
        return text;
    }

    std::string winIni_, systemIni_, savedWin_, savedSystem_, savedLoad_;
};

const char kWinIni[] = "[Kelmo]\r\nkeep=1\r\n\r\n[other]\r\nx = 2\r\n";

TEST_F(IniFilesTest, SystemIniGetsTheDescriptionAndLosesTheRefreshKeyOnly) {
    struct Case {
        const char *system, *loadProgram, *loadBefore, *loadAfter, *systemAfter;
    } cases[] = {
        {kSystemIni, "kelmotray.exe", "clock.exe", "clock.exe kelmotray.exe",
         "[boot]\r\ndisplay.drv=vga.drv\r\n[boot.description]\r\ndisplay.drv=Kelmo Model 9\r\n"
         "keyboard.typ=Standard Keyboard\r\n[DISPLAY]\r\nDepth=8\r\n"},
        // Without a program to load the load line is not touched.
        {"[boot]\r\nshell=Explorer.exe\r\n", "", nullptr, "<none>",
         "[boot]\r\nshell=Explorer.exe\r\n[boot.description]\r\ndisplay.drv=Kelmo Model 9\r\n"},
    };
    for (const Case& c : cases) {
        Files(kWinIni, c.system);
        SetLoad(c.loadBefore);
        lstrcpyA(gSetup.loadProgram, c.loadProgram);
        UpdateIniFiles();
        Flush();
        EXPECT_EQ(c.systemAfter, ReadFileBytes(systemIni_));
        EXPECT_EQ(c.loadAfter, Load());
        EXPECT_NE(std::string::npos, ReadFileBytes(winIni_).find(kWinIni));
    }
}

TEST_F(IniFilesTest, LoadLineIsMadeOrLeftWholeWhenTooLong) {
    SetLoad(nullptr);
    AddToLoadLine("kelmotray.exe");
    EXPECT_EQ("kelmotray.exe", Load());
    // Longer than a load line may be, even holding the program within its
    // first 255 characters: it would be written back cut if taken as read.
    std::string overFull(300, 'y');
    for (const std::string& load : {overFull, "kelmotray.exe " + overFull}) {
        SetLoad(load.c_str());
        AddToLoadLine("kelmotray.exe");
        EXPECT_EQ(load, Load()) << load.size();
    }
}

}  // namespace
