// Helpers of the Win32 tests: temporary folders and files, and an answerer
// of the real message boxes the code under test shows.
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
std::string ReadFileBytes(const std::string& path);  // "<missing>" when it cannot be opened
std::string Entries(const std::string& dir);  // the sorted names in a folder, as created

// While alive, answers each message box of this thread from a timer its loop runs,
// with the next planned button (then OK) after its action. said lists the boxes,
// a line each: "caption: text", " [Cancel]" added where it has that button.
struct BoxAnswerer {
    struct Answer {
        int button;
        std::function<void()> before;
    };
    std::vector<Answer> plan;
    std::string said;
    UINT_PTR timer;
    BoxAnswerer();
    ~BoxAnswerer();
};
