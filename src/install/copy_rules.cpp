#include "copy_rules.h"

#include "base/text.h"
#include "installed_name.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_text.h"
#include "setupinfo/setup_vocabulary.h"

static const char kInsertDiskFormat[] = "Please insert the diskette labeled %s into %c:";

static bool ComposePath(char* path, const char* format, const char* dir, const char* name) {
    return TextFormat(path, kLzPathSize, format, dir, name);
}

CopyLineResult PlanCopyLine(const char* line, const CopyListNames* names, CopyLinePlan* plan) {
    plan->sourcePath[0] = plan->targetName[0] = plan->targetPath[0] = '\0';
    plan->driverInf = false;
    if (!SplitCopyLine(line, plan->diskId, plan->listedName, sizeof plan->listedName))
        return kCopyLineNameTooLong;
    if (plan->listedName[0] == '\0')
        return kCopyLineNoName;
    if (names->sourceDir[0] == '\0' || names->targetDir[0] == '\0')
        return kCopyLineNoDirectory;
    if (!ComposePath(plan->sourcePath, "%s\\%s", names->sourceDir, plan->listedName))
        return kCopyLineSourceTooLong;
    if (!MakeInstalledName(plan->listedName, plan->targetName, sizeof plan->targetName,
                           *names->lead))
        return kCopyLineNoInstalledName;
    const char* format = "%s\\%s";
    if (names->sameName(plan->targetName, names->driverInf, *names->lead)) {
        plan->driverInf = true;
        if (!MakeInfName(names->oemsetupInf, plan->targetName, sizeof plan->targetName,
                         *names->lead))
            return kCopyLineNoInfName;
        format = "%s\\inf\\%s";
    }
    if (!ComposePath(plan->targetPath, format, names->targetDir, plan->targetName))
        return kCopyLineTargetTooLong;
    return kCopyLineFile;
}

// What the profile functions give for an absent description: a value never
// holds a line feed.
static const char kNoDescription[] = "\n";

static int DiskIdSlot(const char* diskId) { return (unsigned char)diskId[0]; }

void TakeDiskLabels(const unsigned char* text, long length, const LeadBytes& lead,
                    ReadSetupStringFn read, void* context, DiskLabels* labels) {
    bool taken[kDiskIdCount];
    ZeroBytes(taken, sizeof taken);
    ZeroBytes(labels->described, sizeof labels->described);
    char line[kSectionLineSize];
    char diskId[2];
    char name[kCopyNameSize];
    for (const CopyListSection& list : kCopyLists) {
        long position = FindSection(text, length, list.header, lead);
        while (position >= 0 && ReadSectionLine(text, length, line, &position, lead)) {
            if (IsBlankLine(line))
                continue;
            SplitCopyLine(line, diskId, name, sizeof name);
            int slot = DiskIdSlot(diskId);
            if (taken[slot])
                continue;
            taken[slot] = true;
            read(context, kMediaSection, diskId, kNoDescription, labels->text[slot], kPathSize);
            labels->described[slot] = !TextEqual(labels->text[slot], kNoDescription);
        }
    }
}

void ApplyDiskLabel(const DiskLabels* labels, const char* diskId, char* label, int cchLabel) {
    int slot = DiskIdSlot(diskId);
    if (labels->described[slot])
        TextCopy(label, cchLabel, labels->text[slot]);
}

bool FormatDiskPrompt(char* text, int cchText, const char* label, const char* sourceDir) {
    return TextFormat(text, cchText, kInsertDiskFormat, label, sourceDir[0]);
}
