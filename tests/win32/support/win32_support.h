// Helpers of the Win32 tests: temporary folders and files, registry
// clean-up, and an answerer that finds the real message boxes the code under
// test shows, records them and presses their buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A new empty folder below the temporary folder, removed with its contents.
struct TempDir {
    std::string path;
    explicit TempDir(const char* tag);
    ~TempDir();
    std::string operator/(const std::string& name) const { return path + "\\" + name; }
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);  // "<missing>" when unreadable
bool FileExists(const std::string& path);
void RemoveTree(const std::string& path);

// A REG_SZ value, or "<no key>", "<no value>", "<not REG_SZ>".
std::string RegReadString(HKEY root, const std::string& key, const char* valueName);
bool RegKeyExists(HKEY root, const std::string& key);
void RegDeleteTreeA_(HKEY root, const std::string& key);

// Polls ready until it holds or a minute has passed; returns its last answer.
// A limit, not a delay: under an emulated CPU windows take their time.
bool WaitUntil(const std::function<bool()>& ready);

struct SeenBox {
    std::string caption, text;
    bool hasCancel, hasIcon;
};

// Watches this process for message boxes from a second thread while it is
// alive. Each box is recorded and answered by the next planned answer (IDOK
// once the plan is used up); a planned action runs before the button press.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    void Plan(int button, std::function<void()> before = nullptr);
    std::vector<SeenBox> Seen();

private:
    static DWORD WINAPI ThreadProc(void* self);
    void Run();
    void Answer(HWND box);
    CRITICAL_SECTION lock_;
    std::vector<std::pair<int, std::function<void()>>> plan_;
    std::vector<SeenBox> seen_;
    std::vector<HWND> answered_;
    HANDLE thread_;
    volatile LONG stop_;
};

// A top-level window with the two status lines of the finish page, standing in
// for the finish page that owns them.
struct StatusPage {
    HWND hwnd;
    StatusPage();
    ~StatusPage() { DestroyWindow(hwnd); }
    std::string Text(int id) const;
};
