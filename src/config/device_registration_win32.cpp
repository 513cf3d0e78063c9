#include "device_registration_win32.h"

#include "base/error_box_win32.h"
#include "base/text.h"
#include "device_rules.h"
#include "reg_lines_win32.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"

// Reads "Driver" of an instance key into driver (cbDriver bytes). Anything
// but a string that fits leaves it empty, so no half-read or binary value
// is taken for a driver key name.
static void ReadDriverValue(HKEY instance, char* driver, DWORD cbDriver) {
    DWORD type = 0;
    DWORD cb = cbDriver - 1;
    if (RegQueryValueExA(instance, "Driver", nullptr, &type, (BYTE*)driver, &cb) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        driver[0] = '\0';
        return;
    }
    driver[cb] = '\0';
}

static void SetStringValue(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)TextLength(text) + 1);
}

// Writes the description values on one instance and takes its driver key.
static void RegisterInstance(const char* instanceName) {
    char driver[kPathSize];
    ZeroBytes(driver, sizeof driver);
    char keyName[kPathSize];
    HKEY instance;
    if (ComposeInstanceKeyName(gSetup.vender, instanceName, keyName, sizeof keyName) &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_ALL_ACCESS, &instance) ==
            ERROR_SUCCESS) {
        ReadDriverValue(instance, driver, sizeof driver);
        SetStringValue(instance, kDeviceDescValue, gSetup.productName);
        SetStringValue(instance, kMfgValue, gSetup.mfg);
        RegCloseKey(instance);
    }
    // Without a usable "Driver" value the previous instance's driver key
    // stays, "0000" for the first.
    if (driver[0] != '\0')
        TakeDriverInstance(driver, gSetup.driverInstance, sizeof gSetup.driverInstance,
                           gSetup.leadBytes);
}

// Applies [Driver.AddReg] of gSetupText for the current driver instance, or
// shows the missing section's error.
static void ApplyDriverAddReg() {
    long position =
        FindSection(gSetupText.bytes, gSetupText.length, kDriverAddRegHeader, gSetup.leadBytes);
    if (position < 0) {
        ShowMissingSection(kDriverAddRegHeader);
        return;
    }
    ApplyRegSection(&gSetupText, position);
}

void RegisterDisplayDevices(HWND page) {
    (void)page;
    char deviceKeyName[kPathSize];
    HKEY devices;
    if (ComposeDeviceKeyName(gSetup.vender, deviceKeyName, sizeof deviceKeyName) &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, deviceKeyName, 0, KEY_ALL_ACCESS, &devices) ==
            ERROR_SUCCESS) {
        char instanceName[kPathSize];
        for (DWORD index = 0;
             RegEnumKeyA(devices, index, instanceName, sizeof instanceName) == ERROR_SUCCESS;
             index++) {
            RegisterInstance(instanceName);
            ApplyDriverAddReg();
        }
        RegCloseKey(devices);
    }
    ReleaseSetupText(&gSetupText);
}
