// setupcheck: prints what setup.exe will do with a driver set, and what in
// the set looks wrong, before the set is shipped.
#include <cstdio>
#include <cstring>

#include "check_host.h"
#include "check_plan.h"
#include "tools_common/code_pages.h"
#include "tools_common/command_line.h"
#include "tools_common/exit_codes.h"
#include "tools_common/tool_dirs.h"

// Printed by RefuseCommandLine, with the known code pages in its %s.
static const char kUsage[] =
    "usage: setupcheck [--json] [--codepage N] [--source-dir DIR] [--windows-dir DIR]\n"
    "                  [--system-dir DIR] FOLDER [FOLDER2 ...]\n"
    "  FOLDER holds setup.dat: the first diskette. Further folders are the next diskettes.\n"
    "  --codepage     the ANSI code page of the set's users, which setup.dat is written in:\n"
    "                 %s\n"
    "  --source-dir   the folder setup.exe is started from (default: A: on Linux, FOLDER on\n"
    "                 Windows); --windows-dir, --system-dir: where Windows is installed.\n"
    "  Exit code: 0 nothing found, 1 warnings, 2 errors or a set that cannot be read.\n";

struct Options {
    bool json;
    CheckInput input;
};

// Returns false with *error empty for a wrong use, or with the reason.
static bool ParseArguments(int argc, char** argv, Options* options, std::string* error) {
    std::string* next = nullptr;
    std::string sourceDir, windowsDir, systemDir, codePage = std::to_string(kDefaultCodePage);
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (next) {
            *next = arg;
            next = nullptr;
        } else if (strcmp(arg, "--json") == 0) {
            options->json = true;
        } else if (strcmp(arg, "--codepage") == 0) {
            next = &codePage;
        } else if (strcmp(arg, "--source-dir") == 0) {
            next = &sourceDir;
        } else if (strcmp(arg, "--windows-dir") == 0) {
            next = &windowsDir;
        } else if (strcmp(arg, "--system-dir") == 0) {
            next = &systemDir;
        } else if (arg[0] == '-' && arg[1] != '\0') {
            return false;
        } else {
            options->input.folders.push_back(arg);
        }
    }
    if (next || options->input.folders.empty())
        return false;
    CheckInput& in = options->input;
    const CodePage* page = ParseCodePage(codePage.c_str(), error);
    if (!page)
        return false;
    in.lead = page->lead;
    in.codePage = page->number;
    in.sourceDir = sourceDir.empty() ? DefaultSourceDir(in.folders[0]) : sourceDir;
    in.windowsDir = windowsDir.empty() ? DefaultWindowsDir() : windowsDir;
    in.systemDir = systemDir.empty() ? DefaultSystemDir() : systemDir;
    for (std::string* dir : {&in.sourceDir, &in.windowsDir, &in.systemDir})
        StripTrailingSeparators(dir, in.lead);
    return true;
}

int main(int argc, char** argv) {
    Options options = {false, CheckInput()};
    std::string error;
    if (!ParseArguments(argc, argv, &options, &error))
        return RefuseCommandLine("setupcheck", kUsage, error);
    CheckPlan plan;
    if (!BuildCheckPlan(options.input, &plan, &error)) {
        fprintf(stderr, "setupcheck: %s\n", error.c_str());
        return kExitErrors;
    }
    std::string out = options.json ? FormatPlanJson(plan) : FormatPlanText(plan);
    fwrite(out.data(), 1, out.size(), stdout);
    return ExitCodeOf(CountFindings(plan.findings));
}
