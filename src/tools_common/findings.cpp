#include "findings.h"

FindingCounts CountFindings(const std::vector<Finding>& findings, FindingCounts before) {
    for (const Finding& f : findings)
        (f.severity == kError ? before.errors : before.warnings) += 1;
    return before;
}

static std::string Counted(int count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string FindingsSummary(const FindingCounts& counts) {
    return Counted(counts.errors, "error") + ", " + Counted(counts.warnings, "warning");
}

const char* SeverityName(Severity severity) { return severity == kError ? "error" : "warning"; }
