// The keyed values of setup.dat that the plan shows, read as the program
// reads them, with what is wrong about their length or their text.
#include "check_host.h"
#include "check_internal.h"
#include "profile_text.h"
#include "setupinfo/setup_sizes.h"
#include "setupinfo/setup_vocabulary.h"

namespace {

struct KeyedRead {
    const char* section;
    const char* key;
    int cchBuffer;
    KeyedValue CheckPlan::*field;
};

const KeyedRead kKeyedReads[] = {
    {kProductSection, kProductNameKey, kProductNameSize, &CheckPlan::productName},
    {kProductSection, kLoadKey, kLoadProgramSize, &CheckPlan::loadProgram},
    {kProductSection, kDriverInfKey, kPathSize, &CheckPlan::driverInf},
    {kProductSection, kOemsetupInfKey, kPathSize, &CheckPlan::oemsetupInf},
    {kEnumPciSection, kVenderKey, kPathSize, &CheckPlan::vender},
    {kEnumPciSection, kMfgKey, kPathSize, &CheckPlan::mfg},
    {kDiskSpaceSection, kSizeInKBKey, kPathSize, &CheckPlan::sizeInKB},
};

void PlanKeyedValue(Checker* checker, const KeyedRead& read) {
    const SetFile& set = checker->set;
    KeyedValue* value = &(checker->plan->*read.field);
    std::string full(4096, '\0');
    int line = 0;
    int length = ReadProfileText(set.raw.data(), (long)set.raw.size(), read.section, read.key,
                                 &full[0], (int)full.size(), &line, set.lead);
    if (!ReadSetupValue(set.path, set.raw, read.section, read.key, read.cchBuffer,
                        &value->value, set.lead))
        return;
    value->line = line > 0 ? line : 0;
    // A cut product or maker name only shows shorter; any other cut value
    // names another program, file or key.
    if (length > read.cchBuffer - 1) {
        bool isLoad = read.field == &CheckPlan::loadProgram;
        bool isText = read.field == &CheckPlan::productName || read.field == &CheckPlan::mfg;
        AddFinding(checker, isText ? kWarning : kError, value->line,
                   Format("\"%s\" is %d characters long; the program reads only %d: \"%s\"%s%s",
                          read.key, length, read.cchBuffer - 1, value->value.c_str(),
                          isLoad ? " is what gets on the load line of " : "",
                          isLoad ? kLoadLineEdit.file : ""));
    }
    if (value->value.find(';') != std::string::npos)
        AddFinding(checker, kWarning, value->line,
                   Format("the ';' in \"%s\" is part of its value: keyed values have no "
                          "comments after them", read.key));
}

}  // namespace

void CheckKeyedValues(Checker* checker) {
    CheckPlan* plan = checker->plan;
    for (const KeyedRead& read : kKeyedReads)
        PlanKeyedValue(checker, read);
    if (plan->productName.value.empty())
        AddFinding(checker, kWarning, plan->productName.line,
                   Format("no %s: the banner, the final message and the adapter's "
                          "description stay empty", kProductNameKey));
    plan->expectedBytes = ExpectedBytesOfSize(
        ReadSetupNumber(checker->set.path, checker->set.raw, kDiskSpaceSection, kSizeInKBKey,
                        checker->set.lead));
    if (plan->vender.value.empty())
        AddFinding(checker, kWarning, plan->vender.line,
                   Format("no %s in [%s]: no adapter is registered and no registry line "
                          "is applied", kVenderKey, kEnumPciSection));
}
