// Registry lines applied to the real registry of the Wine prefix.
#include <gtest/gtest.h>

#include <string>

#include "config/reg_lines_win32.h"
#include "setupinfo/setup_state_win32.h"
#include "win32_support.h"

namespace {

const std::string kDriverKey = "System\\CurrentControlSet\\Services\\Class\\Display\\7701";
const std::string kOtherDriverKey = "System\\CurrentControlSet\\Services\\Class\\Display\\7702";
const std::string kSoftware = "Software\\KelmoRegLineTest";

class RegLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clean();
        lstrcpyA(gSetup.driverInstance, "7701");
    }
    void TearDown() override { Clean(); }
    static void Clean() {
        RegDeleteTreeA_(HKEY_LOCAL_MACHINE, kDriverKey);
        RegDeleteTreeA_(HKEY_LOCAL_MACHINE, kOtherDriverKey);
        RegDeleteTreeA_(HKEY_CLASSES_ROOT, "KelmoRegLineTest");
        RegDeleteTreeA_(HKEY_LOCAL_MACHINE, kSoftware);
    }

    // Applies a [Driver.AddReg] body as it stands in setup.dat.
    static void Apply(const std::string& lines) {
        std::string bytes = lines + (char)EndMarker;
        SetupText text = {(unsigned char*)&bytes[0], (long)bytes.size()};
        ApplyRegSection(&text, 0);
    }
    static std::string Hklm(const std::string& key, const char* value) {
        return RegReadString(HKEY_LOCAL_MACHINE, key, value);
    }
};

TEST_F(RegLinesTest, ValuesGoBelowTheirRootByFieldCount) {
    Apply("HKR,,Ver,,4.0\r\n"
          "\r\n"
          "HKCR,KelmoRegLineTest\\\\Sub,Name,,\"a, b\"\r\n"
          "HKLM,Software\\\\KelmoRegLineTest,,,unnamed\r\n"
          "HKLM,Software\\\\KelmoRegLineTest\\\\Two\r\n"
          "HKLM,Software\\\\KelmoRegLineTest\\\\Three,Name\r\n"
          "HKLM,Software\\\\KelmoRegLineTest\\\\Four,Name,0\r\n"
          "HKLM,Software\\\\KelmoRegLineTest\\\\Five,Name,0,\r\n"
          "hkr,Lower\r\n"
          "HKU,KelmoRegLineTest,Ver,,1\r\n");
    EXPECT_EQ("4.0", Hklm(kDriverKey, "Ver"));
    EXPECT_EQ("a, b", RegReadString(HKEY_CLASSES_ROOT, "KelmoRegLineTest\\Sub", "Name"));
    EXPECT_EQ("unnamed", Hklm(kSoftware, ""));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kSoftware + "\\Two"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kSoftware + "\\Three"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kSoftware + "\\Four"));
    EXPECT_EQ("", Hklm(kSoftware + "\\Five", "Name"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kDriverKey + "\\Lower"));
    EXPECT_FALSE(RegKeyExists(HKEY_USERS, "KelmoRegLineTest"));
}

TEST_F(RegLinesTest, DriverKeyIsMadeForAnyHkrLine) {
    Apply("HKR\r\n");
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
    lstrcpyA(gSetup.driverInstance, "7702");
    Apply("HKR,MODES\\\\8\\\\\"640,480\"\r\n");
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kOtherDriverKey + "\\MODES\\8\\640,480"));
}

TEST_F(RegLinesTest, SectionEndsAtABracketAndSkipsLinesTooLong) {
    std::string longName(128, 'n');
    Apply("HKR,,First,,1\r\n"
          "HKR,,\"" + longName + "\",,cut\r\n"
          "HKR,,Second,,\"2[3\"\r\n"
          "HKR,,Third,,3\r\n");
    EXPECT_EQ("1", Hklm(kDriverKey, "First"));
    EXPECT_EQ("<no value>", Hklm(kDriverKey, longName.substr(0, 127).c_str()));
    EXPECT_EQ("<no value>", Hklm(kDriverKey, "Second"));
    EXPECT_EQ("<no value>", Hklm(kDriverKey, "Third"));
}

TEST_F(RegLinesTest, OpenKeyPathClosesTheKeysOnTheWay) {
    HKEY base;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kDriverKey.c_str(), &base));
    EXPECT_EQ(base, OpenKeyPath(base, "", KEY_ALL_ACCESS));
    HKEY key = OpenKeyPath(base, "P\\\\Q", KEY_ALL_ACCESS);
    ASSERT_NE(nullptr, key);
    RegSetValueExA(key, "v", 0, REG_SZ, (const BYTE*)"q", 2);
    RegCloseKey(key);
    EXPECT_EQ("q", Hklm(kDriverKey + "\\P\\Q", "v"));

    // The handle table hands out the lowest free slot, so a leak shows as a
    // different handle afterwards.
    HKEY probe;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(base, "P", 0, KEY_READ, &probe));
    HKEY first = probe;
    RegCloseKey(probe);
    for (int i = 0; i < 20; i++)
        RegCloseKey(OpenKeyPath(base, "P\\\\Q\\\\R\\\\S", KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(base, "P", 0, KEY_READ, &probe));
    EXPECT_EQ(first, probe);
    RegCloseKey(probe);
    RegCloseKey(base);
}

}  // namespace
