// Drives setup.exe through its real windows: starts it in a given folder,
// waits for the wizard's pages, presses the wizard's buttons, answers every
// message box from a list, saves screenshots of the wizard and waits for the
// exit code. Prints one event per line, a name and a JSON object, for the
// scenario scripts to read.
//
//   kelmo_drive --exe PATH --dir DIR [--shots DIR] [--answers ok,cancel,...]
//               [--timeout SECONDS] STEP...
//
// Steps: page:welcome, page:finish (wait for that page, then report the
// wizard buttons), next, back, finish, cancel, close (the system menu's
// Close), shot:NAME (save NAME.bmp), sleep:MS. After the last step the
// driver keeps answering boxes until the program ends. Boxes beyond the
// answer list are answered with OK.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kWizardTitle[] = "Kelmo Setup Wizard";
const char kDialogClass[] = "#32770";
const int kBoxTextId = 0xFFFF;
const int kBackButtonId = 0x3023;
const int kNextButtonId = 0x3024;
const int kFinishButtonId = 0x3025;
const DWORD kStepWaitMs = 30000;

struct Options {
    std::string exe;
    std::string dir;
    std::string shots = ".";
    std::vector<std::string> answers;
    std::vector<std::string> steps;
    DWORD timeoutMs = 120000;
};

struct Run {
    PROCESS_INFORMATION process = {};
    HWND wizard = nullptr;
    std::set<HWND> answered;
    size_t nextAnswer = 0;
    DWORD started = 0;
    DWORD timeoutMs = 0;
};

// ---- output -------------------------------------------------------------

std::string Str(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20 || c >= 0x7F) {
            char esc[8];
            snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

std::string Num(long long value) { return std::to_string(value); }

std::string Arr(const std::vector<long>& values) {
    std::string out = "[";
    for (size_t i = 0; i < values.size(); ++i)
        out += (i ? "," : "") + std::to_string(values[i]);
    return out + "]";
}

using Fields = std::vector<std::pair<const char*, std::string>>;

void Emit(const char* event, const Fields& fields) {
    std::string line = event;
    line += " {";
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? ", " : "") + Str(fields[i].first) + ": " + fields[i].second;
    printf("%s}\n", line.c_str());
    fflush(stdout);
}

// ---- windows of the program under test ----------------------------------

// Text of a window of another process; a hung owner gives up after 2 s
// instead of blocking the driver.
std::string WindowText(HWND window) {
    char text[2048] = "";
    DWORD_PTR ignored = 0;
    if (window)
        SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG,
                            2000, &ignored);
    text[sizeof text - 1] = '\0';
    return text;
}

bool IsClass(HWND window, const char* name) {
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    return strcmp(cls, name) == 0;
}

struct TopWindows {
    DWORD pid;
    HWND wizard;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
    TopWindows* found = (TopWindows*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != found->pid || !IsWindowVisible(window) || !IsClass(window, kDialogClass))
        return TRUE;
    if (WindowText(window) == kWizardTitle)
        found->wizard = window;
    else
        found->boxes.push_back(window);
    return TRUE;
}

TopWindows ScanTopWindows(const Run& run) {
    TopWindows found = {run.process.dwProcessId, nullptr, {}};
    EnumWindows(CollectTopWindow, (LPARAM)&found);
    return found;
}

bool ControlShown(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}

// The box's icon control differs between platforms; either counts when it
// is shown and holds an icon.
bool BoxHasIcon(HWND box) {
    static const int iconIds[] = {0x14, 0x440};
    for (int id : iconIds) {
        HWND control = GetDlgItem(box, id);
        DWORD_PTR icon = 0;
        if (control && IsWindowVisible(control) &&
            SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon) && icon)
            return true;
    }
    return false;
}

struct ButtonName {
    int id;
    const char* name;
};

const ButtonName kBoxButtons[] = {
    {IDOK, "ok"}, {IDCANCEL, "cancel"}, {IDYES, "yes"}, {IDNO, "no"},
    {IDABORT, "abort"}, {IDRETRY, "retry"}, {IDIGNORE, "ignore"},
};

std::string BoxButtons(HWND box) {
    std::string list = "[";
    for (const ButtonName& button : kBoxButtons) {
        if (!ControlShown(box, button.id))
            continue;
        list += (list.size() > 1 ? "," : "") + Str(button.name);
    }
    return list + "]";
}

int AnswerId(const std::string& answer) {
    for (const ButtonName& button : kBoxButtons)
        if (answer == button.name)
            return button.id;
    return IDOK;
}

void AnswerBox(Run& run, const Options& options, HWND box) {
    std::string answer = "ok";
    if (run.nextAnswer < options.answers.size())
        answer = options.answers[run.nextAnswer++];
    Emit("box", {{"caption", Str(WindowText(box))},
                 {"text", Str(WindowText(GetDlgItem(box, kBoxTextId)))},
                 {"buttons", BoxButtons(box)},
                 {"icon", BoxHasIcon(box) ? "true" : "false"},
                 {"answer", Str(answer)}});
    int id = AnswerId(answer);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id));
    run.answered.insert(box);
}

// A message box has its text control and at least one button; the wizard
// passes through dialogs without them while it closes.
bool IsMessageBox(HWND window) {
    return GetDlgItem(window, kBoxTextId) && BoxButtons(window) != "[]";
}

void AnswerNewBoxes(Run& run, const Options& options) {
    for (auto it = run.answered.begin(); it != run.answered.end();)
        it = IsWindow(*it) ? std::next(it) : run.answered.erase(it);
    TopWindows found = ScanTopWindows(run);
    if (found.wizard)
        run.wizard = found.wizard;
    for (HWND box : found.boxes)
        if (!run.answered.count(box) && IsMessageBox(box))
            AnswerBox(run, options, box);
}

bool TimeIsUp(const Run& run) { return GetTickCount() - run.started > run.timeoutMs; }

bool HasExited(const Run& run) {
    return WaitForSingleObject(run.process.hProcess, 0) == WAIT_OBJECT_0;
}

// Waits up to ms while answering boxes. False when the program has ended or
// the overall time is up.
bool Pump(Run& run, const Options& options, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HasExited(run) || TimeIsUp(run))
            return false;
        AnswerNewBoxes(run, options);
        if (GetTickCount() - start >= ms)
            return true;
        Sleep(50);
    }
}

// ---- the wizard ---------------------------------------------------------

HWND CurrentPage(const Run& run) {
    DWORD_PTR page = 0;
    if (!run.wizard || !SendMessageTimeoutA(run.wizard, PSM_GETCURRENTPAGEHWND, 0, 0,
                                            SMTO_ABORTIFHUNG, 2000, &page))
        return nullptr;
    return (HWND)page;
}

// The finish page is the one that carries the status line 1001.
std::string PageName(HWND page) {
    if (!page)
        return "";
    return GetDlgItem(page, 1001) ? "finish" : "welcome";
}

bool WaitForPage(Run& run, const Options& options, const std::string& name) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kStepWaitMs) {
        if (run.wizard && PageName(CurrentPage(run)) == name) {
            // The page posts its button states when it becomes active.
            Pump(run, options, 400);
            WaitForInputIdle(run.process.hProcess, 5000);
            Emit("page", {{"name", Str(name)},
                          {"back", ControlShown(run.wizard, kBackButtonId) ? "true" : "false"},
                          {"next", ControlShown(run.wizard, kNextButtonId) ? "true" : "false"},
                          {"finish", ControlShown(run.wizard, kFinishButtonId) ? "true" : "false"},
                          {"cancel", ControlShown(run.wizard, IDCANCEL) ? "true" : "false"}});
            return true;
        }
        if (!Pump(run, options, 100))
            return false;
    }
    return false;
}

bool WriteBmp(const std::string& path, const void* bits, int width, int height) {
    int stride = (width * 3 + 3) & ~3;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    FILE* out = fopen(path.c_str(), "wb");
    if (!out)
        return false;
    fwrite(&file, sizeof file, 1, out);
    fwrite(&info, sizeof info, 1, out);
    fwrite(bits, stride, height, out);
    return fclose(out) == 0;
}

// Copies the screen under the window into a bottom-up 24-bit DIB and saves
// it. Reading the screen works across processes where PrintWindow does not.
bool SaveScreenshot(HWND window, const std::string& path, RECT* rect) {
    GetWindowRect(window, rect);
    int width = rect->right - rect->left;
    int height = rect->bottom - rect->top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = dib != nullptr;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, dib);
        ok = BitBlt(memory, 0, 0, width, height, screen, rect->left, rect->top, SRCCOPY);
        GdiFlush();
        ok = ok && WriteBmp(path, bits, width, height);
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

// Saves the wizard and reports where the page's client area and its logo
// window are: the page's client origin relative to the window and its size,
// the logo relative to the page's client area.
bool TakeShot(Run& run, const Options& options, const std::string& name) {
    if (!Pump(run, options, 800))
        return false;
    // Idle means its paint messages have been handled.
    WaitForInputIdle(run.process.hProcess, 5000);
    HWND page = CurrentPage(run);
    std::string path = options.shots + "\\" + name + ".bmp";
    RECT window;
    if (!page || !SaveScreenshot(run.wizard, path, &window))
        return false;
    POINT origin = {0, 0};
    ClientToScreen(page, &origin);
    RECT client;
    GetClientRect(page, &client);
    RECT logo = {0, 0, 0, 0};
    HWND logoWindow = FindWindowExA(page, nullptr, "BmpWClass", nullptr);
    if (logoWindow) {
        GetWindowRect(logoWindow, &logo);
        MapWindowPoints(nullptr, page, (POINT*)&logo, 2);
    }
    Emit("shot", {{"name", Str(name)},
                  {"file", Str(path)},
                  {"page", Str(PageName(page))},
                  {"window", Arr({window.left, window.top, window.right, window.bottom})},
                  {"client", Arr({origin.x - window.left, origin.y - window.top})},
                  {"size", Arr({client.right, client.bottom})},
                  {"logo", Arr({logo.left, logo.top, logo.right - logo.left,
                                logo.bottom - logo.top})}});
    return true;
}

struct PressStep {
    const char* name;
    int button;
};

const PressStep kPressSteps[] = {
    {"back", PSBTN_BACK}, {"next", PSBTN_NEXT}, {"finish", PSBTN_FINISH}, {"cancel", PSBTN_CANCEL},
};

// Posted, not sent: Finish runs the install inside the wizard and blocks in
// its message boxes.
bool Press(Run& run, const std::string& step) {
    if (step == "close") {
        Emit("press", {{"button", Str(step)}});
        return PostMessageA(run.wizard, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    for (const PressStep& press : kPressSteps) {
        if (step == press.name) {
            Emit("press", {{"button", Str(step)}});
            return PostMessageA(run.wizard, PSM_PRESSBUTTON, press.button, 0);
        }
    }
    return false;
}

bool RunStep(Run& run, const Options& options, const std::string& step) {
    if (step.compare(0, 5, "page:") == 0)
        return WaitForPage(run, options, step.substr(5));
    if (step.compare(0, 5, "shot:") == 0)
        return TakeShot(run, options, step.substr(5));
    if (step.compare(0, 6, "sleep:") == 0)
        return Pump(run, options, (DWORD)atoi(step.c_str() + 6)) || HasExited(run);
    return Press(run, step);
}

bool WaitForWizard(Run& run, const Options& options) {
    DWORD start = GetTickCount();
    while (!run.wizard && GetTickCount() - start < kStepWaitMs)
        if (!Pump(run, options, 100))
            return false;
    if (run.wizard)
        Emit("wizard", {{"title", Str(WindowText(run.wizard))}});
    return run.wizard != nullptr;
}

// ---- start and end ------------------------------------------------------

bool ParseArgs(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--exe" && hasValue) {
            options->exe = argv[++i];
        } else if (arg == "--dir" && hasValue) {
            options->dir = argv[++i];
        } else if (arg == "--shots" && hasValue) {
            options->shots = argv[++i];
        } else if (arg == "--timeout" && hasValue) {
            options->timeoutMs = (DWORD)atoi(argv[++i]) * 1000;
        } else if (arg == "--answers" && hasValue) {
            std::string list = argv[++i];
            for (size_t start = 0; start <= list.size();) {
                size_t comma = list.find(',', start);
                if (comma == std::string::npos)
                    comma = list.size();
                if (comma > start)
                    options->answers.push_back(list.substr(start, comma - start));
                start = comma + 1;
            }
        } else if (arg.compare(0, 2, "--") == 0) {
            return false;
        } else {
            options->steps.push_back(arg);
        }
    }
    return !options->exe.empty() && !options->dir.empty();
}

bool StartSetup(const Options& options, Run* run) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + options.exe + "\"";
    run->started = GetTickCount();
    run->timeoutMs = options.timeoutMs;
    if (!CreateProcessA(options.exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        options.dir.c_str(), &startup, &run->process)) {
        Emit("error", {{"step", Str("start")}, {"code", Num(GetLastError())}});
        return false;
    }
    Emit("start", {{"pid", Num(run->process.dwProcessId)}});
    return true;
}

// Runs the steps, then answers boxes until the program ends. Returns the
// driver's exit code: 0 when every step ran and the program ended in time.
int Drive(Run& run, const Options& options) {
    bool ok = WaitForWizard(run, options);
    for (size_t i = 0; ok && i < options.steps.size(); ++i) {
        ok = RunStep(run, options, options.steps[i]);
        if (!ok)
            Emit("error", {{"step", Str(options.steps[i])}});
    }
    while (!HasExited(run) && !TimeIsUp(run))
        Pump(run, options, 200);
    if (!HasExited(run)) {
        Emit("timeout", {{"seconds", Num(options.timeoutMs / 1000)}});
        TerminateProcess(run.process.hProcess, 255);
        WaitForSingleObject(run.process.hProcess, 5000);
        return 2;
    }
    DWORD code = 0;
    GetExitCodeProcess(run.process.hProcess, &code);
    Emit("exit", {{"code", Num(code)}});
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArgs(argc, argv, &options)) {
        fprintf(stderr, "usage: kelmo_drive --exe PATH --dir DIR [--shots DIR] "
                        "[--answers LIST] [--timeout S] STEP...\n");
        return 3;
    }
    Run run;
    if (!StartSetup(options, &run))
        return 1;
    int result = Drive(run, options);
    CloseHandle(run.process.hThread);
    CloseHandle(run.process.hProcess);
    return result;
}
