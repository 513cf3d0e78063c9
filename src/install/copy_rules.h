// What the copy phase makes of one line of a copy list: which file it opens,
// under which name and where it installs it, and the diskette prompt. The
// program and the distribution checker both decide it here.
#pragma once

#include "base/code_page.h"
#include "setupinfo/setup_sizes.h"

const int kCopyNameSize = 256;

// The LZ library opens files through OpenFile, whose OFSTRUCT holds a path of
// at most 127 characters: a longer source could never be opened however often
// the diskette was inserted. Target paths are held to the same limit, which
// driver sets are made and checked for.
const int kLzPathSize = 128;

// Names compared for the driver INF: the platform's case-insensitive compare
// in the program, an ASCII one where there is no platform.
typedef bool (*NameEqualFn)(const char* a, const char* b, const LeadBytes& lead);

// The directories and names that hold for a whole list.
struct CopyListNames {
    const char* sourceDir;    // no trailing backslash
    const char* targetDir;
    const char* driverInf;    // "DriverInf": the INF's name after expansion
    const char* oemsetupInf;  // "OemsetupInf": its name in the inf folder
    NameEqualFn sameName;
    const LeadBytes* lead;    // the code page of setup.dat
};

struct CopyLinePlan {
    char diskId[2];
    char listedName[kCopyNameSize];
    char sourcePath[kLzPathSize];
    char targetName[kCopyNameSize];
    char targetPath[kLzPathSize];
    bool driverInf;  // installed under OemsetupInf into targetDir\inf
};

enum CopyLineResult {
    kCopyLineFile,             // a file to copy, as the plan says
    kCopyLineNameTooLong,      // the listed name is longer than 255 characters
    kCopyLineNoName,           // the line names no file
    kCopyLineNoDirectory,      // the source or target directory is not known
    kCopyLineSourceTooLong,    // the source path passes 127 characters
    kCopyLineNoInstalledName,  // nothing is left after the directory: "", "." or ".."
    kCopyLineNoInfName,        // the driver INF, but OemsetupInf names no file
    kCopyLineTargetTooLong,    // the target path passes 127 characters
};

// Splits a copy-list line and composes both paths. Anything but kCopyLineFile
// means the line is skipped: a cut path would name another file.
CopyLineResult PlanCopyLine(const char* line, const CopyListNames* names, CopyLinePlan* plan);

// Reads a keyed value of setup.dat as the profile functions do: the value, cut
// to cchBuffer - 1 characters, or defaultText when the key is absent.
typedef void (*ReadSetupStringFn)(void* context, const char* section, const char* key,
                                  const char* defaultText, char* buffer, int cchBuffer);

const int kDiskIdCount = 256;

// The diskette labels of setup.dat by disk id: a slot for each character an
// id can be, slot 0 for the empty id. They are taken while the first diskette
// is in the drive: a later one holds no setup.dat, or another set's.
struct DiskLabels {
    bool described[kDiskIdCount];  // the id has a description in the media section
    char text[kDiskIdCount][kPathSize];
};

// Takes the description of every disk id named on the copy lists of the
// setup text, as read gives it now.
void TakeDiskLabels(const unsigned char* text, long length, const LeadBytes& lead,
                    ReadSetupStringFn read, void* context, DiskLabels* labels);

// The label of the diskette that holds the files of diskId: its description.
// A disk id without one keeps what label holds, the label of the list's
// previous prompt (empty at the first).
void ApplyDiskLabel(const DiskLabels* labels, const char* diskId, char* label, int cchLabel);

// "Please insert the diskette labeled <label> into <drive>:", the drive being
// the first character of the source directory. Returns false when cut.
bool FormatDiskPrompt(char* text, int cchText, const char* label, const char* sourceDir);
