// The diskettes of the copy lists: the label of each disk id and the prompt
// that shows it.
#include "base/text.h"
#include "check_copy_parts.h"
#include "check_host.h"
#include "profile_text.h"
#include "setupinfo/setup_sizes.h"
#include "setupinfo/setup_vocabulary.h"

void ReadSetFileString(void* context, const char* section, const char* key,
                       const char* defaultText, char* buffer, int cchBuffer) {
    const SetFile* set = (const SetFile*)context;
    std::string value;
    bool present = ReadSetupValue(set->path, set->raw, section, key, cchBuffer, &value, set->lead);
    TextCopy(buffer, cchBuffer, present ? value.c_str() : defaultText);
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
                                 file.diskId.c_str(), label, sizeof label, &line, set.lead);
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
