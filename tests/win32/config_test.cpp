// The system configuration against the real registry and profile functions. The
// adapter's instances are kept as Windows 95 does: Enum\PCI\<Vender>\<instance>.
#include <gtest/gtest.h>

#include "config/device_registration_win32.h"
#include "config/ini_files_win32.h"
#include "config/reg_lines_win32.h"
#include "setupinfo/setup_state_win32.h"
#include "win32_support.h"

namespace {

const char kDevices[] = "Enum\\PCI\\VEN_4B4D&DEV_0095";
const char kSoftware[] = "Software\\KelmoTest";
const char kEnumPci[] = "[Enum PCI]\r\nVender=VEN_4B4D&DEV_0095\r\nMfg=Kelmo Graphics\r\n";

std::string DriverKey(const char* instance) {
    return std::string("System\\CurrentControlSet\\Services\\Class\\Display\\") + instance;
}

// The key and every key below it, a line each: "[path below key]", then each
// value as " name=text" ("?" when not REG_SZ). Empty when the key is not there.
std::string Dump(HKEY root, const std::string& key, const std::string& shown = "") {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return "";
    std::string out = "[" + shown + "]";
    char name[256], data[256];
    DWORD cchName = sizeof name, cb = sizeof data, type;
    for (DWORD i = 0; !RegEnumValueA(h, i, name, &cchName, nullptr, &type, (BYTE*)data, &cb); i++) {
        out += " " + std::string(name) + "=" + (type == REG_SZ ? std::string(data, cb - 1) : "?");
        cchName = sizeof name, cb = sizeof data;
    }
    out += "\n";
    for (DWORD i = 0; !RegEnumKeyA(h, i, name, sizeof name); i++)
        out += Dump(h, name, shown.empty() ? name : shown + "\\" + name);
    RegCloseKey(h);
    return out;
}

// The 32nd free slot of the handle table, which hands out the lowest free
// slot first: a handle left open in a slot below it moves it.
HKEY FreeSlot32() {
    HKEY keys[32];
    for (HKEY& key : keys)
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key);
    for (HKEY key : keys)
        RegCloseKey(key);
    return keys[31];
}

void AddInstance(const char* name, const char* driver, DWORD type = REG_SZ) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, (kDevices + std::string("\\") + name).c_str(), "Driver",
                    type, driver, lstrlenA(driver) + 1);
}

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        TearDown();
        lstrcpyA(gSetup.productName, "Kelmo Model 9");
        lstrcpyA(gSetup.messageText, "sentinel");
    }
    void TearDown() override {
        for (const char* instance : {"0000", "7701", "7702", "1234567"})
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, DriverKey(instance).c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kDevices);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSoftware);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "KelmoTest");
        SetCurrentDirectoryA("C:\\");  // out of the folder to remove
    }

    // Starts on this setup.dat and runs the registry phase; returns the boxes
    // it showed.
    std::string Register(const std::string& setupDat) {
        WriteFileBytes(disk_ / "setup.dat", setupDat);
        gSetup.vender[0] = gSetup.mfg[0] = '\0';
        SetCurrentDirectoryA(disk_.path.c_str());
        LoadSetupState();
        EXPECT_TRUE(LoadSetupText(gSetup.setupDatPath, &gSetupText));
        BoxAnswerer boxes;
        RegisterDisplayDevices(nullptr);
        EXPECT_EQ(nullptr, gSetupText.bytes) << "the setup text is released";
        return boxes.said;
    }

    TempDir disk_{"config"};
};

// Each instance gets its description and maker, its driver key the lines. Without
// a usable "Driver" value the previous instance's key stays, "0000" for the first.
TEST_F(ConfigTest, EveryInstanceIsRegisteredAndItsDriverKeyGetsTheLines) {
    AddInstance("BUS_01", "DISPLAY\\7702", REG_BINARY);
    AddInstance("BUS_02", "DISPLAY\\7701");
    AddInstance("BUS_05", "DISPLAY\\123456789");  // longer than the field
    const std::string setupDat = std::string(kEnumPci) +
        "[Driver.AddReg]\r\nHKR,,Ver,,4.0\r\n\r\nhkr,Lower\r\nHKU,KelmoTest,Ver,,1\r\n"
        "HKCR,KelmoTest\\\\Sub,Name,,\"a, b\"\r\nHKLM,Software\\\\KelmoTest,,,unnamed\r\n"
        "HKLM,Software\\\\KelmoTest\\\\Two\r\nHKLM,Software\\\\KelmoTest\\\\Three,Name\r\n"
        "HKLM,Software\\\\KelmoTest\\\\Four,Name,0\r\nHKLM,Software\\\\KelmoTest\\\\Five,Name,0,\r\n"
        "HKLM,Software\\\\KelmoTest\\\\Single\\One,Name,,1\r\n";
    EXPECT_EQ("", Register(setupDat));
    // A second run leaves no handle open (the first opens some of the platform's).
    HKEY freeSlot = FreeSlot32();
    Register(setupDat);
    EXPECT_EQ(freeSlot, FreeSlot32()) << "every key opened is closed";
    EXPECT_EQ("[] Ver=4.0\n", Dump(HKEY_LOCAL_MACHINE, DriverKey("0000")));
    EXPECT_EQ("[] Ver=4.0\n", Dump(HKEY_LOCAL_MACHINE, DriverKey("7701")));
    for (const char* unused : {"7702", "1234567"})
        EXPECT_EQ("", Dump(HKEY_LOCAL_MACHINE, DriverKey(unused))) << unused;
    EXPECT_STREQ("7701", gSetup.driverInstance);
    EXPECT_STREQ("sentinel", gSetup.messageText) << "nothing written past the driver instance";
    EXPECT_EQ("[]\n[Sub] Name=a, b\n", Dump(HKEY_CLASSES_ROOT, "KelmoTest"));
    // A single backslash separates too, and takes the character after it along.
    EXPECT_EQ("[] =unnamed\n[Five] Name=\n[Single]\n[Single\\ne] Name=1\n[Two]\n",
              Dump(HKEY_LOCAL_MACHINE, kSoftware));
    EXPECT_EQ("", Dump(HKEY_USERS, "KelmoTest"));
    // Values come sorted by name.
    const std::string desc = " DeviceDesc=Kelmo Model 9", mfg = " Mfg=Kelmo Graphics\n";
    EXPECT_EQ("[]\n[BUS_01]" + desc + " Driver=?" + mfg + "[BUS_02]" + desc + " Driver=DISPLAY\\7701" +
                  mfg + "[BUS_05]" + desc + " Driver=DISPLAY\\123456789" + mfg,
              Dump(HKEY_LOCAL_MACHINE, kDevices));
}

// A load line over 255 characters stays whole, even holding the program in its
// first 255: it would be written back cut if taken as read.
TEST_F(ConfigTest, LoadLineIsMadeOrLeftWholeWhenTooLong) {
    char saved[1024], load[1024];
    GetPrivateProfileStringA("windows", "load", "", saved, sizeof saved, "win.ini");
    std::string overFull(300, 'y');
    for (std::string before : {std::string(), overFull, "kelmotray.exe " + overFull}) {
        WritePrivateProfileStringA("windows", "load", before.c_str(), "win.ini");
        AddToLoadLine("kelmotray.exe");
        GetPrivateProfileStringA("windows", "load", "", load, sizeof load, "win.ini");
        EXPECT_EQ(before.empty() ? "kelmotray.exe" : before, load) << before.size();
    }
    WritePrivateProfileStringA("windows", "load", *saved ? saved : nullptr, "win.ini");
}

}  // namespace
