// Drives setup.exe through its real windows and prints one event per line,
// a name and a JSON object. Message boxes are answered from the list (OK
// beyond it) until the program ends.
//   kelmo_drive --exe PATH --dir DIR [--shots DIR] [--answers ok,cancel,...] STEP...
// Steps: page:welcome, page:finish (wait for it, report the wizard buttons),
// next, back, finish, cancel, close (system menu), shot:NAME (save NAME.bmp).
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "setupinfo/setup_vocabulary.h"

namespace {

const char kWizardTitle[] = "Kelmo Setup Wizard";
const int kBoxTextId = 0xFFFF;
// Limits, not delays: every wait ends as soon as its state is there. They are
// generous because under an emulated CPU the first window takes seconds.
const DWORD kStepWaitMs = 120000, kTimeoutMs = 300000;

struct BoxButton { int id; const char* name; };
const BoxButton kBoxButtons[] = {{IDOK, "ok"}, {IDCANCEL, "cancel"}, {IDYES, "yes"}, {IDNO, "no"},
                                 {IDABORT, "abort"}, {IDRETRY, "retry"}, {IDIGNORE, "ignore"}};

struct WizardButton { const char* name; int id, press; };
const WizardButton kWizardButtons[] = {{"back", 0x3023, PSBTN_BACK}, {"next", 0x3024, PSBTN_NEXT},
                                       {"finish", 0x3025, PSBTN_FINISH},
                                       {"cancel", IDCANCEL, PSBTN_CANCEL}};

struct {
    std::string exe, dir, shots = ".";
    std::vector<std::string> answers, steps;
    PROCESS_INFORMATION process;
    HWND wizard;
    std::set<HWND> answered;
    size_t nextAnswer;
    DWORD started;
} g;

std::string Str(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        char esc[8];
        snprintf(esc, sizeof esc,
                 c < 0x20 || c >= 0x7F ? "\\u%04x" : c == '"' || c == '\\' ? "\\%c" : "%c", c);
        out += esc;
    }
    return out + "\"";
}

const char* Bool(bool value) { return value ? "true" : "false"; }

std::string Arr(std::initializer_list<long> values) {
    std::string out;
    for (long value : values)
        out += (out.empty() ? "[" : ",") + std::to_string(value);
    return out + "]";
}

using Fields = std::vector<std::pair<const char*, std::string>>;

void Emit(const char* event, const Fields& fields) {
    std::string line;
    for (const auto& field : fields)
        line += (line.empty() ? "" : ", ") + Str(field.first) + ": " + field.second;
    printf("%s {%s}\n", event, line.c_str());
    fflush(stdout);
}

// Text of another process's window; gives up on a hung owner after 2 s.
std::string WindowText(HWND window) {
    char text[2048] = "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 2000,
                        &ignored);
    text[sizeof text - 1] = '\0';
    return text;
}

bool Shown(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}

// The box's icon control differs between platforms; either counts.
bool BoxHasIcon(HWND box) {
    for (int id : {0x14, 0x440}) {
        HWND control = GetDlgItem(box, id);
        DWORD_PTR icon = 0;
        if (control && IsWindowVisible(control) &&
            SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon) && icon)
            return true;
    }
    return false;
}

std::string BoxButtons(HWND box) {
    std::string list;
    for (const BoxButton& button : kBoxButtons)
        if (Shown(box, button.id))
            list += (list.empty() ? "" : ",") + Str(button.name);
    return "[" + list + "]";
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM boxes) {
    DWORD pid = 0;
    char cls[64] = "";
    GetWindowThreadProcessId(window, &pid);
    GetClassNameA(window, cls, sizeof cls);
    if (pid != g.process.dwProcessId || !IsWindowVisible(window) || strcmp(cls, "#32770") != 0)
        return TRUE;
    if (WindowText(window) == kWizardTitle)
        g.wizard = window;
    else
        ((std::vector<HWND>*)boxes)->push_back(window);
    return TRUE;
}

// Answers each new message box once. A box has its text control and a
// button; the wizard passes through dialogs without them while it closes.
void AnswerNewBoxes() {
    for (auto it = g.answered.begin(); it != g.answered.end();)
        it = IsWindow(*it) ? std::next(it) : g.answered.erase(it);
    std::vector<HWND> boxes;
    EnumWindows(CollectWindow, (LPARAM)&boxes);
    for (HWND box : boxes) {
        std::string buttons = BoxButtons(box);
        if (g.answered.count(box) || !GetDlgItem(box, kBoxTextId) || buttons == "[]")
            continue;
        std::string answer = g.nextAnswer < g.answers.size() ? g.answers[g.nextAnswer++] : "ok";
        Emit("box", {{"caption", Str(WindowText(box))},
                     {"text", Str(WindowText(GetDlgItem(box, kBoxTextId)))},
                     {"buttons", buttons},
                     {"icon", Bool(BoxHasIcon(box))}});
        int id = IDOK;
        for (const BoxButton& button : kBoxButtons)
            if (answer == button.name)
                id = button.id;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id));
        g.answered.insert(box);
    }
}

bool Exited() { return WaitForSingleObject(g.process.hProcess, 0) == WAIT_OBJECT_0; }

// Waits up to ms while answering boxes. False when the program has ended or
// the overall time is up.
bool Pump(DWORD ms) {
    for (DWORD start = GetTickCount();; Sleep(50)) {
        if (Exited() || GetTickCount() - g.started > kTimeoutMs)
            return false;
        AnswerNewBoxes();
        if (GetTickCount() - start >= ms)
            return true;
    }
}

template <class Ready>
bool WaitFor(Ready ready) {
    for (DWORD start = GetTickCount(); !ready();)
        if (GetTickCount() - start > kStepWaitMs || !Pump(100))
            return false;
    return true;
}

HWND CurrentPage() {
    DWORD_PTR page = 0;
    if (g.wizard)
        SendMessageTimeoutA(g.wizard, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 2000, &page);
    return (HWND)page;
}

// The finish page is the one that carries the status lines.
std::string PageName(HWND page) {
    return !page ? "" : GetDlgItem(page, IDC_SOURCE_STATUS) ? "finish" : "welcome";
}

// The buttons each page enables when it becomes active (back, next, finish):
// the page posts them to the sheet, so they follow the page change.
bool PageButtonsSet(const std::string& name) {
    bool finish = name == "finish";
    return Shown(g.wizard, kWizardButtons[0].id) == finish &&
           Shown(g.wizard, kWizardButtons[1].id) == !finish &&
           Shown(g.wizard, kWizardButtons[2].id) == finish;
}

// Waits for the page and for the buttons it sets, then reports what is
// enabled: a page that sets others shows them once the wait has run out.
bool WaitForPage(const std::string& name) {
    if (!WaitFor([&] { return PageName(CurrentPage()) == name; }))
        return false;
    WaitFor([&] { return PageButtonsSet(name); });
    Fields fields = {{"name", Str(name)}};
    for (const WizardButton& button : kWizardButtons)
        fields.push_back({button.name, Bool(Shown(g.wizard, button.id))});
    Emit("page", fields);
    return true;
}

// Reads the screen under rect into a bottom-up 24-bit DIB: reading the
// screen works across processes where PrintWindow does not.
struct Capture {
    BITMAPINFOHEADER info;
    std::vector<unsigned char> bits;
};

bool CaptureScreen(const RECT& rect, Capture* capture) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    capture->info = {sizeof capture->info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, (BITMAPINFO*)&capture->info, DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    bool ok = dib && BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    if (ok) {
        const unsigned char* start = (const unsigned char*)bits;
        capture->bits.assign(start, start + ((width * 3 + 3) & ~3) * height);
    }
    DeleteObject(SelectObject(memory, old));
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool SaveCapture(const Capture& capture, const std::string& path) {
    DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof capture.info;
    BITMAPFILEHEADER file = {0x4D42, offset + (DWORD)capture.bits.size(), 0, 0, offset};
    FILE* out = fopen(path.c_str(), "wb");
    if (!out)
        return false;
    fwrite(&file, sizeof file, 1, out);
    fwrite(&capture.info, sizeof capture.info, 1, out);
    fwrite(capture.bits.data(), capture.bits.size(), 1, out);
    return fclose(out) == 0;
}

BOOL CALLBACK NoUpdatePending(HWND window, LPARAM painted) {
    if (GetUpdateRect(window, nullptr, FALSE))
        *(bool*)painted = false;
    return TRUE;
}

// True when no window of the wizard waits for its WM_PAINT.
bool Painted() {
    bool painted = !GetUpdateRect(g.wizard, nullptr, FALSE);
    EnumChildWindows(g.wizard, NoUpdatePending, (LPARAM)&painted);
    return painted;
}

// Saves the wizard once it has painted everything and the screen shows it:
// two captures in a row are the same. Reports the page's client origin
// relative to the window, its size, and the logo window relative to the page.
bool TakeShot(const std::string& name) {
    RECT window, client, logo = {0, 0, 0, 0};
    Capture last, next;
    bool stable = WaitFor([&] {
        if (!Painted() || !GetWindowRect(g.wizard, &window) || !CaptureScreen(window, &next))
            return false;
        bool same = next.bits == last.bits;
        last = next;
        return same;
    });
    HWND page = CurrentPage();
    if (!stable || !page || !SaveCapture(last, g.shots + "\\" + name + ".bmp"))
        return false;
    POINT origin = {0, 0};
    ClientToScreen(page, &origin);
    GetClientRect(page, &client);
    if (HWND logoWindow = FindWindowExA(page, nullptr, "BmpWClass", nullptr)) {
        GetWindowRect(logoWindow, &logo);
        MapWindowPoints(nullptr, page, (POINT*)&logo, 2);
    }
    Emit("shot", {{"name", Str(name)},
                  {"client", Arr({origin.x - window.left, origin.y - window.top})},
                  {"size", Arr({client.right, client.bottom})},
                  {"logo", Arr({logo.left, logo.top, logo.right - logo.left,
                                logo.bottom - logo.top})}});
    return true;
}

// Buttons are posted, not sent: Finish runs the install inside the wizard
// and blocks in its message boxes.
bool RunStep(const std::string& step) {
    if (step.compare(0, 5, "page:") == 0)
        return WaitForPage(step.substr(5));
    if (step.compare(0, 5, "shot:") == 0)
        return TakeShot(step.substr(5));
    if (step == "close")
        return PostMessageA(g.wizard, WM_SYSCOMMAND, SC_CLOSE, 0);
    for (const WizardButton& button : kWizardButtons)
        if (step == button.name)
            return PostMessageA(g.wizard, PSM_PRESSBUTTON, button.press, 0);
    return false;
}

bool ParseArgs(int argc, char** argv) {
    std::string answers;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string* value = arg == "--exe"       ? &g.exe
                             : arg == "--dir"     ? &g.dir
                             : arg == "--shots"   ? &g.shots
                             : arg == "--answers" ? &answers
                                                  : nullptr;
        if (value && i + 1 < argc)
            *value = argv[++i];
        else if (arg[0] == '-')
            return false;
        else
            g.steps.push_back(arg);
    }
    std::istringstream list(answers);
    for (std::string answer; std::getline(list, answer, ',');)
        if (!answer.empty())
            g.answers.push_back(answer);
    return !g.exe.empty() && !g.dir.empty();
}

}  // namespace

// Exit code 0 when every step ran and setup.exe ended in time.
int main(int argc, char** argv) {
    if (!ParseArgs(argc, argv)) {
        fprintf(stderr, "usage: kelmo_drive --exe PATH --dir DIR [--shots DIR] "
                        "[--answers LIST] STEP...\n");
        return 3;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + g.exe + "\"";
    g.started = GetTickCount();
    if (!CreateProcessA(g.exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        g.dir.c_str(), &startup, &g.process)) {
        Emit("error", {{"step", Str("start")}, {"code", std::to_string(GetLastError())}});
        return 1;
    }
    bool ok = WaitFor([] { return g.wizard != nullptr; });
    if (!ok)
        Emit("error", {{"step", Str("wizard")}});
    for (size_t i = 0; ok && i < g.steps.size(); ++i)
        if (!(ok = RunStep(g.steps[i])))
            Emit("error", {{"step", Str(g.steps[i])}});
    while (Pump(200))
        continue;
    if (!Exited()) {
        Emit("timeout", {{"seconds", std::to_string(kTimeoutMs / 1000)}});
        TerminateProcess(g.process.hProcess, 255);
        WaitForSingleObject(g.process.hProcess, 5000);
        return 2;
    }
    DWORD code = 0;
    GetExitCodeProcess(g.process.hProcess, &code);
    Emit("exit", {{"code", std::to_string(code)}});
    return ok ? 0 : 1;
}
