// setupmake's whole run: the INF and the side file read, the set laid out,
// written beside OUT, proven, and put in OUT's place.
#pragma once

#include <string>
#include <vector>

#include "driver_intent.h"
#include "tools_common/code_pages.h"

struct MakeOptions {
    std::string inf, out;
    std::string setupExe;  // may be empty
    std::string filesDir;  // empty: the INF's folder
    std::string model;     // empty: the only model
    std::string extra;     // the side file; may be empty
    const CodePage* codePage = FindCodePage(kDefaultCodePage);  // of the INF and setup.dat
};

struct MakeReport {
    FindingSink inf, extra, set;  // findings by the file they are about
    std::vector<std::string> lines;  // what was chosen and written, for people
};

// Makes the set. Returns its ExitCode; with errors nothing is written.
int MakeSet(const MakeOptions& options, MakeReport* report);

// The errors and warnings of all the report's findings.
FindingCounts CountReport(const MakeReport& report);
