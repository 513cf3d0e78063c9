#include "set_proof.h"

#include "config/device_rules.h"
#include "make_strings.h"
#include "setupinfo/setup_sizes.h"
#include "tools_common/tool_dirs.h"

namespace {

const char* FolderName(const IntentFile& file) {
    return file.driverInf ? kInfFolder : file.target == kToWindowsDir ? kWindowsFolder : kSystemFolder;
}

std::string FileRow(const std::string& folder, const std::string& installed, long long size,
                    int diskette, const std::string& label, const LeadBytes& lead) {
    return folder + "\\" + StringLowerCase(installed, lead) + ", " + std::to_string(size) +
           " bytes, from " + DisketteName(diskette + 1) + " " + Quoted(label);
}

std::string RegRow(const std::string& root, const std::string& keyPath, bool stores,
                   const std::string& valueName, const std::string& value) {
    std::string row = root + "\\" + keyPath;
    return stores ? row + " " + Quoted(valueName) + " = " + Quoted(value) : row + " (key)";
}

// Reports the rows that differ, in order: what the set does against what
// the INF says.
void CompareRows(const char* what, const std::vector<std::string>& planned,
                 const std::vector<std::string>& intended, FindingSink* findings) {
    for (size_t i = 0; i < planned.size() || i < intended.size(); i++) {
        std::string got = i < planned.size() ? planned[i] : "nothing";
        std::string want = i < intended.size() ? intended[i] : "nothing";
        if (got != want)
            findings->Error(0, std::string("the written set ") + what + " " + got +
                                   " where the INF says " + want);
    }
}

void CompareKeyed(const CheckPlan& plan, const DriverIntent& intent, const DisketteSet& set,
                  FindingSink* findings) {
    char deviceKey[kPathSize];
    std::string expectedKey = ComposeDeviceKeyName(intent.vender.c_str(), deviceKey, sizeof deviceKey)
                                  ? std::string("HKLM\\") + deviceKey : "";
    const struct { const char* name; const std::string& planned; const std::string& intended; } rows[] = {
        {kProductNameKey, plan.productName.value, intent.productName},
        {kLoadKey, plan.loadProgram.value, intent.loadProgram},
        {kDriverInfKey, plan.driverInf.value, set.driverInf},
        {kOemsetupInfKey, plan.oemsetupInf.value, set.oemsetupInf},
        {kVenderKey, plan.vender.value, intent.vender},
        {kMfgKey, plan.mfg.value, intent.mfg},
        {"the adapter key", plan.deviceKey, expectedKey},
    };
    for (const auto& row : rows) {
        if (row.planned != row.intended)
            findings->Error(0, std::string("setup.exe reads ") + row.name + " as " +
                                   Quoted(row.planned) + ", not " + Quoted(row.intended));
    }
    if (!intent.values.empty() && !plan.registryApplied)
        findings->Error(0, "setup.exe would apply no registry line of the written set");
}

}  // namespace

bool PlanWrittenSet(const std::string& staging, size_t diskettes, CheckPlan* plan,
                    std::string* error, const CodePage& page) {
    CheckInput input = {{}, kUsualSourceDir, kUsualWindowsDir, kUsualSystemDir, page.lead,
                        page.number};
    for (size_t i = 1; i <= diskettes; i++)
        input.folders.push_back(staging + "/" + DisketteName((int)i));
    return BuildCheckPlan(input, plan, error);
}

void CompareWithIntent(const CheckPlan& plan, const DriverIntent& intent, const DisketteSet& set,
                       FindingSink* findings) {
    CompareKeyed(plan, intent, set, findings);
    std::vector<std::string> planned, intended;
    for (const PlannedFile& file : plan.files)
        planned.push_back(FileRow(file.folder, file.installed, file.size, file.diskette, file.label,
                                  intent.codePage->lead));
    for (const ListLine& line : set.lines) {
        const IntentFile& file = intent.files[(size_t)line.file];
        intended.push_back(FileRow(FolderName(file), file.driverInf ? set.oemsetupInf : file.name,
                                   file.size, file.diskette, intent.disks[(size_t)file.diskette].label,
                                   intent.codePage->lead));
    }
    CompareRows("installs", planned, intended, findings);
    planned.clear();
    intended.clear();
    for (const PlannedRegLine& line : plan.regLines)
        planned.push_back(RegRow(line.base.empty() ? "(ignored)" : line.root,
                                 line.keys.empty() ? "" : line.keys.back(), line.stores,
                                 line.valueName, line.value));
    for (const IntentValue& value : intent.values)
        intended.push_back(RegRow(value.root, value.keyPath, value.stores, value.valueName,
                                  value.value));
    CompareRows("writes", planned, intended, findings);
    for (const Finding& finding : plan.findings) {
        std::string where = finding.line > 0 ? " line " + std::to_string(finding.line) : "";
        findings->findings.push_back({finding.severity, 0, kSetupDatName + where + ": " + finding.text});
    }
}
