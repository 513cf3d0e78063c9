// The plan of a set: setup.dat loaded, then its keyed values, copy lists,
// registry lines and ini edits each worked out, and the findings in the
// order of setup.dat's lines.
#include <algorithm>

#include "check_host.h"
#include "check_internal.h"

bool BuildCheckPlan(const CheckInput& input, CheckPlan* plan, std::string* error) {
    *plan = CheckPlan();
    plan->sizeInKBFor100 = -1;
    Checker checker = {&input, plan, SetFile()};
    if (input.folders.empty() || !IsSetFolder(input.folders[0])) {
        *error = "not a folder: " + (input.folders.empty() ? std::string() : input.folders[0]);
        return false;
    }
    for (const std::string& folder : input.folders) {
        if (!IsSetFolder(folder)) {
            *error = "not a folder: " + folder;
            return false;
        }
    }
    if (!LoadSetFile(input.folders[0], &checker.set, error, input.lead))
        return false;
    plan->setupDat = checker.set.path;
    plan->codePage = input.codePage;
    plan->sourceDir = input.sourceDir;
    plan->windowsDir = input.windowsDir;
    plan->systemDir = input.systemDir;
    CheckEndOfFileByte(&checker);
    CheckKeyedValues(&checker);
    PlanCopyLists(&checker);
    PlanRegistry(&checker);
    PlanIniFiles(&checker);
    std::stable_sort(plan->findings.begin(), plan->findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return true;
}
