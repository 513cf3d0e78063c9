// kelmo_drive: starts setup.exe, presses Next and Finish on the wizard,
// answers the message boxes until setup.exe ends, and exits with 0 when both
// were pressed and setup.exe ended in time.
#include "drive.h"

#include <prsht.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "setupinfo/setup_vocabulary.h"

static const char kUsage[] =
    "usage: kelmo_drive [--person] --exe PATH --dir DIR [--answers ok,cancel,...]\n"
    "  Starts PATH in DIR and presses Next, then Finish. Message boxes are answered\n"
    "  from the list, OK beyond it; disk:FOLDER changes the diskette in DIR for\n"
    "  FOLDER's files, then presses OK. --person: a person works the wizard and the\n"
    "  boxes; the driver only changes the diskette at each prompt, with no time limit.\n";

// Limits, not delays: every wait ends as soon as its state is there. They
// are generous because under an emulated CPU the first window takes seconds.
static const DWORD kStepLimitMs = 120000;
static const DWORD kRunLimitMs = 300000;
static const DWORD kPollMs = 50;

// A step: the page it is taken on, the wizard button that page must have
// made usable first (the ids the common controls give them), and its press.
struct Step {
    const char* name;
    bool finishPage;
    int readyButton;
    int press;
};

static const Step kSteps[] = {{"next", false, 0x3024, PSBTN_NEXT},
                              {"finish", true, 0x3025, PSBTN_FINISH}};

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (unsigned char c : text) {
        char escaped[8];
        // Window texts are ANSI: a byte outside ASCII goes out as its code point.
        if (c < 0x20 || c >= 0x7F)
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
        else
            snprintf(escaped, sizeof escaped, c == '"' || c == '\\' ? "\\%c" : "%c", c);
        json += escaped;
    }
    return json + "\"";
}

// Flushed at once, so that a reader sees each event as it happens.
void Emit(const char* event, const std::vector<std::pair<const char*, std::string>>& fields) {
    std::string object;
    for (const auto& field : fields)
        object += (object.empty() ? "" : ", ") + JsonString(field.first) + ": " + field.second;
    printf("%s {%s}\n", event, object.c_str());
    fflush(stdout);
}

// Watches the dialogs for ms; false once setup.exe has ended or the run's
// limit has passed. The wait on the process returns at once when it ends.
static bool KeepWatching(Drive* drive, DWORD ms) {
    for (DWORD start = GetTickCount();;) {
        if (WaitForSingleObject(drive->process.hProcess, 0) == WAIT_OBJECT_0 ||
            (!drive->person && GetTickCount() - drive->startTicks > kRunLimitMs))
            return false;
        WatchDialogs(drive);
        if (GetTickCount() - start >= ms)
            return true;
        WaitForSingleObject(drive->process.hProcess, kPollMs);
    }
}

// Waits for ready() while answering boxes; false when it did not come in time
// or setup.exe ended.
static bool WaitFor(Drive* drive, const std::function<bool()>& ready) {
    for (DWORD start = GetTickCount(); !ready();) {
        if (GetTickCount() - start > kStepLimitMs || !KeepWatching(drive, 2 * kPollMs))
            return false;
    }
    return true;
}

// The step's page is current and has made its button usable. The finish
// page is the one that carries the status lines.
static bool ReadyFor(const Drive& drive, const Step& step) {
    DWORD_PTR page = 0;
    if (!drive.wizard || !SendMessageTimeoutA(drive.wizard, PSM_GETCURRENTPAGEHWND, 0, 0,
                                              SMTO_ABORTIFHUNG, 2000, &page) || !page)
        return false;
    bool finishPage = GetDlgItem((HWND)page, IDC_SOURCE_STATUS) != nullptr;
    return finishPage == step.finishPage && ControlUsable(drive.wizard, step.readyButton);
}

// Buttons are posted, not sent: Finish runs the install inside the wizard,
// which then waits in its message boxes. Stops at a step that fails and says
// which.
static bool RunSteps(Drive* drive) {
    for (const Step& step : kSteps) {
        if (!WaitFor(drive, [&] { return ReadyFor(*drive, step); }) ||
            !PostMessageA(drive->wizard, PSM_PRESSBUTTON, step.press, 0)) {
            Emit("error", {{"step", JsonString(step.name)}});
            return false;
        }
    }
    return true;
}

// Answers boxes until setup.exe ends, or ends it when the run's time is up.
static int AwaitExit(Drive* drive, bool stepsRan) {
    while (KeepWatching(drive, 4 * kPollMs))
        continue;
    if (WaitForSingleObject(drive->process.hProcess, 0) != WAIT_OBJECT_0) {
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
    Drive drive = {};
    std::string exe, answers;
    bool known = true;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string* value = arg == "--exe" ? &exe : arg == "--dir" ? &drive.driveDir
                           : arg == "--answers" ? &answers : nullptr;
        if (arg == "--person")
            drive.person = true;
        else if (value && i + 1 < argc)
            *value = argv[++i];
        else
            known = false;
    }
    if (!known || exe.empty() || drive.driveDir.empty()) {
        fputs(kUsage, stderr);
        return 3;
    }
    for (size_t start = 0, comma; start < answers.size(); start = comma + 1) {
        comma = std::min(answers.find(',', start), answers.size());
        if (comma > start)
            drive.answers.push_back(answers.substr(start, comma - start));
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exe + "\"";
    drive.startTicks = GetTickCount();
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        drive.driveDir.c_str(), &startup, &drive.process)) {
        Emit("error", {{"step", JsonString("start")}, {"code", std::to_string(GetLastError())}});
        return 1;
    }
    bool stepsRan = drive.person || RunSteps(&drive);
    return AwaitExit(&drive, stepsRan);
}
