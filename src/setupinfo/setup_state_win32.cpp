#include "setup_state_win32.h"

#include "base/error_box_win32.h"
#include "base/text.h"
#include "setup_vocabulary.h"

// Zero-filled, so the record takes no room in the program file; the one
// field that starts otherwise is set by LoadSetupState.
SetupState gSetup;
SetupText gSetupText = {nullptr, 0};

void ReadSetupString(const char* section, const char* key, const char* defaultText,
                     char* buffer, int cchBuffer) {
    char fallback[kPathSize];
    TextCopy(fallback, sizeof fallback, defaultText ? defaultText : "");
    if (gSetup.setupDatPath[0] == '\0') {
        TextCopy(buffer, cchBuffer, fallback);
        return;
    }
    GetPrivateProfileStringA(section, key, fallback, buffer, cchBuffer, gSetup.setupDatPath);
}

int ReadSetupInt(const char* section, const char* key, int defaultValue) {
    if (gSetup.setupDatPath[0] == '\0')
        return defaultValue;
    return (int)GetPrivateProfileIntA(section, key, defaultValue, gSetup.setupDatPath);
}

// The lead bytes of the system's ANSI code page, which setup.dat is written
// in. GetCPInfo has them on Windows 95 too.
static void ReadLeadBytes() {
    CPINFO info;
    ZeroBytes(&gSetup.leadBytes, sizeof gSetup.leadBytes);
    if (GetCPInfo(CP_ACP, &info)) {
        static_assert(sizeof info.LeadByte == sizeof gSetup.leadBytes.ranges, "CPINFO's table");
        for (int i = 0; i < kLeadByteTableSize; i++)
            gSetup.leadBytes.ranges[i] = info.LeadByte[i];
    }
}

// The current directory with one trailing backslash removed, so that a
// drive root A:\ becomes A:. A directory that does not fit leaves it empty.
// The backslash is a character of its own: a name may end in one whose
// second byte is 0x5C.
static void ReadSourceDir() {
    char dir[kPathSize];
    DWORD cch = GetCurrentDirectoryA(sizeof dir, dir);
    gSetup.sourceDir[0] = '\0';
    if (cch == 0 || cch >= sizeof dir)
        return;
    if (FindLastSeparator(dir, false, gSetup.leadBytes) == dir + cch - 1)
        dir[cch - 1] = '\0';
    TextCopy(gSetup.sourceDir, sizeof gSetup.sourceDir, dir);
}

void LoadSetupState() {
    TextCopy(gSetup.driverInstance, sizeof gSetup.driverInstance, "0000");
    ReadLeadBytes();
    ReadSourceDir();
    gSetup.setupDatPath[0] = '\0';
    if (gSetup.sourceDir[0] != '\0' &&
        !TextFormat(gSetup.setupDatPath, sizeof gSetup.setupDatPath, "%s\\%s",
                    gSetup.sourceDir, kSetupDatName))
        gSetup.setupDatPath[0] = '\0';
    ReadSetupString(kProductSection, kProductNameKey, gSetup.productName, gSetup.productName,
                    sizeof gSetup.productName);
    gSetup.expectedBytes = ExpectedBytesOfSize(ReadSetupInt(kDiskSpaceSection, kSizeInKBKey, 0));
    ReadSetupString(kProductSection, kLoadKey, "", gSetup.loadProgram, sizeof gSetup.loadProgram);
    // The install's values too, while the diskette the program started from
    // is surely in the drive: the first prompt may bring another.
    ReadSetupString(kProductSection, kDriverInfKey, "", gSetup.driverInf, sizeof gSetup.driverInf);
    ReadSetupString(kProductSection, kOemsetupInfKey, "", gSetup.oemsetupInf,
                    sizeof gSetup.oemsetupInf);
    ReadSetupString(kEnumPciSection, kVenderKey, gSetup.vender, gSetup.vender,
                    sizeof gSetup.vender);
    ReadSetupString(kEnumPciSection, kMfgKey, gSetup.mfg, gSetup.mfg, sizeof gSetup.mfg);
    UINT cch = GetSystemDirectoryA(gSetup.systemDir, sizeof gSetup.systemDir);
    if (cch == 0 || cch >= sizeof gSetup.systemDir)
        gSetup.systemDir[0] = '\0';
    cch = GetWindowsDirectoryA(gSetup.windowsDir, sizeof gSetup.windowsDir);
    if (cch == 0 || cch >= sizeof gSetup.windowsDir)
        gSetup.windowsDir[0] = '\0';
}

void ShowMissingSection(const char* header) {
    FormatMissingSection(gSetup.messageText, sizeof gSetup.messageText, header);
    ShowErrorBox(gSetup.messageText);
}
