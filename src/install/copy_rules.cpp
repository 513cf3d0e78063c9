#include "copy_rules.h"

#include "installed_name.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_vocabulary.h"
#include "setupinfo/text.h"

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
    if (!MakeInstalledName(plan->listedName, plan->targetName, sizeof plan->targetName))
        return kCopyLineNoInstalledName;
    const char* format = "%s\\%s";
    if (names->sameName(plan->targetName, names->driverInf)) {
        plan->driverInf = true;
        if (!MakeInfName(names->oemsetupInf, plan->targetName, sizeof plan->targetName))
            return kCopyLineNoInfName;
        format = "%s\\inf\\%s";
    }
    if (!ComposePath(plan->targetPath, format, names->targetDir, plan->targetName))
        return kCopyLineTargetTooLong;
    return kCopyLineFile;
}

// The label is its own default: that is how a missing description carries
// the previous prompt's label over.
void ReadDiskLabel(ReadSetupStringFn read, void* context, const char* diskId, char* label,
                   int cchLabel) {
    read(context, kMediaSection, diskId, label, label, cchLabel);
}

bool FormatDiskPrompt(char* text, int cchText, const char* label, const char* sourceDir) {
    return TextFormat(text, cchText, kInsertDiskFormat, label, sourceDir[0]);
}
