#include "set_maker.h"

#include <algorithm>

#include "check/check_host.h"
#include "diskette_layout.h"
#include "driver_model.h"
#include "extra_file.h"
#include "make_strings.h"
#include "set_output.h"
#include "set_proof.h"
#include "setup_dat_writer.h"
#include "szdd_compressor.h"
#include "tools_common/exit_codes.h"
#include "tools_common/tool_dirs.h"

namespace {

// No larger file fits a diskette.
const size_t kMaxFileBytes = (size_t)(kDisketteClusters * kClusterBytes);

struct Inputs {
    DriverIntent intent;
    std::vector<std::string> contents;  // of each file of the intent
    std::string setupExe;
};

// Each diskette's files as they are stored: name and bytes.
typedef std::vector<std::vector<std::pair<std::string, std::string>>> StoredSet;

ExitCode ReportExitCode(const MakeReport& report) { return ExitCodeOf(CountReport(report)); }

FindingSink* SinkOf(MakeReport* report, const IntentFile& file) {
    bool extra = !report->extra.file.empty() && file.file == report->extra.file;
    return extra ? &report->extra : &report->inf;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

// Each file of the intent from the driver files' folder, as the set names it
// (without regard to case where the host tells case apart).
void ReadDriverFiles(const std::string& folder, const std::string& infBytes, MakeReport* report,
                     Inputs* inputs) {
    for (IntentFile& file : inputs->intent.files) {
        std::string bytes = infBytes, error;
        std::string path = file.driverInf ? "" : FindSetFile(folder, file.name, nullptr, inputs->intent.codePage->lead);
        if (!file.driverInf && path.empty())
            error = file.name + " is not in " + folder;
        if (!path.empty() && !ReadWholeFile(path, kMaxFileBytes, &bytes, &error))
            error += ": it cannot go on a diskette";
        if (!error.empty())
            SinkOf(report, file)->Error(file.line, error);
        else
            file.size = (long long)bytes.size();
        inputs->contents.push_back(error.empty() ? bytes : "");
    }
}

void ReadInputs(const MakeOptions& options, MakeReport* report, Inputs* inputs) {
    std::string error, infBytes, extraBytes;
    const CodePage& page = *options.codePage;
    inputs->intent.codePage = &page;
    report->inf.file = BaseName(options.inf);
    if (!ReadWholeFile(options.inf, kMaxInfBytes, &infBytes, &error))
        return report->inf.Error(0, error);
    inputs->intent = BuildDriverIntent(ReadInfText(infBytes, &report->inf, page.lead),
                                       report->inf.file, options.model, &report->inf, page);
    if (!options.extra.empty()) {
        report->extra.file = BaseName(options.extra);
        if (ReadWholeFile(options.extra, kMaxInfBytes, &extraBytes, &error))
            ApplyExtraFile(ReadInfText(extraBytes, &report->extra, page.lead), &inputs->intent,
                           &report->extra);
        else
            report->extra.Error(0, error);
    }
    if (!options.setupExe.empty() &&
        !ReadWholeFile(options.setupExe, kMaxFileBytes, &inputs->setupExe, &error))
        report->set.Error(0, error);
    ReadDriverFiles(options.filesDir.empty() ? FolderOf(options.inf) : options.filesDir, infBytes,
                    report, inputs);
}

StoredSet StoreFiles(const Inputs& inputs, const DisketteSet& set) {
    StoredSet stored(set.diskettes.size());
    for (size_t d = 0; d < set.diskettes.size(); d++) {
        for (const StoredFile& file : set.diskettes[d]) {
            if (file.file < 0)
                continue;  // setup.dat and setup.exe
            const std::string& data = inputs.contents[(size_t)file.file];
            char last = inputs.intent.files[(size_t)file.file].name.back();
            stored[d].push_back({file.name, file.compressed ? CompressSzdd(data, last) : data});
        }
    }
    if (!inputs.setupExe.empty())
        stored[0].push_back({kSetupExeName, inputs.setupExe});
    return stored;
}

bool WriteDiskettes(const std::string& staging, const StoredSet& stored, std::string* error) {
    for (size_t d = 0; d < stored.size(); d++) {
        std::string folder = staging + "/" + DisketteName((int)d + 1);
        if (!MakeFolder(folder, error))
            return false;
        for (const auto& file : stored[d]) {
            if (!WriteWholeFile(folder + "/" + file.first, file.second, error))
                return false;
        }
    }
    return true;
}

// What each diskette holds and the clusters it takes; an over-full one is refused.
void CheckSpace(const StoredSet& stored, const DriverIntent& intent, MakeReport* report) {
    for (size_t d = 0; d < stored.size(); d++) {
        std::vector<std::pair<std::string, long long>> sizes;
        long long clusters = 0;
        for (const auto& file : stored[d]) {
            sizes.push_back({file.first, (long long)file.second.size()});
            clusters += ClustersOf((long long)file.second.size());
        }
        CheckDisketteSpace((int)d + 1, sizes, &report->set);
        report->lines.push_back(
            DisketteName((int)d + 1) + " " + Quoted(intent.disks[d].label) + ": " +
            std::to_string(sizes.size()) + " files in " + std::to_string(clusters) + " of " +
            std::to_string(kDisketteClusters) + " clusters (each file rounded up to " +
            std::to_string(kClusterBytes) + " bytes)");
    }
}

// Writes the set into staging and proves it. "SizeInKB" is the one the
// checker's plan finds for the set written without it.
void WriteAndProve(const Inputs& inputs, const DisketteSet& set, const std::string& staging,
                   MakeReport* report) {
    StoredSet stored = StoreFiles(inputs, set);
    std::string error, setupDatPath = staging + "/" + DisketteName(1) + "/" + kSetupDatName;
    CheckPlan plan;
    bool ok = WriteDiskettes(staging, stored, &error) &&
              WriteWholeFile(setupDatPath, ComposeSetupDat(inputs.intent, set, -1), &error) &&
              PlanWrittenSet(staging, stored.size(), &plan, &error, *inputs.intent.codePage);
    std::string setupDat =
        ComposeSetupDat(inputs.intent, set, std::max(0LL, plan.sizeInKBFor100));
    ok = ok && WriteWholeFile(setupDatPath, setupDat, &error) &&
         PlanWrittenSet(staging, stored.size(), &plan, &error, *inputs.intent.codePage);
    if (!ok)
        return report->set.Error(0, error);
    CompareWithIntent(plan, inputs.intent, set, &report->set);
    stored[0].push_back({kSetupDatName, setupDat});
    CheckSpace(stored, inputs.intent, report);
}

}  // namespace

int MakeSet(const MakeOptions& options, MakeReport* report) {
    std::string error, out = options.out;
    StripTrailingSeparators(&out, options.codePage->lead);
    if (!CheckOutFolder(out, &error)) {
        report->set.Error(0, error);
        return kExitErrors;
    }
    report->lines.push_back("code page " + std::to_string(options.codePage->number) +
                            ": the INF is read and setup.dat written in it");
    Inputs inputs;
    ReadInputs(options, report, &inputs);
    const DriverIntent& intent = inputs.intent;
    if (!intent.installSection.empty())
        report->lines.push_back("model " + Quoted(intent.productName) + ", install section " +
                                intent.installSection + " (" + intent.infName + " line " +
                                std::to_string(intent.modelLine) + ")");
    DisketteSet set = LayOutDiskettes(intent, &report->set);
    if (ReportExitCode(*report) == kExitErrors)
        return kExitErrors;
    std::string staging = MakeStagingFolder(out, &error);
    if (!staging.empty())
        WriteAndProve(inputs, set, staging, report);
    if (staging.empty() || ReportExitCode(*report) == kExitErrors ||
        !ReplaceOutFolder(staging, out, &error)) {
        if (!error.empty())
            report->set.Error(0, error);
        if (!staging.empty())
            RemoveFolder(staging);
        return kExitErrors;
    }
    report->lines.push_back("wrote " + out);
    return ReportExitCode(*report);
}

FindingCounts CountReport(const MakeReport& report) {
    FindingCounts counts = {0, 0};
    for (const FindingSink* sink : {&report.inf, &report.extra, &report.set})
        counts = CountFindings(sink->findings, counts);
    return counts;
}
