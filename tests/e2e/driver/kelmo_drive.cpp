// kelmo_drive: starts setup.exe, runs the steps of its command line on the
// wizard, answers the message boxes until setup.exe ends, and exits with 0
// when every step ran and setup.exe ended in time.
#include "drive.h"

#include <cstdio>
#include <sstream>

static const char kUsage[] =
    "usage: kelmo_drive [--person] --exe PATH --dir DIR [--shots DIR] [--answers ok,cancel,...]\n"
    "                   STEP...\n"
    "  Starts PATH in DIR. Message boxes are answered from the list, OK beyond it;\n"
    "  disk:FOLDER changes the diskette in DIR for FOLDER's files, then presses OK.\n"
    "  --person: a person works the wizard and presses the buttons; the driver only\n"
    "  changes the diskette at each prompt, with no time limit.\n"
    "  Steps: page:welcome, page:finish (wait for the page, report its buttons), next, back,\n"
    "  finish, cancel, close (the system menu's Close), shot:NAME (NAME.bmp in --shots).\n";

// Limits, not delays: every wait ends as soon as its state is there. They
// are generous because under an emulated CPU the first window takes seconds.
static const DWORD kStepLimitMs = 120000;
static const DWORD kRunLimitMs = 300000;
static const DWORD kPollMs = 50;

struct Options {
    std::string exe, dir, shotsDir = ".", answers;
    bool person = false;
    std::vector<std::string> steps;
};

static bool ParseCommandLine(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string* value = arg == "--exe"       ? &options->exe
                             : arg == "--dir"     ? &options->dir
                             : arg == "--shots"   ? &options->shotsDir
                             : arg == "--answers" ? &options->answers
                                                  : nullptr;
        if (arg == "--person")
            options->person = true;
        else if (value && i + 1 < argc)
            *value = argv[++i];
        else if (arg[0] == '-')
            return false;
        else
            options->steps.push_back(arg);
    }
    return !options->exe.empty() && !options->dir.empty();
}

static std::vector<std::string> SplitAnswers(const std::string& list) {
    std::vector<std::string> answers;
    std::istringstream stream(list);
    for (std::string answer; std::getline(stream, answer, ',');) {
        if (!answer.empty())
            answers.push_back(answer);
    }
    return answers;
}

static bool Ended(const Drive& drive) {
    return WaitForSingleObject(drive.process.hProcess, 0) == WAIT_OBJECT_0;
}

// Watches the dialogs for ms; false once setup.exe has ended or the run's
// limit has passed. The wait on the process returns at once when it ends.
static bool KeepWatching(Drive* drive, DWORD ms) {
    for (DWORD start = GetTickCount();;) {
        if (Ended(*drive) || (!drive->person && GetTickCount() - drive->startTicks > kRunLimitMs))
            return false;
        WatchDialogs(drive);
        if (GetTickCount() - start >= ms)
            return true;
        WaitForSingleObject(drive->process.hProcess, kPollMs);
    }
}

bool WaitFor(Drive* drive, const std::function<bool()>& ready) {
    for (DWORD start = GetTickCount(); !ready();) {
        if (GetTickCount() - start > kStepLimitMs || !KeepWatching(drive, 2 * kPollMs))
            return false;
    }
    return true;
}

static bool StartSetup(const Options& options, Drive* drive) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + options.exe + "\"";
    drive->startTicks = GetTickCount();
    if (CreateProcessA(options.exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       options.dir.c_str(), &startup, &drive->process))
        return true;
    Emit("error", {{"step", JsonString("start")}, {"code", std::to_string(GetLastError())}});
    return false;
}

// Stops at the first step that fails and says which.
static bool RunSteps(Drive* drive, const Options& options) {
    if (!WaitFor(drive, [&] { return drive->wizard != nullptr; })) {
        Emit("error", {{"step", JsonString("wizard")}});
        return false;
    }
    for (const std::string& step : options.steps) {
        if (!RunStep(drive, options.shotsDir, step)) {
            Emit("error", {{"step", JsonString(step)}});
            return false;
        }
    }
    return true;
}

// Answers boxes until setup.exe ends, or ends it when the run's time is up.
static int AwaitExit(Drive* drive, bool stepsRan) {
    while (KeepWatching(drive, 4 * kPollMs))
        continue;
    if (!Ended(*drive)) {
        Emit("timeout", {{"seconds", std::to_string(kRunLimitMs / 1000)}});
        TerminateProcess(drive->process.hProcess, 255);
        WaitForSingleObject(drive->process.hProcess, 5000);
        return 2;
    }
    DWORD code = 0;
    GetExitCodeProcess(drive->process.hProcess, &code);
    Emit("exit", {{"code", std::to_string(code)}});
    return stepsRan ? 0 : 1;
}

int main(int argc, char** argv) {
    Options options;
    if (!ParseCommandLine(argc, argv, &options)) {
        fputs(kUsage, stderr);
        return 3;
    }
    Drive drive = {};
    drive.answers = SplitAnswers(options.answers);
    drive.driveDir = options.dir;
    drive.person = options.person;
    if (!StartSetup(options, &drive))
        return 1;
    bool stepsRan = RunSteps(&drive, options);
    return AwaitExit(&drive, stepsRan);
}
