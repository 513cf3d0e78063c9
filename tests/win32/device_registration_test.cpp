// The registry phase against a hardware tree built in the real registry, as
// Windows 95 keeps it: Enum\PCI\<Vender>\<instance> with a "Driver" value.
#include <gtest/gtest.h>

#include <string>

#include "config/device_registration_win32.h"
#include "setupinfo/setup_state_win32.h"
#include "win32_support.h"

namespace {

const char kVender[] = "VEN_4B4D&DEV_0095";
const char kDevices[] = "Enum\\PCI\\VEN_4B4D&DEV_0095";
const char kClass[] = "System\\CurrentControlSet\\Services\\Class\\Display\\";
const char* const kInstances[] = {"0000", "7701", "7702", "1234567"};

const char kEnumPci[] =
    "[Enum PCI]\r\n"
    "Vender=VEN_4B4D&DEV_0095\r\n"
    "Mfg=Kelmo Graphics\r\n";
const char kAddReg[] =
    "[Driver.AddReg]\r\n"
    "HKR,,Ver,,4.0\r\n";

class DeviceRegistrationTest : public ::testing::Test {
protected:
    DeviceRegistrationTest() : disk_("devreg") {}

    void SetUp() override {
        Clean();
        lstrcpyA(gSetup.driverInstance, "0000");
        lstrcpyA(gSetup.productName, "Kelmo Model 9");
        gSetup.vender[0] = '\0';
        gSetup.mfg[0] = '\0';
        lstrcpyA(gSetup.messageText, "sentinel");
    }
    void TearDown() override {
        ReleaseSetupText(&gSetupText);
        gSetup.setupDatPath[0] = '\0';
        Clean();
    }
    void Clean() {
        RegDeleteTreeA_(HKEY_LOCAL_MACHINE, kDevices);
        for (const char* instance : kInstances)
            RegDeleteTreeA_(HKEY_LOCAL_MACHINE, DriverKey(instance));
    }

    void UseSetupDat(const std::string& text) {
        WriteFileBytes(disk_ / "setup.dat", text);
        lstrcpyA(gSetup.setupDatPath, (disk_ / "setup.dat").c_str());
        ASSERT_TRUE(LoadSetupText(gSetup.setupDatPath, &gSetupText));
    }

    // An instance key; a null driver leaves it without a "Driver" value.
    void AddInstance(const std::string& name, const char* driver) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyA(HKEY_LOCAL_MACHINE, Instance(name).c_str(), &key));
        if (driver)
            RegSetValueExA(key, "Driver", 0, REG_SZ, (const BYTE*)driver, lstrlenA(driver) + 1);
        RegCloseKey(key);
    }

    // Runs the phase and returns the boxes it showed.
    std::vector<SeenBox> Register() {
        BoxAnswerer answerer;
        RegisterDisplayDevices(nullptr);
        return answerer.Seen();
    }

    static std::string Instance(const std::string& name) { return std::string(kDevices) + "\\" + name; }
    static std::string DriverKey(const std::string& instance) { return kClass + instance; }
    static std::string Ver(const char* instance) {
        return RegReadString(HKEY_LOCAL_MACHINE, DriverKey(instance), "Ver");
    }

    TempDir disk_;
};

TEST_F(DeviceRegistrationTest, EveryInstanceGetsItsValuesAndItsDriverKeyTheLines) {
    UseSetupDat(std::string(kEnumPci) + kAddReg);
    AddInstance("BUS_01&DEV_00", "DISPLAY\\7701");
    AddInstance("BUS_02&DEV_00", "DISPLAY\\7702");
    EXPECT_TRUE(Register().empty());

    EXPECT_STREQ(kVender, gSetup.vender);
    for (const char* name : {"BUS_01&DEV_00", "BUS_02&DEV_00"}) {
        EXPECT_EQ("Kelmo Model 9", RegReadString(HKEY_LOCAL_MACHINE, Instance(name), "DeviceDesc"));
        EXPECT_EQ("Kelmo Graphics", RegReadString(HKEY_LOCAL_MACHINE, Instance(name), "Mfg"));
    }
    EXPECT_EQ("4.0", Ver("7701"));
    EXPECT_EQ("4.0", Ver("7702"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, DriverKey("0000")));
    EXPECT_STREQ("7702", gSetup.driverInstance);
    EXPECT_EQ(nullptr, gSetupText.bytes) << "the setup text is released";
}

TEST_F(DeviceRegistrationTest, InstanceWithoutUsableDriverKeepsThePreviousDriverKey) {
    UseSetupDat(std::string(kEnumPci) + kAddReg);
    AddInstance("BUS_01", nullptr);  // first: 0000
    AddInstance("BUS_02", "DISPLAY\\7701");
    AddInstance("BUS_03", nullptr);
    AddInstance("BUS_05", "DISPLAY\\123456789");  // longer than the field
    EXPECT_TRUE(Register().empty());
    EXPECT_EQ("4.0", Ver("0000"));
    EXPECT_EQ("4.0", Ver("7701"));
    EXPECT_STREQ("7701", gSetup.driverInstance);
    EXPECT_STREQ("sentinel", gSetup.messageText) << "nothing written past the driver instance";
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, DriverKey("1234567")));
    EXPECT_EQ("Kelmo Model 9", RegReadString(HKEY_LOCAL_MACHINE, Instance("BUS_05"), "DeviceDesc"));
}

TEST_F(DeviceRegistrationTest, MissingSectionIsShownOncePerInstance) {
    UseSetupDat(kEnumPci);
    AddInstance("BUS_01", "DISPLAY\\7701");
    AddInstance("BUS_02", "DISPLAY\\7702");
    std::vector<SeenBox> boxes = Register();
    ASSERT_EQ(2u, boxes.size());
    for (const SeenBox& box : boxes)
        EXPECT_EQ("Can't find section: [Driver.AddReg]", box.text);
    EXPECT_EQ("Kelmo Graphics", RegReadString(HKEY_LOCAL_MACHINE, Instance("BUS_02"), "Mfg"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, DriverKey("7701")));
}

TEST_F(DeviceRegistrationTest, NoInstancesOrNoDeviceKeyDoNothingQuietly) {
    // Without [Driver.AddReg]: a box would show if any line were applied.
    for (int withKey = 0; withKey < 2; withKey++) {
        HKEY key;
        if (withKey && RegCreateKeyA(HKEY_LOCAL_MACHINE, kDevices, &key) == ERROR_SUCCESS)
            RegCloseKey(key);
        UseSetupDat(kEnumPci);
        EXPECT_TRUE(Register().empty()) << withKey;
        EXPECT_EQ(nullptr, gSetupText.bytes);
    }

    // An empty Vender: Enum\PCI itself, whose subkeys are every maker's
    // adapters, is not taken for the device key.
    UseSetupDat("[Enum PCI]\r\nVender=\r\n");
    EXPECT_TRUE(Register().empty());
    EXPECT_EQ("<no value>", RegReadString(HKEY_LOCAL_MACHINE, kDevices, "DeviceDesc"));
}

}  // namespace
