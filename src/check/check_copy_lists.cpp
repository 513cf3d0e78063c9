// The copy lists of a set: each line of [WindowsDir] and [SystemDir] planned
// by the program's own rules, in the order the copy phase takes them, with
// the diskette in the drive carried from file to file.
#include "base/text.h"
#include "check_copy_parts.h"
#include "install/copy_rules.h"
#include "setupinfo/setup_sizes.h"
#include "setupinfo/setup_vocabulary.h"

namespace {

struct ListWalk {
    const char* header;
    const std::string* targetDir;
    const char* folder;
    std::string label;  // the label of the list's previous prompt
    size_t drive;       // the set folder in the drive
};

struct SkipText {
    CopyLineResult result;
    Severity severity;
    const char* text;  // a %d in it stands for limit
    int limit;
};

const SkipText kSkipTexts[] = {
    {kCopyLineNameTooLong, kError, "the file name is longer than %d characters: the line is skipped",
     kCopyNameSize - 1},
    {kCopyLineNoName, kWarning, "the line names no file: it is skipped", 0},
    {kCopyLineNoDirectory, kError, "the source or target folder is not known: the line is skipped", 0},
    {kCopyLineSourceTooLong, kError,
     "the source path is longer than %d characters, the LZ library's limit: the file is skipped",
     kLzPathSize - 1},
    {kCopyLineNoInstalledName, kError,
     "the name leaves no file name once its folders are taken off: the line is skipped", 0},
    {kCopyLineNoInfName, kError,
     "this is the driver INF (DriverInf), but OemsetupInf names no file: it is not installed", 0},
    {kCopyLineTargetTooLong, kError,
     "the target path is longer than %d characters, the LZ library's limit: the file is skipped",
     kLzPathSize - 1},
};

void ReportSkippedLine(Checker* checker, CopyLineResult result, const SectionLine& line) {
    for (const SkipText& skip : kSkipTexts) {
        if (skip.result == result)
            AddFinding(checker, skip.severity, line.line,
                       Format("\"%s\": %s", Shown(line.text).c_str(),
                              Format(skip.text, skip.limit).c_str()));
    }
}

void PlanListedFile(Checker* checker, ListWalk* walk, CopyState* state,
                    const SectionLine& line) {
    CheckPlan* plan = checker->plan;
    CopyListNames names = {checker->input->sourceDir.c_str(), walk->targetDir->c_str(),
                           plan->driverInf.value.c_str(), plan->oemsetupInf.value.c_str(),
                           TextEqualNoCase, &checker->input->lead};
    CopyLinePlan copy;
    CopyLineResult result = PlanCopyLine(line.text.c_str(), &names, &copy);
    if (result != kCopyLineFile)
        return ReportSkippedLine(checker, result, line);
    PlannedFile file = {walk->header, line.line, copy.diskId, "", copy.listedName,
                        copy.sourcePath, copy.targetName, copy.targetPath,
                        copy.driverInf ? kInfFolder : walk->folder, "", -1, false, -1, ""};
    if (file.listed.find('\n') != std::string::npos)
        AddFinding(checker, kError, line.line,
                   "the line ends in a line feed without a carriage return: the line feed "
                   "becomes part of the file name, which no diskette holds");
    CheckDiskId(checker, state, file);
    long long storedSize = -1;
    LocateFile(*checker->input, file.listed, walk->drive, &file, &storedSize);
    char label[kPathSize];
    TextCopy(label, sizeof label, walk->label.c_str());
    ApplyDiskLabel(state->labels.get(), file.diskId.c_str(), label, sizeof label);
    file.label = label;
    if (file.diskette != (int)walk->drive) {
        walk->label = label;
        file.prompt = Prompt(checker, file, label);
    }
    char headerLetter = 0;
    if (file.diskette < 0) {
        AddFinding(checker, kError, line.line,
                   Format("%s is not in the set: setup.exe asks \"%s\" until the user "
                          "cancels, which skips the rest of %s", file.listed.c_str(),
                          file.prompt.c_str(), walk->header));
    } else {
        walk->drive = (size_t)file.diskette;
        ReadStoredFile(file.hostPath, storedSize, &file, &headerLetter);
        CheckStoredName(checker, file, headerLetter);
    }
    CheckTarget(checker, state, file);
    plan->files.push_back(file);
}

}  // namespace

void PlanCopyLists(Checker* checker) {
    CheckPlan* plan = checker->plan;
    CopyState state;
    state.labels.reset(new DiskLabels);
    TakeDiskLabels(checker->set.text.data(), checker->set.length, checker->input->lead,
                   ReadSetFileString, &checker->set, state.labels.get());
    plan->copyPhaseComplete = true;
    size_t drive = 0;
    for (const CopyListSection& list : kCopyLists) {
        bool windows = list.target == kToWindowsDir;
        ListWalk walk = {list.header, windows ? &checker->input->windowsDir
                                              : &checker->input->systemDir,
                         windows ? kWindowsFolder : kSystemFolder, "", 0};
        long position = FindListSection(checker, walk.header, kError);
        if (position < 0) {
            plan->copyPhaseComplete = false;
            break;
        }
        walk.drive = drive;
        for (const SectionLine& line : ReadListSection(checker, walk.header, position))
            PlanListedFile(checker, &walk, &state, line);
        drive = walk.drive;
    }
    CheckDriverInf(checker);
    PlanProgress(checker);
}
