// The files of a model: its copy sections, their destination folders and the
// diskettes [SourceDisksNames] and [SourceDisksFiles] put them on.
#include <algorithm>
#include <cstring>

#include "base/text.h"
#include "driver_parts.h"
#include "install/copy_rules.h"
#include "make_strings.h"
#include "tools_common/tool_dirs.h"

namespace {

// The digits a disk id may have: any long holds the number.
const size_t kMaxDiskIdDigits = 9;

// setup.dat's disk ids are one character, 1 to 9.
const size_t kMaxDiskettes = 9;

// The INF's numbers of the Windows and the System folder.
const char kInfWindowsDir[] = "10";
const char kInfSystemDir[] = "11";

// The fields of a copy section's line: "destination[,source[,temporary[,flags]]]".
enum CopyLineField {
    kCopyDestinationField,
    kCopySourceField,
    kCopyTemporaryField,
    kCopyFlagsField
};

// A disk id as a number: digits only, at most kMaxDiskIdDigits; -1 otherwise.
long DiskNumber(const std::string& id) {
    if (id.empty() || id.size() > kMaxDiskIdDigits ||
        id.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stol(id);
}

int DisketteOf(const IntentBuild* build, const std::string& id) {
    long number = DiskNumber(id);
    const std::vector<IntentDisk>& disks = build->intent->disks;
    for (size_t i = 0; number >= 0 && i < disks.size(); i++) {
        if (DiskNumber(disks[i].id) == number)
            return (int)i;
    }
    return -1;
}

// The folder a copy section goes to: its line of [DestinationDirs], else
// DefaultDestDir. Returns -1, reported, for any folder but the Windows and
// System folders themselves.
int DestinationOf(IntentBuild* build, const std::string& section, int line) {
    const InfSection* dirs = FindInfSection(*build->inf, "DestinationDirs");
    const LeadBytes& lead = build->inf->lead;
    const InfLine* dir = section.empty() ? nullptr : FindInfKey(dirs, section, lead);
    dir = dir ? dir : FindInfKey(dirs, "DefaultDestDir", lead);
    std::string what = section.empty() ? "the files named with @" : "[" + section + "]";
    if (!dir) {
        build->findings->Error(line, "[DestinationDirs] names no folder for " + what +
                                         " and has no DefaultDestDir: its files are not installed");
        return -1;
    }
    bool sub = dir->fields.size() > 1 && !dir->fields[1].empty();
    if (!sub && dir->fields[0] == kInfWindowsDir)
        return kToWindowsDir;
    if (!sub && dir->fields[0] == kInfSystemDir)
        return kToSystemDir;
    std::string named = dir->fields[0] + (sub ? "," + dir->fields[1] : "");
    build->findings->Error(dir->line, "destination " + named + " of " + what + " is not the "
                                      "Windows (" + kInfWindowsDir + ") or System (" +
                                      kInfSystemDir + ") folder itself, the only ones "
                                      "setup.dat copies to: its files are not installed");
    return -1;
}

void AddFile(IntentBuild* build, const std::string& name, int target, int line) {
    const CodePage& page = *build->intent->codePage;
    if (target < 0 || !CheckFileName(name, (CopyTarget)target, false, line, build->findings, page))
        return;
    const InfLine* where =
        FindInfKey(FindInfSection(*build->inf, "SourceDisksFiles"), name, page.lead);
    int diskette = where ? DisketteOf(build, where->fields[0]) : -1;
    if (!where)
        build->findings->Error(line, name + " is not in [SourceDisksFiles]: no diskette holds it");
    else if (diskette < 0)
        build->findings->Error(where->line, "disk id " + Quoted(where->fields[0]) + " of " + name +
                                                " is not in [SourceDisksNames]");
    if (diskette < 0)
        return;
    for (const IntentFile& file : build->intent->files) {
        if (file.target == target && StringsEqualNoCase(file.name, name, page.lead))
            return;  // installed once: the same end as twice
    }
    build->intent->files.push_back(
        {name, (CopyTarget)target, diskette, false, build->findings->file, line, -1});
}

// setup.exe installs a file under its own name, always.
void AddCopyLine(IntentBuild* build, const InfLine& line, int target) {
    const std::vector<std::string>& f = line.fields;
    if (line.hasKey) {
        build->findings->Error(line.line, "an '=' outside quotes makes this copy line a key: "
                                          "it is not read");
        return;
    }
    const std::string& destination = f[kCopyDestinationField];
    if (f.size() > kCopySourceField && !f[kCopySourceField].empty() &&
        !StringsEqualNoCase(f[kCopySourceField], destination, build->inf->lead)) {
        build->findings->Error(line.line, f[kCopySourceField] + " is installed as " + destination +
                                          ": setup.dat installs each file under its own name only");
        return;
    }
    if (f.size() > kCopyFlagsField && !f[kCopyFlagsField].empty() && f[kCopyFlagsField] != "0")
        build->findings->Warning(line.line, "copy flags " + f[kCopyFlagsField] + " are not "
                                            "expressed: setup.exe copies the file in every case");
    AddFile(build, destination, target, line.line);
}

}  // namespace

void ReadSourceDisks(IntentBuild* build) {
    const InfSection* names = FindInfSection(*build->inf, "SourceDisksNames");
    if (!names) {
        build->findings->Error(0, "no [SourceDisksNames]: the INF names no diskette");
        return;
    }
    std::vector<IntentDisk>& disks = build->intent->disks;
    for (const InfLine& line : names->lines) {
        if (DiskNumber(line.key) < 0)
            build->findings->Error(line.line, "disk id " + Quoted(line.key) + " is not a number");
        else if (DisketteOf(build, line.key) >= 0)
            build->findings->Warning(line.line, "disk id " + line.key + " is named again: "
                                                "the first line counts");
        else
            disks.push_back({line.key, line.fields[0], line.line});
    }
    std::stable_sort(disks.begin(), disks.end(), [](const IntentDisk& a, const IntentDisk& b) {
        return DiskNumber(a.id) < DiskNumber(b.id);
    });
    if (disks.size() > kMaxDiskettes)
        build->findings->Error(disks[kMaxDiskettes].line,
                               "setup.dat's disk ids are one character: a set has at most " +
                                   std::to_string(kMaxDiskettes) + " diskettes");
    if (disks.empty())
        build->findings->Error(names->line, "[SourceDisksNames] names no diskette");
}

// Whether name holds any of the single-byte characters of set, walked by
// characters: a '\\', '[' or '|' that is a second byte is none of them.
static bool HoldsAnyOf(const std::string& name, const char* set, const LeadBytes& lead) {
    for (const char* p = name.c_str(); *p; p += CharSizeOf(p, lead)) {
        if (strchr(set, *p))
            return true;
    }
    return false;
}

bool CheckFileName(const std::string& name, CopyTarget target, bool driverInf, int line,
                   FindingSink* findings, const CodePage& page) {
    std::string problem;
    CopyListNames names = {kUsualSourceDir,
                           target == kToWindowsDir ? kUsualWindowsDir : kUsualSystemDir, "", "",
                           TextEqualNoCase, &page.lead};
    CopyLinePlan plan;
    CopyLineResult result = PlanCopyLine(("1," + name).c_str(), &names, &plan);
    std::string prefix = result == kCopyLineTargetTooLong ? names.targetDir + std::string("\\")
                                                          : kUsualSourceDir + std::string("\\");
    if (name.empty())
        problem = "names no file";
    else if (HoldsAnyOf(name, "\\/:*?\"<>|", page.lead))
        problem = "is not a file name: it holds one of \\ / : * ? \" < > |";
    else if (HoldsAnyOf(name, ", \t;[", page.lead))
        problem = "cannot stand in setup.dat's copy lists, which end a name at a comma, space "
                  "or tab, and in which a ';' or '[' cuts the list";
    else if (result == kCopyLineNameTooLong || result == kCopyLineSourceTooLong ||
             (result == kCopyLineTargetTooLong && !driverInf))
        problem = "is too long: " + prefix + name + " has " +
                  std::to_string(prefix.size() + name.size()) +
                  " characters, and setup.exe opens files by paths of at most " +
                  std::to_string(kLzPathSize - 1);
    else if (!driverInf &&
             (result != kCopyLineFile || !StringsEqualNoCase(plan.targetName, name, page.lead)))
        problem = std::string("is installed by setup.exe as ") +
                  (plan.targetName[0] ? Quoted(plan.targetName) : "nothing") +
                  ": it restores the extension of a compressed name";
    if (!problem.empty())
        findings->Error(line, Quoted(name) + " " + problem);
    return problem.empty();
}

void AddCopyFiles(IntentBuild* build, const InfLine& directive) {
    for (const std::string& name : directive.fields) {
        if (name.empty())
            continue;
        if (name[0] == '@') {
            AddFile(build, name.substr(1), DestinationOf(build, "", directive.line),
                    directive.line);
            continue;
        }
        const InfSection* section = FindInfSection(*build->inf, name);
        if (!section) {
            build->findings->Error(directive.line, "no section [" + name + "] for CopyFiles: "
                                                   "its files would not be installed");
            continue;
        }
        int target = DestinationOf(build, section->name, directive.line);
        for (const InfLine& line : section->lines)
            AddCopyLine(build, line, target);
    }
}
