// The installed names and targets of the listed files: names that the
// expansion and the stored file disagree on, targets installed twice or into
// a missing folder, and a DriverInf that no file is installed as.
#include "base/text.h"
#include "check_copy_parts.h"
#include "install/installed_name.h"
#include "setupinfo/setup_vocabulary.h"
#include "tools_common/szdd_format.h"

namespace {

// The bit in which the two cases of an ASCII letter differ.
const char kCaseBit = 0x20;

// The stored extensions that CompressedNameTable restores, as a list.
std::string RestoredExtensions() {
    std::string list;
    for (const CompressedName& row : CompressedNameTable)
        list += std::string(list.empty() ? "" : " ") + row.storedExtension;
    return list;
}

}  // namespace

void CheckStoredName(Checker* checker, const PlannedFile& file, char headerLetter) {
    const LeadBytes& lead = checker->input->lead;
    const char* separator = FindLastSeparator(file.listed.c_str(), true, lead);
    std::string stored = separator ? separator + 1 : file.listed;
    bool renamed = !TextEqualNoCase(stored.c_str(), file.installed.c_str(), lead);
    // The program copies an uncompressed file as it is, whatever its name.
    if (file.compressed && file.size < kMinCompressedSize)
        AddFinding(checker, kWarning, file.line,
                   Format("%s is compressed but expands to only %lld bytes: compressors may "
                          "write files under %lld bytes wrongly; store it as it is",
                          stored.c_str(), file.size, kMinCompressedSize));
    if (file.folder == kInfFolder)
        return;
    char last = file.installed.empty() ? 0 : file.installed.back();
    if (file.compressed && !renamed && last == '_')
        AddFinding(checker, kWarning, file.line,
                   Format("%s is compressed, but the program restores only the extensions "
                          "%s: it is installed expanded as %s",
                          stored.c_str(), RestoredExtensions().c_str(), file.installed.c_str()));
    else if (file.compressed && renamed && headerLetter > ' ' &&
             (headerLetter | kCaseBit) != (last | kCaseBit))
        AddFinding(checker, kWarning, file.line,
                   Format("the compressed header of %s names its last letter '%c', but the "
                          "program installs it as %s", stored.c_str(), headerLetter,
                          file.installed.c_str()));
    else if (!file.compressed && renamed && file.hostPath.size() >= stored.size() &&
             TextEqualNoCase(file.hostPath.c_str() + file.hostPath.size() - stored.size(),
                             stored.c_str(), lead))
        AddFinding(checker, kWarning, file.line,
                   Format("%s is not compressed: it is copied as it is under the name %s",
                          stored.c_str(), file.installed.c_str()));
}

void CheckTarget(Checker* checker, CopyState* state, const PlannedFile& file) {
    std::string key = file.target;
    TextLowerCase(&key[0], checker->input->lead);
    auto seen = state->targets.find(key);
    if (seen != state->targets.end()) {
        AddFinding(checker, kWarning, file.line,
                   Format("%s is also installed by line %d: this copy overwrites it",
                          file.target.c_str(), seen->second));
        return;
    }
    state->targets[key] = file.line;
    if (file.folder == kInfFolder && file.list == kSystemDirHeader)
        AddFinding(checker, kWarning, file.line,
                   "the driver INF goes to the inf folder below the System folder, which a "
                   "usual system does not have; the program creates no folders, so the copy "
                   "fails");
}

void CheckDriverInf(Checker* checker) {
    const CheckPlan& plan = *checker->plan;
    if (plan.driverInf.value.empty() || !plan.copyPhaseComplete)
        return;
    for (const PlannedFile& file : plan.files) {
        if (file.folder == kInfFolder)
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
