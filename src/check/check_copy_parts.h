// Shared by the parts that plan the copy lists: finding each listed file,
// its diskette's label and prompt, its installed name and target, and the
// progress bar's end.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "check_internal.h"
#include "install/copy_rules.h"

// What the lists share, each kept by name so that a look-up does not grow
// with the length of the lists.
struct CopyState {
    std::unique_ptr<DiskLabels> labels;
    std::set<std::string> checkedIds;
    std::map<std::string, int> targets;  // lower-case target, its first line
};

// Looks for the listed file, or its compressed name, on the folder in the
// drive first, then on the others; sets file->hostPath and file->diskette
// (-1 when no folder holds it) and *storedSize.
void LocateFile(const CheckInput& input, const std::string& listed, size_t drive,
                PlannedFile* file, long long* storedSize);

// Sets file->size and file->compressed from the found file's header, and
// *headerLetter to the last letter the header names (0 for none).
void ReadStoredFile(const std::string& path, long long storedSize, PlannedFile* file,
                    char* headerLetter);

// A ReadSetupStringFn over the SetFile in context: a keyed value of setup.dat
// as the program reads it on this host.
void ReadSetFileString(void* context, const char* section, const char* key,
                       const char* defaultText, char* buffer, int cchBuffer);

// Reports, once for each disk id, a missing label or one that is cut.
void CheckDiskId(Checker* checker, CopyState* state, const PlannedFile& file);

// The prompt for the diskette with that label, as the program shows it.
std::string Prompt(Checker* checker, const PlannedFile& file, const char* label);

// Reports names that the expansion and the stored file disagree on.
void CheckStoredName(Checker* checker, const PlannedFile& file, char headerLetter);

// Reports a target that an earlier line installs too, and an inf folder
// below the System folder.
void CheckTarget(Checker* checker, CopyState* state, const PlannedFile& file);

// Reports a DriverInf that no listed file is installed as.
void CheckDriverInf(Checker* checker);

// The bytes the copy counts, the bar's end, and the SizeInKB that ends it at
// 100 or nearest to it.
void PlanProgress(Checker* checker);
