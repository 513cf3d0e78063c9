// The plan of a distribution set: what setup.exe will do with it, worked out
// with the program's own rules, and what in the set looks wrong.
#pragma once

#include <string>
#include <vector>

#include "base/code_page.h"
#include "setupinfo/setup_vocabulary.h"
#include "tools_common/findings.h"

// The folders a file goes to, as PlannedFile::folder names them: the
// Windows folder, the System folder, and the inf folder below the list's
// folder, where the driver INF goes.
const char kWindowsFolder[] = "Windows";
const char kSystemFolder[] = "System";
const char kInfFolder[] = "inf";

// One line of [WindowsDir] or [SystemDir] that names a file to copy.
struct PlannedFile {
    std::string list;  // the list's header
    int line;
    std::string diskId;
    std::string label;  // the label a diskette prompt for it would show
    std::string listed;
    std::string source;     // as the program opens it
    std::string installed;  // installed name
    std::string target;
    std::string folder;  // kWindowsFolder, kSystemFolder or kInfFolder
    std::string hostPath;  // where the checker found it; empty when missing
    int diskette;          // index of the set folder that holds it, -1 when none does
    bool compressed;
    long long size;  // size after expansion, -1 when missing
    std::string prompt;  // the prompt shown first when the file is not on the first folder
};

// One registry line as the program applies it.
struct PlannedRegLine {
    int line;
    std::string root;
    int count;
    std::string base;               // base key, empty for a root that is ignored
    std::vector<std::string> keys;  // each key opened on the path, cumulative
    bool stores;
    std::string valueName;
    std::string value;
};

struct IniChange {
    std::string file, section, key;
    IniEditKind change;
    std::string value;  // what the key gets or the load line takes; empty for a delete
};

struct KeyedValue {
    std::string value;
    int line;  // 0 when absent
};

struct CheckPlan {
    std::string setupDat;  // host path
    int codePage;          // the code page setup.dat was read in
    std::string sourceDir, windowsDir, systemDir;
    KeyedValue productName, loadProgram, driverInf, oemsetupInf, vender, mfg, sizeInKB;
    long long expectedBytes;
    std::vector<PlannedFile> files;
    bool copyPhaseComplete;  // both lists were found
    std::string deviceKey;   // empty when no adapter can be registered
    bool registryApplied;    // [Driver.AddReg] is applied to each adapter instance
    std::vector<PlannedRegLine> regLines;
    std::vector<IniChange> ini;
    long long copiedBytes;   // after both lists, when every file is found
    int finalPosition;       // of the progress bar
    long long sizeInKBFor100;  // -1 when no file is copied
    std::vector<Finding> findings;  // each with its line of setup.dat
};

// Where the set is and where it would be installed.
struct CheckInput {
    std::vector<std::string> folders;  // the set's folders: the first holds setup.dat
    std::string sourceDir;             // the program's start directory, e.g. "A:"
    std::string windowsDir;
    std::string systemDir;
    LeadBytes lead;                    // of the code page setup.dat is written in
    int codePage;                      // its number, as code_pages.h knows it
};

// Builds the plan. Returns false, with a message in *error, when setup.dat
// cannot be read at all.
bool BuildCheckPlan(const CheckInput& input, CheckPlan* plan, std::string* error);

// The plan as text for people, and as JSON for build pipelines.
std::string FormatPlanText(const CheckPlan& plan);
std::string FormatPlanJson(const CheckPlan& plan);
