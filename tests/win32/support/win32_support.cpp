#include "win32_support.h"

#include <gtest/gtest.h>

TempDir::TempDir(const char* tag) {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static int counter = 0;
    char name[MAX_PATH];
    wsprintfA(name, "%skelmo_%s_%lu_%d", base, tag, GetCurrentProcessId(), ++counter);
    path = name;
    RemoveTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path); }

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    DWORD written = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(bytes.size(), written);
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(h);
    return bytes;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

std::string RegReadString(HKEY root, const std::string& key, const char* valueName) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return "<no key>";
    char data[1024];
    DWORD cb = sizeof data - 1;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(h, valueName, nullptr, &type, (BYTE*)data, &cb);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        return "<no value>";
    if (type != REG_SZ)
        return "<not REG_SZ>";
    data[cb] = '\0';
    return data;
}

bool RegKeyExists(HKEY root, const std::string& key) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

void RegDeleteTreeA_(HKEY root, const std::string& key) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS)
        return;
    char sub[256];
    while (RegEnumKeyA(h, 0, sub, sizeof sub) == ERROR_SUCCESS)
        RegDeleteTreeA_(h, sub);
    RegCloseKey(h);
    RegDeleteKeyA(root, key.c_str());
}

BoxAnswerer::BoxAnswerer() : thread_(nullptr), stop_(0) {
    InitializeCriticalSection(&lock_);
    thread_ = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
}

BoxAnswerer::~BoxAnswerer() {
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    DeleteCriticalSection(&lock_);
}

void BoxAnswerer::Plan(int button, std::function<void()> before) {
    EnterCriticalSection(&lock_);
    plan_.push_back({button, before});
    LeaveCriticalSection(&lock_);
}

std::vector<SeenBox> BoxAnswerer::Seen() {
    EnterCriticalSection(&lock_);
    std::vector<SeenBox> copy = seen_;
    LeaveCriticalSection(&lock_);
    return copy;
}

DWORD WINAPI BoxAnswerer::ThreadProc(void* self) {
    static_cast<BoxAnswerer*>(self)->Run();
    return 0;
}

namespace {

struct FindBox {
    DWORD pid;
    const std::vector<HWND>* answered;
    HWND found;
};

BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM lParam) {
    FindBox* f = reinterpret_cast<FindBox*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64];
    if (pid != f->pid || !IsWindowVisible(hwnd) || !GetClassNameA(hwnd, cls, sizeof cls) ||
        lstrcmpA(cls, "#32770") != 0)
        return TRUE;
    // A message box has its text in the static control 65535.
    if (!GetDlgItem(hwnd, 0xFFFF))
        return TRUE;
    for (HWND h : *f->answered)
        if (h == hwnd)
            return TRUE;
    f->found = hwnd;
    return FALSE;
}

}  // namespace

void BoxAnswerer::Run() {
    while (!stop_) {
        FindBox f = {GetCurrentProcessId(), &answered_, nullptr};
        EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&f));
        if (!f.found) {
            Sleep(20);
            continue;
        }
        HWND box = f.found;
        Sleep(50);  // let the box finish showing
        SeenBox seen;
        char text[2048];
        GetWindowTextA(box, text, sizeof text);
        seen.caption = text;
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        seen.text = text;
        seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr && IsWindowVisible(GetDlgItem(box, IDCANCEL));
        // The icon control is 0x14 on Windows; Wine keeps an empty one, 0x440, in every box.
        seen.hasIcon = SendDlgItemMessageA(box, 0x0014, STM_GETICON, 0, 0) != 0 ||
                       SendDlgItemMessageA(box, 0x0440, STM_GETICON, 0, 0) != 0;
        Answer answer = {IDOK, nullptr};
        EnterCriticalSection(&lock_);
        seen_.push_back(seen);
        if (!plan_.empty()) {
            answer = plan_.front();
            plan_.erase(plan_.begin());
        }
        LeaveCriticalSection(&lock_);
        answered_.push_back(box);
        if (answer.before)
            answer.before();
        HWND button = GetDlgItem(box, answer.button);
        if (button)
            PostMessageA(button, BM_CLICK, 0, 0);
        else
            PostMessageA(box, WM_COMMAND, answer.button, 0);
        for (int i = 0; i < 250 && IsWindow(box); i++)
            Sleep(20);
        if (!IsWindow(box))
            answered_.pop_back();
    }
}

StatusPage::StatusPage() {
    hwnd = CreateWindowExA(0, "STATIC", "page", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 380, 16, hwnd,
                    (HMENU)(INT_PTR)1001, GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 30, 380, 16, hwnd,
                    (HMENU)(INT_PTR)1002, GetModuleHandleA(nullptr), nullptr);
}

StatusPage::~StatusPage() { DestroyWindow(hwnd); }

std::string StatusPage::Text(int id) const {
    char text[512];
    GetDlgItemTextA(hwnd, id, text, sizeof text);
    return text;
}
