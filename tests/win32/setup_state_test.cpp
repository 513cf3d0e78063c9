// LoadSetupState through the real current directory, profile and directory
// functions of Wine.
#include <gtest/gtest.h>

#include "setupinfo/setup_state.h"
#include "win32_support.h"

namespace {

class SetupStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(sizeof savedDir_, savedDir_);
        gSetup.productName[0] = '\0';
        gSetup.loadProgram[0] = '\0';
        gSetup.expectedBytes = -1;
    }
    void TearDown() override { SetCurrentDirectoryA(savedDir_); }

    void StartIn(const std::string& dir) { ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str())) << dir; }

    char savedDir_[MAX_PATH];
};

const char kSetupDat[] =
    "[Product]\r\n"
    "ProductName=Model 9\r\n"
    "load=kelmotray.exe\r\n"
    "[DiskSpace]\r\n"
    "SizeInKB=1440\r\n";

TEST_F(SetupStateTest, ReadsTheStartDirectoryAndSetupDat) {
    TempDir disk("state");
    WriteFileBytes(disk / "setup.dat", kSetupDat);
    StartIn(disk.path);
    LoadSetupState();
    EXPECT_STREQ(disk.path.c_str(), gSetup.sourceDir);
    EXPECT_EQ(disk / "setup.dat", gSetup.setupDatPath);
    EXPECT_STREQ("Model 9", gSetup.productName);
    EXPECT_EQ(1440000, gSetup.expectedBytes);
    EXPECT_STREQ("kelmotray.exe", gSetup.loadProgram);

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
    WriteFileBytes("A:\\setup.dat", "[Product]\r\nProductName=From Disk A\r\n");
    StartIn("A:\\");
    LoadSetupState();
    DeleteFileA("A:\\setup.dat");
    EXPECT_STREQ("A:", gSetup.sourceDir);
    EXPECT_STREQ("A:\\setup.dat", gSetup.setupDatPath);
    EXPECT_STREQ("From Disk A", gSetup.productName);
}

TEST_F(SetupStateTest, LongValuesAreCutToTheirFields) {
    TempDir disk("state");
    std::string name(80, 'N');
    WriteFileBytes(disk / "setup.dat", "[Product]\r\nProductName=" + name +
                                           "\r\nload=abcdefghijklmnopqrstuvwxyz.exe\r\n");
    StartIn(disk.path);
    LoadSetupState();
    EXPECT_EQ(std::string(63, 'N'), gSetup.productName);
    EXPECT_STREQ("abcdefghijklmnopqrs", gSetup.loadProgram);
    EXPECT_EQ(0, gSetup.expectedBytes);
}

TEST_F(SetupStateTest, WithoutSetupDatEveryFieldKeepsItsDefault) {
    TempDir disk("state");
    StartIn(disk.path);
    lstrcpyA(gSetup.productName, "kept");
    lstrcpyA(gSetup.loadProgram, "stale");
    LoadSetupState();
    EXPECT_STREQ("kept", gSetup.productName);
    EXPECT_STREQ("", gSetup.loadProgram);
    EXPECT_EQ(0, gSetup.expectedBytes);
}

TEST_F(SetupStateTest, HugeSizeDoesNotWrapAround) {
    TempDir disk("state");
    WriteFileBytes(disk / "setup.dat", "[DiskSpace]\r\nSizeInKB=3000000\r\n");
    StartIn(disk.path);
    LoadSetupState();
    EXPECT_EQ(0x7FFFFFFF, gSetup.expectedBytes);
}

TEST_F(SetupStateTest, DirectoryWithNoRoomForSetupDatReadsNoOtherFile) {
    // A start directory of 250 characters fits SourceDir but not the path of
    // setup.dat: nothing is read, rather than a cut path naming another file.
    TempDir disk("state");
    std::string dir = disk.path;
    while (dir.size() < 240)
        dir += "\\dddddddddd";
    dir += "\\" + std::string(250 - dir.size() - 1, 'e');
    ASSERT_EQ(250u, dir.size());
    std::string made = disk.path;
    for (size_t at = disk.path.size() + 1; at <= dir.size(); at++) {
        if (at == dir.size() || dir[at] == '\\')
            CreateDirectoryA(dir.substr(0, at).c_str(), nullptr);
    }
    WriteFileBytes(disk / "setup.dat", "[Product]\r\nProductName=Wrong File\r\n");
    StartIn(dir);
    LoadSetupState();
    EXPECT_EQ(dir, gSetup.sourceDir);
    EXPECT_STREQ("", gSetup.setupDatPath);
    EXPECT_STREQ("", gSetup.productName);
}

}  // namespace
