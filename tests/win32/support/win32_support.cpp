#include "win32_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "message_box.h"

// Removes a folder and everything in it, read-only files too.
static void RemoveTree(const std::string& path) {
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, error))
        SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path, error);
}

TempDir::TempDir(const char* tag) {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    path = base + ("kelmo_" + std::string(tag));
    RemoveTree(path);
    std::filesystem::create_directory(path);
}

TempDir::~TempDir() { RemoveTree(path); }

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    ASSERT_TRUE(out.write(bytes.data(), bytes.size()).flush().good()) << path;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

std::string Entries(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : " ") + name;
    return list;
}

static BoxAnswerer* gAnswerer;

// The press is posted, so the box closes before the next WM_TIMER, which a
// message loop hands out only when nothing else is waiting.
static void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowA("#32770", nullptr);
    MessageBoxView view;
    if (!box || GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId() ||
        !ReadMessageBox(box, &view))
        return;
    bool cancel = ControlUsable(box, IDCANCEL);
    gAnswerer->said += view.caption + ": " + view.text + (cancel ? " [Cancel]\n" : "\n");
    BoxAnswerer::Answer answer = {IDOK, nullptr};
    if (!gAnswerer->plan.empty()) {
        answer = gAnswerer->plan.front();
        gAnswerer->plan.erase(gAnswerer->plan.begin());
    }
    if (answer.before)
        answer.before();
    PressBoxButton(box, answer.button);
}

BoxAnswerer::BoxAnswerer() : timer(SetTimer(nullptr, 0, 50, AnswerBox)) { gAnswerer = this; }

BoxAnswerer::~BoxAnswerer() { KillTimer(nullptr, timer); }
