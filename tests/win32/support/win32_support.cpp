#include "win32_support.h"

#include <gtest/gtest.h>

#include "setupinfo/setup_vocabulary.h"

bool WaitUntil(const std::function<bool()>& ready) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(20))
        if (ready())
            return true;
    return ready();
}

TempDir::TempDir(const char* tag) {
    char base[MAX_PATH], name[MAX_PATH];
    static int counter = 0;
    GetTempPathA(sizeof base, base);
    wsprintfA(name, "%skelmo_%s_%lu_%d", base, tag, GetCurrentProcessId(), ++counter);
    path = name;
    RemoveTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path); }

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    DWORD written = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(bytes.size(), written);
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
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
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
        std::string name = data.cFileName, full = path + "\\" + name;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(full);
        else
            DeleteFileA(full.c_str());
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    RemoveDirectoryA(path.c_str());
}

std::string RegReadString(HKEY root, const std::string& key, const char* valueName) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return "<no key>";
    char data[1024];
    DWORD cb = sizeof data - 1, type = 0;
    LONG rc = RegQueryValueExA(h, valueName, nullptr, &type, (BYTE*)data, &cb);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        return "<no value>";
    data[cb] = '\0';
    return type == REG_SZ ? data : "<not REG_SZ>";
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

BoxAnswerer::BoxAnswerer() : stop_(0) {
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
    const std::vector<HWND>* answered;
    HWND found;
};

// A visible dialog of this process with a message box's text control 65535.
BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM lParam) {
    FindBox* f = reinterpret_cast<FindBox*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64];
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) ||
        !GetClassNameA(hwnd, cls, sizeof cls) || lstrcmpA(cls, "#32770") != 0 ||
        !GetDlgItem(hwnd, 0xFFFF))
        return TRUE;
    for (HWND h : *f->answered)
        if (h == hwnd)
            return TRUE;
    f->found = hwnd;
    return FALSE;
}

std::string ItemText(HWND box, int id) {
    char text[2048];
    if (id < 0)
        GetWindowTextA(box, text, sizeof text);
    else
        GetDlgItemTextA(box, id, text, sizeof text);
    return text;
}

}  // namespace

void BoxAnswerer::Run() {
    while (!stop_) {
        FindBox f = {&answered_, nullptr};
        EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&f));
        if (f.found)
            Answer(f.found);
        else
            Sleep(20);
    }
}

void BoxAnswerer::Answer(HWND box) {
    HWND cancel = GetDlgItem(box, IDCANCEL);
    // The icon control is 0x14 on Windows; Wine keeps an empty one, 0x440, in every box.
    SeenBox seen = {ItemText(box, -1), ItemText(box, 0xFFFF), cancel && IsWindowVisible(cancel),
                    SendDlgItemMessageA(box, 0x0014, STM_GETICON, 0, 0) != 0 ||
                        SendDlgItemMessageA(box, 0x0440, STM_GETICON, 0, 0) != 0};
    std::pair<int, std::function<void()>> answer = {IDOK, nullptr};
    EnterCriticalSection(&lock_);
    seen_.push_back(seen);
    if (!plan_.empty()) {
        answer = plan_.front();
        plan_.erase(plan_.begin());
    }
    LeaveCriticalSection(&lock_);
    answered_.push_back(box);
    if (answer.second)
        answer.second();
    HWND button = GetDlgItem(box, answer.first);
    if (button)
        PostMessageA(button, BM_CLICK, 0, 0);
    else
        PostMessageA(box, WM_COMMAND, answer.first, 0);
    if (WaitUntil([box] { return !IsWindow(box); }))
        answered_.pop_back();
}

StatusPage::StatusPage() {
    HINSTANCE self = GetModuleHandleA(nullptr);
    hwnd = CreateWindowExA(0, "STATIC", "page", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, self,
                           nullptr);
    for (int id : {IDC_SOURCE_STATUS, IDC_TARGET_STATUS})
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10,
                        id == IDC_SOURCE_STATUS ? 10 : 30, 380, 16,
                        hwnd, (HMENU)(INT_PTR)id, self, nullptr);
}

std::string StatusPage::Text(int id) const {
    char text[512];
    GetDlgItemTextA(hwnd, id, text, sizeof text);
    return text;
}
