// LoadSetupState through the real current directory and profile functions.
#include <gtest/gtest.h>

#include "setupinfo/setup_state_win32.h"
#include "win32_support.h"

namespace {

class SetupStateTest : public ::testing::Test {
protected:
    void TearDown() override { SetCurrentDirectoryA("C:\\"); }  // out of the folders to remove

    // Starts in dir, with setup.dat in setupDatDir unless the text is null.
    void LoadFrom(const std::string& dir, const char* setupDat, const std::string& setupDatDir) {
        for (char* kept : {gSetup.productName, gSetup.vender, gSetup.mfg})
            lstrcpyA(kept, "kept");
        gSetup.expectedBytes = -1;
        DeleteFileA((setupDatDir + "\\setup.dat").c_str());
        if (setupDat)
            WriteFileBytes(setupDatDir + "\\setup.dat", setupDat);
        ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str())) << dir;
        LoadSetupState();
    }

    TempDir disk_{"state"};
};

TEST_F(SetupStateTest, ReadsTheStartDirectoryAndSetupDat) {
    struct Case {
        int line;
        const char* setupDat;
        std::string productName, loadProgram;
        int expectedBytes;
        std::string install;  // DriverInf, OemsetupInf, Vender and Mfg
    } cases[] = {
        {__LINE__, "[Product]\r\nProductName=Model 9\r\nload=kelmotray.exe\r\n"
         "DriverInf=kelmo.ini\r\nOemsetupInf=oemkelmo.inf\r\n[DiskSpace]\r\nSizeInKB=1440\r\n"
         "[Enum PCI]\r\nVender=VEN_4B4D&DEV_0095\r\nMfg=Kelmo\r\n", "Model 9", "kelmotray.exe",
         1440000, "kelmo.ini oemkelmo.inf VEN_4B4D&DEV_0095 Kelmo"},
        {__LINE__, nullptr, "kept", "", 0, "  kept kept"},
        {__LINE__, "[Product]\r\nProductName=NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"
         "NNNNNNNNNNNN\r\nload=abcdefghijklmnopqrstuvwxyz.exe\r\n", std::string(63, 'N'),
         "abcdefghijklmnopqrs", 0, "  kept kept"},
    };
    for (const Case& c : cases) {
        ::testing::ScopedTrace row(__FILE__, c.line, "this row");
        LoadFrom(disk_.path, c.setupDat, disk_.path);
        EXPECT_EQ(disk_.path, gSetup.sourceDir);
        EXPECT_EQ(disk_ / "setup.dat", gSetup.setupDatPath);
        EXPECT_EQ(c.productName, gSetup.productName);
        EXPECT_EQ(c.loadProgram, gSetup.loadProgram);
        EXPECT_EQ(c.expectedBytes, gSetup.expectedBytes);
        EXPECT_EQ(c.install, std::string(gSetup.driverInf) + " " + gSetup.oemsetupInf + " " +
                                 gSetup.vender + " " + gSetup.mfg);
    }
}

TEST_F(SetupStateTest, DriveRootLosesItsBackslash) {
    // The test scripts map A: to a folder of the prefix, as a diskette.
    LoadFrom("A:\\", "[Product]\r\nProductName=From Disk A\r\n", "A:");
    DeleteFileA("A:\\setup.dat");
    EXPECT_STREQ("A:", gSetup.sourceDir);
    EXPECT_STREQ("A:\\setup.dat", gSetup.setupDatPath);
    EXPECT_STREQ("From Disk A", gSetup.productName);
}

// A start directory of 250 characters fits SourceDir but not the path of
// setup.dat: nothing is read, rather than a cut path naming another file.
TEST_F(SetupStateTest, DirectoryWithNoRoomForSetupDatReadsNoOtherFile) {
    std::string dir = disk_ / std::string(250 - disk_.path.size() - 1, 'd');
    CreateDirectoryA(dir.c_str(), nullptr);
    LoadFrom(dir, "[Product]\r\nProductName=Wrong File\r\n", disk_.path);
    EXPECT_EQ(dir, gSetup.sourceDir);
    EXPECT_STREQ("", gSetup.setupDatPath);
    EXPECT_STREQ("kept", gSetup.productName);
}

// On a double-byte code page a start directory may end in a character whose
// second byte is 0x5C, 表 (95 5C) on 932 or 功 (A5 5C) on 950: no trailing
// backslash. CTest runs this under both locales.
TEST_F(SetupStateTest, StartDirectoryEndingInADoubleByteCharacter) {
    const char* name = GetACP() == 932 ? "\x95\\" : GetACP() == 950 ? "\xa5\\" : nullptr;
    if (name == nullptr)
        GTEST_SKIP() << "code page " << GetACP() << " has no such character";
    std::string dir = disk_ / name;
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    LoadFrom(dir, "[Product]\r\nProductName=Model 9\r\n", dir);
    EXPECT_EQ(dir, gSetup.sourceDir);
    EXPECT_EQ(dir + "\\setup.dat", gSetup.setupDatPath);
    EXPECT_STREQ("Model 9", gSetup.productName);
}

}  // namespace
