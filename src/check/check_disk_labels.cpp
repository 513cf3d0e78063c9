// The diskettes of the copy lists: the label of each disk id, read once, and
// the prompt that shows it.
#include "check_copy_parts.h"
#include "check_host.h"
#include "profile_text.h"
#include "setupinfo/setup_sizes.h"
#include "setupinfo/setup_vocabulary.h"
#include "setupinfo/text.h"

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
