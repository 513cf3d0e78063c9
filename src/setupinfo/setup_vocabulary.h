// The names, texts and ids that setup.exe and setupcheck share: the file
// setup.dat with its sections and keys, the ini edits, the message of a
// missing section, and the finish page's status lines. The checker takes
// them from here, so what it reports is what the program reads and writes.
#pragma once

// The status lines of the finish page: the source and the target of the file
// being copied. setup.rc names its controls with these too.
#define IDC_SOURCE_STATUS 1001
#define IDC_TARGET_STATUS 1002

#ifndef RC_INVOKED

inline constexpr char kSetupDatName[] = "setup.dat";
// The program's own name on the first diskette, beside setup.dat.
inline constexpr char kSetupExeName[] = "setup.exe";

// Keyed sections of setup.dat, read through the profile functions, and their
// keys.
inline constexpr char kProductSection[] = "Product";
inline constexpr char kProductNameKey[] = "ProductName";
inline constexpr char kLoadKey[] = "load";
inline constexpr char kDriverInfKey[] = "DriverInf";
inline constexpr char kOemsetupInfKey[] = "OemsetupInf";
inline constexpr char kDiskSpaceSection[] = "DiskSpace";
inline constexpr char kSizeInKBKey[] = "SizeInKB";
inline constexpr char kBannerSection[] = "Banner";
inline constexpr char kFontHiKey[] = "FontHi";
inline constexpr char kStartXKey[] = "StartX";
inline constexpr char kStartYKey[] = "StartY";
inline constexpr char kEnumPciSection[] = "Enum PCI";
inline constexpr char kVenderKey[] = "Vender";
inline constexpr char kMfgKey[] = "Mfg";
// Its keys are disk ids; each value labels the diskette of that id's files.
inline constexpr char kMediaSection[] = "Source Media Descriptions";

// List sections, found in the setup text by their headers.
inline constexpr char kWindowsDirHeader[] = "[WindowsDir]";
inline constexpr char kSystemDirHeader[] = "[SystemDir]";
inline constexpr char kDriverAddRegHeader[] = "[Driver.AddReg]";

// The copy lists, in the order the copy phase works through them.
enum CopyTarget { kToWindowsDir, kToSystemDir };

struct CopyListSection {
    const char* header;
    CopyTarget target;
};

inline constexpr CopyListSection kCopyLists[] = {
    {kWindowsDirHeader, kToWindowsDir},
    {kSystemDirHeader, kToSystemDir},
};

// The values written on each instance key of the adapter.
inline constexpr char kDeviceDescValue[] = "DeviceDesc";
inline constexpr char kMfgValue[] = "Mfg";

// The edits of the Windows directory's ini files, in the order the program
// makes them. The files are named without a folder: the profile functions
// then take those of the Windows directory.
enum IniEditKind {
    kIniSetProductName,  // the key gets ProductName
    kIniAddLoadProgram,  // the load line gets the "load" program, unless it holds it
    kIniDeleteKey,
};

struct IniEdit {
    const char* file;
    const char* section;
    const char* key;
    IniEditKind change;
};

inline constexpr IniEdit kLoadLineEdit = {"win.ini", "windows", "load", kIniAddLoadProgram};

inline constexpr IniEdit kIniEdits[] = {
    {"system.ini", "boot.description", "display.drv", kIniSetProductName},
    kLoadLineEdit,
    {"system.ini", "DISPLAY", "RefreshProgramming", kIniDeleteKey},
};

// Whether the program makes the edit: the load line is edited only when
// setup.dat names a program for it.
inline bool IniEditIsMade(const IniEdit& edit, const char* loadProgram) {
    return edit.change != kIniAddLoadProgram || loadProgram[0] != '\0';
}

// "Can't find section: <header>", the error a missing list section gives.
// Returns false when it was cut to fit text (cchText characters).
bool FormatMissingSection(char* text, int cchText, const char* header);

#endif
