// What the tools find wrong in their input, and the counts both tools'
// reports end with.
#pragma once

#include <string>
#include <vector>

enum Severity { kWarning, kError };

struct Finding {
    Severity severity;
    int line;  // line of the file the finding is about, 0 when it has none
    std::string text;
};

struct FindingCounts {
    int errors;
    int warnings;
};

// The errors and warnings among findings, added to those counted before.
FindingCounts CountFindings(const std::vector<Finding>& findings,
                            FindingCounts before = FindingCounts{0, 0});

// "1 error, 2 warnings": the last line of both tools' reports.
std::string FindingsSummary(const FindingCounts& counts);

// "error" or "warning", as the reports name a finding's severity.
const char* SeverityName(Severity severity);
