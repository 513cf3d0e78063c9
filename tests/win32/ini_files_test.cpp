// Edits of win.ini and system.ini through the real profile functions,
// checked in the files themselves.
#include <gtest/gtest.h>

#include <string>

#include "config/ini_files.h"
#include "setupinfo/setup_state.h"
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
        gSetup.loadProgram[0] = '\0';
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
    Files(kWinIni, kSystemIni);
    SetLoad("clock.exe");
    lstrcpyA(gSetup.loadProgram, "kelmotray.exe");
    UpdateIniFiles();
    Flush();
    EXPECT_EQ("[boot]\r\n"
              "display.drv=vga.drv\r\n"
              "[boot.description]\r\n"
              "display.drv=Kelmo Model 9\r\n"
              "keyboard.typ=Standard Keyboard\r\n"
              "[DISPLAY]\r\n"
              "Depth=8\r\n",
              ReadFileBytes(systemIni_));
    EXPECT_EQ("clock.exe kelmotray.exe", Load());
    EXPECT_NE(std::string::npos, ReadFileBytes(winIni_).find(kWinIni));
}

TEST_F(IniFilesTest, WithoutLoadProgramTheLoadLineIsNotTouched) {
    Files(kWinIni, "[boot]\r\nshell=Explorer.exe\r\n");
    SetLoad(nullptr);
    UpdateIniFiles();
    Flush();
    EXPECT_EQ("<none>", Load());
    EXPECT_EQ(kWinIni, ReadFileBytes(winIni_));
    EXPECT_EQ("[boot]\r\nshell=Explorer.exe\r\n"
              "[boot.description]\r\ndisplay.drv=Kelmo Model 9\r\n",
              ReadFileBytes(systemIni_));
}

TEST_F(IniFilesTest, LoadLineIsMadeOrLeftWholeWhenTooLong) {
    SetLoad(nullptr);
    AddToLoadLine("kelmotray.exe");
    EXPECT_EQ("kelmotray.exe", Load());

    std::string nearlyFull(250, 'x');    // would pass 255 with the program
    std::string overFull(300, 'y');      // already longer than the line may be
    // Holding the program within its first 255 characters, such a line
    // would be written back cut if it were taken as read.
    std::string holding = "kelmotray.exe " + overFull;
    for (const std::string& load : {nearlyFull, overFull, holding}) {
        SetLoad(load.c_str());
        AddToLoadLine("kelmotray.exe");
        EXPECT_EQ(load, Load()) << load.size();
    }
}

}  // namespace
