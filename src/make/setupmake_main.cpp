// setupmake: makes the diskettes of a driver set, setup.dat included, from a
// Windows 95 display driver's INF.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "set_maker.h"
#include "tools_common/command_line.h"
#include "tools_common/exit_codes.h"

// Printed by RefuseCommandLine, with the known code pages in its %s.
static const char kUsage[] =
    "usage: setupmake [--codepage N] [--setup SETUP_EXE] [--files DIR] [--model NAME]\n"
    "                 [--extra FILE] INF OUT\n"
    "  Makes OUT/disk1, OUT/disk2, ... from INF: setup.dat, the INF and the driver\n"
    "  files, compressed as the platform's compression tool stores them.\n"
    "  --codepage the ANSI code page of the set's users, which the INF and setup.dat\n"
    "            are written in: %s\n"
    "  --setup   setup.exe, put on the first diskette\n"
    "  --files   the folder of the driver files (default: the INF's folder)\n"
    "  --model   the model to install, by its description or install section\n"
    "            (needed when the INF lists more than one)\n"
    "  --extra   a side file: [Banner] FontHi, StartX, StartY, and further file\n"
    "            names under [WindowsDir] and [SystemDir] (on the first diskette)\n"
    "  OUT must be absent, empty, or a set setupmake made, which is replaced.\n"
    "  Exit code: 0 a clean set, 1 a set with warnings, 2 errors: nothing is written.\n";

static const struct {
    const char* option;
    std::string MakeOptions::*field;
} kOptions[] = {
    {"--setup", &MakeOptions::setupExe}, {"--files", &MakeOptions::filesDir},
    {"--model", &MakeOptions::model},    {"--extra", &MakeOptions::extra},
};

// Returns false with *error empty for a wrong use, or with the reason.
static bool ParseArguments(int argc, char** argv, MakeOptions* options, std::string* error) {
    std::string* next = nullptr;
    std::vector<std::string> names;
    std::string codePage = std::to_string(kDefaultCodePage);
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        std::string* field = nullptr;
        for (const auto& known : kOptions)
            field = strcmp(arg, known.option) == 0 ? &(options->*known.field) : field;
        if (next) {
            *next = arg;
            next = nullptr;
        } else if (field) {
            next = field;
        } else if (strcmp(arg, "--codepage") == 0) {
            next = &codePage;
        } else if (arg[0] == '-' && arg[1] != '\0') {
            return false;
        } else {
            names.push_back(arg);
        }
    }
    if (next || names.size() != 2)
        return false;
    options->inf = names[0];
    options->out = names[1];
    options->codePage = ParseCodePage(codePage.c_str(), error);
    return options->codePage != nullptr;
}

static void PrintFindings(const FindingSink& sink) {
    std::vector<Finding> sorted = sink.findings;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    for (const Finding& f : sorted) {
        std::string where = sink.file.empty() ? "set" : sink.file;
        if (f.line > 0)
            where += " line " + std::to_string(f.line);
        printf("  %-7s %-18s %s\n", SeverityName(f.severity), where.c_str(), f.text.c_str());
    }
}

int main(int argc, char** argv) {
    MakeOptions options;
    std::string error;
    if (!ParseArguments(argc, argv, &options, &error))
        return RefuseCommandLine("setupmake", kUsage, error);
    MakeReport report;
    int code = MakeSet(options, &report);
    for (const std::string& line : report.lines)
        printf("%s\n", line.c_str());
    printf("\nFindings\n");
    for (const FindingSink* sink : {&report.inf, &report.extra, &report.set})
        PrintFindings(*sink);
    FindingCounts counts = CountReport(report);
    if (counts.errors + counts.warnings == 0)
        printf("  none\n");
    printf("\n%s%s\n", FindingsSummary(counts).c_str(),
           code == kExitErrors ? ": nothing written" : "");
    return code;
}
