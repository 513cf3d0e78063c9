// LoadSetupState through the real current directory, profile and directory
// functions of Wine.
#include <gtest/gtest.h>

#include "setupinfo/setup_state_win32.h"
#include "win32_support.h"

namespace {

class SetupStateTest : public ::testing::Test {
protected:
    void SetUp() override { GetCurrentDirectoryA(sizeof savedDir_, savedDir_); }
    void TearDown() override { SetCurrentDirectoryA(savedDir_); }

    // Starts in dir, with setup.dat in setupDatDir unless the text is null.
    void LoadFrom(const std::string& dir, const char* setupDat, const std::string& setupDatDir = "") {
        lstrcpyA(gSetup.productName, "kept");
        lstrcpyA(gSetup.loadProgram, "stale");
        gSetup.expectedBytes = -1;
        if (setupDat)
            WriteFileBytes((setupDatDir.empty() ? dir : setupDatDir) + "\\setup.dat", setupDat);
        ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str())) << dir;
        LoadSetupState();
    }

    char savedDir_[MAX_PATH];
    TempDir disk_{"state"};
};

TEST_F(SetupStateTest, ReadsTheStartDirectoryAndSetupDat) {
    struct Case {
        const char* setupDat;
        std::string productName, loadProgram;
        int expectedBytes;
    } cases[] = {
        {"[Product]\r\nProductName=Model 9\r\nload=kelmotray.exe\r\n[DiskSpace]\r\nSizeInKB=1440\r\n",
         "Model 9", "kelmotray.exe", 1440000},
        {nullptr, "kept", "", 0},
        {"[DiskSpace]\r\nSizeInKB=3000000\r\n", "kept", "", 0x7FFFFFFF},
        {"[Product]\r\nProductName=NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN\r\n"
         "load=abcdefghijklmnopqrstuvwxyz.exe\r\n",
         std::string(63, 'N'), "abcdefghijklmnopqrs", 0},
    };
    for (const Case& c : cases) {
        DeleteFileA((disk_ / "setup.dat").c_str());
        LoadFrom(disk_.path, c.setupDat);
        EXPECT_EQ(disk_.path, gSetup.sourceDir);
        EXPECT_EQ(disk_ / "setup.dat", gSetup.setupDatPath);
        EXPECT_EQ(c.productName, gSetup.productName);
        EXPECT_EQ(c.loadProgram, gSetup.loadProgram);
        EXPECT_EQ(c.expectedBytes, gSetup.expectedBytes);
    }
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, sizeof dir);
    EXPECT_STREQ(dir, gSetup.systemDir);
    GetWindowsDirectoryA(dir, sizeof dir);
    EXPECT_STREQ(dir, gSetup.windowsDir);
}

TEST_F(SetupStateTest, DriveRootLosesItsBackslash) {
    // The test scripts map A: to a folder of the prefix, as a diskette.
    if (GetDriveTypeA("A:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no A: drive in this prefix";
    LoadFrom("A:\\", "[Product]\r\nProductName=From Disk A\r\n", "A:");
    DeleteFileA("A:\\setup.dat");
    EXPECT_STREQ("A:", gSetup.sourceDir);
    EXPECT_STREQ("A:\\setup.dat", gSetup.setupDatPath);
    EXPECT_STREQ("From Disk A", gSetup.productName);
}

TEST_F(SetupStateTest, DirectoryWithNoRoomForSetupDatReadsNoOtherFile) {
    // A start directory of 250 characters fits SourceDir but not the path of
    // setup.dat: nothing is read, rather than a cut path naming another file.
    std::string dir = disk_.path;
    while (dir.size() < 240)
        dir += "\\dddddddddd";
    dir += "\\" + std::string(250 - dir.size() - 1, 'e');
    for (size_t at = disk_.path.size() + 1; at <= dir.size(); at++)
        if (at == dir.size() || dir[at] == '\\')
            CreateDirectoryA(dir.substr(0, at).c_str(), nullptr);
    LoadFrom(dir, "[Product]\r\nProductName=Wrong File\r\n", disk_.path);
    EXPECT_EQ(dir, gSetup.sourceDir);
    EXPECT_STREQ("", gSetup.setupDatPath);
    EXPECT_STREQ("kept", gSetup.productName);
}

}  // namespace
