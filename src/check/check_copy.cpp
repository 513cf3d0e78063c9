// The copy lists of a set: each listed file found on the set's folders as the
// LZ library would open it, its installed name and place by the program's
// own rules, the diskette prompts, and the progress bar's end.
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "check_host.h"
#include "check_internal.h"
#include "install/copy_progress.h"
#include "install/copy_rules.h"
#include "install/installed_name.h"
#include "profile_text.h"
#include "setupinfo/setup_sizes.h"
#include "setupinfo/setup_vocabulary.h"
#include "setupinfo/text.h"

namespace {

struct ListWalk {
    const char* header;
    const std::string* targetDir;
    const char* folder;
    std::string label;  // the label of the list's previous prompt
    size_t drive;       // the set folder in the drive
};

// What the lists share, each kept by name so that a look-up does not grow
// with the length of the lists.
struct CopyState {
    const SetFile* set;
    std::unique_ptr<DiskLabels> labels;
    std::set<std::string> checkedIds;
    std::map<std::string, std::pair<bool, std::string>> keyed;  // present, value
    std::map<std::string, int> targets;  // lower-case target, its first line
};

// A keyed value of setup.dat as the program reads it on this host, each read
// once: the lists name many files of few disk ids.
void ReadKeyedOnce(void* context, const char* section, const char* key, const char* defaultText,
                   char* buffer, int cchBuffer) {
    CopyState* state = (CopyState*)context;
    std::string name = std::string(section) + '\n' + key + '\n' + std::to_string(cchBuffer);
    auto known = state->keyed.find(name);
    if (known == state->keyed.end()) {
        std::pair<bool, std::string> read;
        read.first = ReadSetupValue(state->set->path, state->set->raw, section, key, cchBuffer,
                                    &read.second);
        known = state->keyed.emplace(name, read).first;
    }
    TextCopy(buffer, cchBuffer, known->second.first ? known->second.second.c_str() : defaultText);
}

bool SameName(const char* a, const char* b) { return TextEqualNoCaseAscii(a, b); }

// The name LZOpenFileA tries when the listed one is missing: after the first
// '.' of the file name, the last character becomes '_' (a text shorter than
// three gets a '_' appended); a name without '.' gets "._".
std::string CompressedAlternative(const std::string& name) {
    size_t base = name.find_last_of("\\/");
    base = base == std::string::npos ? 0 : base + 1;
    size_t dot = name.find('.', base);
    if (dot == std::string::npos)
        return name + "._";
    if (name.size() - dot - 1 < 3)
        return name + "_";
    std::string alternative = name;
    alternative.back() = '_';
    return alternative;
}

// Size after expansion from a compressed file's header, or the file's own
// size, which the host gave when it found the file. Only the header is read.
void ReadStoredFile(const std::string& path, long long storedSize, PlannedFile* file,
                    char* headerLetter) {
    *headerLetter = 0;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return;
    setvbuf(f, nullptr, _IONBF, 0);
    unsigned char header[14] = {0};
    size_t got = fread(header, 1, sizeof header, f);
    fclose(f);
    file->size = storedSize;
    static const unsigned char kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    if (got == sizeof header && memcmp(header, kMagic, sizeof kMagic) == 0) {
        file->compressed = true;
        *headerLetter = (char)header[9];
        file->size = (long long)header[10] | (long long)header[11] << 8 |
                     (long long)header[12] << 16 | (long long)header[13] << 24;
    }
}

// Looks for the file on the folder in the drive first, then on the others.
void LocateFile(const CheckInput& input, const std::string& listed, size_t drive,
                PlannedFile* file, long long* storedSize) {
    file->diskette = -1;
    for (size_t n = 0; n < input.folders.size(); n++) {
        size_t i = n == 0 ? drive : (n <= drive ? n - 1 : n);
        std::string path = FindSetFile(input.folders[i], listed, storedSize);
        if (path.empty())
            path = FindSetFile(input.folders[i], CompressedAlternative(listed), storedSize);
        if (!path.empty()) {
            file->hostPath = path;
            file->diskette = (int)i;
            return;
        }
    }
}

struct SkipText {
    CopyLineResult result;
    Severity severity;
    const char* text;
};

const SkipText kSkipTexts[] = {
    {kCopyLineNameTooLong, kError, "the file name is longer than 255 characters: the line is skipped"},
    {kCopyLineNoName, kWarning, "the line names no file: it is skipped"},
    {kCopyLineNoDirectory, kError, "the source or target folder is not known: the line is skipped"},
    {kCopyLineSourceTooLong, kError,
     "the source path is longer than 127 characters, the LZ library's limit: the file is skipped"},
    {kCopyLineNoInstalledName, kError,
     "the name leaves no file name once its folders are taken off: the line is skipped"},
    {kCopyLineNoInfName, kError,
     "this is the driver INF (DriverInf), but OemsetupInf names no file: it is not installed"},
    {kCopyLineTargetTooLong, kError,
     "the target path is longer than 127 characters, the LZ library's limit: the file is skipped"},
};

void ReportSkippedLine(Checker* checker, CopyLineResult result, const SectionLine& line) {
    for (const SkipText& skip : kSkipTexts) {
        if (skip.result == result)
            AddFinding(checker, skip.severity, line.line,
                       Format("\"%s\": %s", Shown(line.text).c_str(), skip.text));
    }
}

// The prompt shown for a file that is not on the diskette in the drive.
std::string Prompt(Checker* checker, const PlannedFile& file, const char* label) {
    char text[kPathSize];
    if (!FormatDiskPrompt(text, sizeof text, label, checker->input->sourceDir.c_str()))
        AddFinding(checker, kWarning, file.line,
                   Format("the diskette prompt for this file is cut to %d characters: the label "
                          "is too long", kPathSize - 1));
    return text;
}

// Each disk id once: whether it has a label, and whether that fits.
void CheckDiskId(Checker* checker, CopyState* state, const PlannedFile& file) {
    if (!state->checkedIds.insert(file.diskId).second)
        return;
    const SetFile& set = checker->set;
    char label[kPathSize];
    int line = 0;
    int length = ReadProfileText(set.raw.data(), (long)set.raw.size(), kMediaSection,
                                 file.diskId.c_str(), label, sizeof label, &line);
    if (length > kPathSize - 1)
        AddFinding(checker, kWarning, line,
                   Format("the label of disk id \"%s\" is cut to %d characters",
                          file.diskId.c_str(), kPathSize - 1));
    if (length < 0)
        AddFinding(checker, kWarning, file.line,
                   Format("disk id \"%s\" has no label in [%s]: a prompt for its files shows "
                          "the label of the list's previous prompt, or none",
                          file.diskId.c_str(), kMediaSection));
}

// The stored extensions that CompressedNameTable restores, as a list.
std::string RestoredExtensions() {
    std::string list;
    for (const CompressedName& row : CompressedNameTable)
        list += std::string(list.empty() ? "" : " ") + row.storedExtension;
    return list;
}

// Names that the expansion and the stored file disagree on.
void CheckStoredName(Checker* checker, const PlannedFile& file, char headerLetter) {
    std::string stored = file.listed.substr(file.listed.find_last_of("\\/") + 1);
    bool renamed = !TextEqualNoCaseAscii(stored.c_str(), file.installed.c_str());
    // Below 16 bytes the SZDD compressor of Debian's mscompress writes data
    // that expands to other bytes; the program copies an uncompressed file as
    // it is, whatever its name.
    if (file.compressed && file.size < 16)
        AddFinding(checker, kWarning, file.line,
                   Format("%s is compressed but expands to only %lld bytes: compressors may "
                          "write files under 16 bytes wrongly; store it as it is",
                          stored.c_str(), file.size));
    if (file.folder == "inf")
        return;
    char last = file.installed.empty() ? 0 : file.installed.back();
    if (file.compressed && !renamed && last == '_')
        AddFinding(checker, kWarning, file.line,
                   Format("%s is compressed, but the program restores only the extensions "
                          "%s: it is installed expanded as %s",
                          stored.c_str(), RestoredExtensions().c_str(), file.installed.c_str()));
    else if (file.compressed && renamed && headerLetter > ' ' &&
             (headerLetter | 0x20) != (last | 0x20))
        AddFinding(checker, kWarning, file.line,
                   Format("the compressed header of %s names its last letter '%c', but the "
                          "program installs it as %s", stored.c_str(), headerLetter,
                          file.installed.c_str()));
    else if (!file.compressed && renamed && file.hostPath.size() >= stored.size() &&
             TextEqualNoCaseAscii(file.hostPath.c_str() + file.hostPath.size() - stored.size(),
                                  stored.c_str()))
        AddFinding(checker, kWarning, file.line,
                   Format("%s is not compressed: it is copied as it is under the name %s",
                          stored.c_str(), file.installed.c_str()));
}

void CheckTarget(Checker* checker, CopyState* state, const PlannedFile& file) {
    std::string key = file.target;
    TextLowerAscii(&key[0]);
    auto seen = state->targets.find(key);
    if (seen != state->targets.end()) {
        AddFinding(checker, kWarning, file.line,
                   Format("%s is also installed by line %d: this copy overwrites it",
                          file.target.c_str(), seen->second));
        return;
    }
    state->targets[key] = file.line;
    if (file.folder == "inf" && file.list == kSystemDirHeader)
        AddFinding(checker, kWarning, file.line,
                   "the driver INF goes to the inf folder below the System folder, which a "
                   "usual system does not have; the program creates no folders, so the copy "
                   "fails");
}

void PlanListedFile(Checker* checker, ListWalk* walk, CopyState* state,
                    const SectionLine& line) {
    CheckPlan* plan = checker->plan;
    CopyListNames names = {checker->input->sourceDir.c_str(), walk->targetDir->c_str(),
                           plan->driverInf.value.c_str(), plan->oemsetupInf.value.c_str(),
                           SameName};
    CopyLinePlan copy;
    CopyLineResult result = PlanCopyLine(line.text.c_str(), &names, &copy);
    if (result != kCopyLineFile)
        return ReportSkippedLine(checker, result, line);
    PlannedFile file = {walk->header, line.line, copy.diskId, "", copy.listedName,
                        copy.sourcePath, copy.targetName, copy.targetPath,
                        copy.driverInf ? "inf" : walk->folder, "", -1, false, -1, ""};
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

void CheckDriverInf(Checker* checker) {
    const CheckPlan& plan = *checker->plan;
    if (plan.driverInf.value.empty() || !plan.copyPhaseComplete)
        return;
    for (const PlannedFile& file : plan.files) {
        if (file.folder == "inf")
            return;
    }
    std::string hint;
    if (plan.driverInf.value.back() == '_')
        hint = " (it is compared with the name after expansion, e.g. x.ini for x.in_)";
    AddFinding(checker, kWarning, plan.driverInf.line,
               Format("no listed file is installed under the name %s \"%s\"%s: the "
                      "driver INF is not put into the inf folder",
                      kDriverInfKey, plan.driverInf.value.c_str(), hint.c_str()));
}

// The SizeInKB that ends the progress bar at 100, or the nearest one.
void PlanProgress(Checker* checker) {
    CheckPlan* plan = checker->plan;
    int copied = 0;
    for (const PlannedFile& file : plan->files) {
        if (file.diskette >= 0)
            copied = AddCopiedBytes(copied, file.size > kMaxInt32 ? kMaxInt32 : (int)file.size);
    }
    plan->copiedBytes = copied;
    plan->finalPosition = ProgressPercent(copied, (int)plan->expectedBytes);
    if (copied == 0)
        return;
    long long low = copied / 1000;
    auto position = [copied](long long kb) {
        return kb <= 0 ? 0 : ProgressPercent(copied, ExpectedBytesOfSize(kb));
    };
    long long best = low;
    if (low == 0 || (position(low) != 100 && 100 - position(low + 1) < position(low) - 100))
        best = low + 1;
    plan->sizeInKBFor100 = best;
    if (plan->sizeInKB.line > 0 && plan->expectedBytes == ExpectedBytesOfSize(best))
        return;
    AddFinding(checker, kWarning, plan->sizeInKB.line,
               Format("%s %s makes the progress bar end at %d%% for the %d bytes the "
                      "copy counts; %s=%lld ends it at %d%%", kSizeInKBKey,
                      plan->sizeInKB.line ? plan->sizeInKB.value.c_str() : "(none)",
                      plan->finalPosition, copied, kSizeInKBKey, best, position(best)));
}

}  // namespace

void PlanCopyLists(Checker* checker) {
    CheckPlan* plan = checker->plan;
    CopyState state;
    state.set = &checker->set;
    state.labels.reset(new DiskLabels);
    TakeDiskLabels(checker->set.text.data(), checker->set.length, ReadKeyedOnce, &state,
                   state.labels.get());
    plan->copyPhaseComplete = true;
    size_t drive = 0;
    for (const CopyListSection& list : kCopyLists) {
        bool windows = list.target == kToWindowsDir;
        ListWalk walk = {list.header, windows ? &checker->input->windowsDir
                                              : &checker->input->systemDir,
                         windows ? "Windows" : "System", "", 0};
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
