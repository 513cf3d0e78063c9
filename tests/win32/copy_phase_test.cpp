// The copy phase under Wine: real SZDD files made by mscompress, the real LZ
// library, profile functions, status lines, progress bar and message boxes.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <lzexpand.h>

#include <filesystem>
#include <functional>
#include <map>
#include <regex>

#include "install/copy_phase_win32.h"
#include "install/file_calls_win32.h"
#include "install/restart_schedule_win32.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"
#include "win32_support.h"

namespace {

// The sample set's diskettes, compressed by mscompress, and its files, in the
// source and build trees, where Wine's Z: is the root.
const std::string kSet = "Z:" KELMO_SAMPLE_SET, kFiles = "Z:" KELMO_SAMPLE_FILES;

// The names the tests list, for files of the set: what counts is the name.
const struct { const char *name, *stored, *original; } kFixtures[] = {
    {"display.dr_", "disk1\\kelmo.dr_", "kelmo.drv"},  // 5000 bytes
    {"FOO.DR_", "disk1\\kelmotry.ex_", "kelmotry.exe"},  // 1500
    {"readme.1st", "disk1\\readme.1st", "readme.1st"},  // 458, not compressed
    {"vga.dr_", "disk2\\kelmo32.dl_", "kelmo32.dll"},  // 3100
    {"kelmo.vx_", "disk1\\kelmo.vx_", "kelmo.vxd"},  // 2048
    {"oem.in_", "disk1\\kelmo.in_", "kelmo.inf"},  // 1584
    {"x.dr_", "disk1\\kelmo.tx_", "kelmo.txt"},  // 159
};

std::string Fixture(const std::string& name, bool original = false) {
    for (const auto& f : kFixtures)
        if (name == f.name)
            return original ? kFiles + "\\" + f.original : kSet + "\\" + f.stored;
    return "<no fixture " + name + ">";
}

std::string Original(const char* name) { return ReadFileBytes(Fixture(name, true)); }

std::string Lower(std::string text) {
    CharLowerA(&text[0]);
    return text;
}

// The error box naming a file that could not be installed.
std::string CantInstall(const std::string& path) {
    return "Error: Can't install file: " + Lower(path) + "\n";
}

// The copy phase's file calls as the tests answer them: as the system does,
// except that MoveFileExA, as on Windows, never replaces a read-only file; a
// call that gFails names ("MoveFile", "MoveFileEx", "MoveFileExAtRestart",
// "DeleteFile") fails as a file in use does; with gWindows95 the version is
// Windows 95's and MoveFileExA is not implemented.
std::function<bool(const std::string& call, const std::string& from, const std::string& to)> gFails;
bool gWindows95;

bool Fails(const char* call, LPCSTR from, LPCSTR to = "") {
    SetLastError(ERROR_SHARING_VIOLATION);
    return gFails && gFails(call, from, to ? to : "");
}

BOOL WINAPI TestMoveFile(LPCSTR from, LPCSTR to) { return !Fails("MoveFile", from, to) && MoveFileA(from, to); }

BOOL WINAPI TestDeleteFile(LPCSTR path) { return !Fails("DeleteFile", path) && DeleteFileA(path); }

DWORD WINAPI TestGetVersion() { return gWindows95 ? 0xC3B60004 : GetVersion(); }  // 4.0, build 950

BOOL WINAPI TestMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
    bool atRestart = flags & MOVEFILE_DELAY_UNTIL_REBOOT;
    DWORD attributes = to ? GetFileAttributesA(to) : INVALID_FILE_ATTRIBUTES;
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (gWindows95 || (readOnly && !atRestart)) {
        SetLastError(gWindows95 ? ERROR_CALL_NOT_IMPLEMENTED : ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return !Fails(atRestart ? "MoveFileExAtRestart" : "MoveFileEx", from, to) && MoveFileExA(from, to, flags);
}

const FileCalls kTestFileCalls = {TestMoveFile, TestMoveFileEx, TestDeleteFile,
                                  kSystemFileCalls.getAttributes, kSystemFileCalls.setAttributes,
                                  kSystemFileCalls.writeProfileString, TestGetVersion};

// The platform's zero-terminated texts from a list that ends in an empty one,
// a line each, or with pairs "from>to" a line.
std::string Lines(const char* list, bool pairs) {
    std::string lines;
    for (const char* p = list; *p; p += lstrlenA(p) + 1) {
        lines += p;
        if (pairs)
            lines += ">" + std::string(p += lstrlenA(p) + 1);
        lines += "\n";
    }
    return lines;
}

// The restart's renames and deletes ("from>" deletes) as each family keeps
// them, taken away, so that no restart of the prefix carries them out.
std::string TakeRestartSchedule() {
    const char key[] = "System\\CurrentControlSet\\Control\\Session Manager";
    char pending[4096] = {}, wininit[4096] = {};
    DWORD cb = sizeof pending - 2;
    RegGetValueA(HKEY_LOCAL_MACHINE, key, "PendingFileRenameOperations", RRF_RT_ANY, nullptr, pending, &cb);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key, "PendingFileRenameOperations");
    GetPrivateProfileSectionA("rename", wininit, sizeof wininit, "wininit.ini");
    DeleteFileA("C:\\windows\\wininit.ini");
    return Lines(pending, true) + Lines(wininit, false);
}

std::string ShortPath(const std::string& path) {
    char shortPath[MAX_PATH] = "<none>";
    GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    return shortPath;
}

// Our temporary files in a folder (new ones kelXXXX.tmp, old ones keoXXXX.tmp)
// by what they hold; a second one with the same bytes under "again: " and
// the bytes.
std::map<std::string, std::string> OurTempFiles(const std::string& dir) {
    std::map<std::string, std::string> found;
    const std::regex ours("ke[lo][0-9a-f]{1,4}\\.tmp", std::regex::icase);
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (std::regex_match(entry.path().filename().string(), ours))
            for (std::string bytes = ReadFileBytes(entry.path().string());
                 !found.emplace(bytes, entry.path().string()).second;)
                bytes = "again: " + bytes;
    return found;
}

class CopyPhaseTest : public ::testing::Test {
protected:
    TempDir disk{"copydisk"}, win{"copywin"}, sys{"copysys"};
    HWND page = nullptr, bar = nullptr;
    DiskLabels labels;

    // The finish page's status lines and progress bar, on screen on a window
    // of their own, all waiting for their first paint as the page does when
    // the install starts.
    void SetUp() override {
        InitCommonControls();
        page = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 60, nullptr,
                               nullptr, nullptr, nullptr);
        int y = 0;
        for (int id : {IDC_SOURCE_STATUS, IDC_TARGET_STATUS, 0})  // 0: the progress bar
            bar = CreateWindowExA(0, id ? "STATIC" : PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE,
                                  0, (y += 20) - 20, 400, 18, page, (HMENU)(INT_PTR)id, nullptr,
                                  nullptr);
        // A wide range, so that a position above 100 is seen as it was sent.
        SendMessageA(bar, PBM_SETRANGE32, 0, 0x7FFFFFFF);
        lstrcpyA(gSetup.sourceDir, disk.path.c_str());
        lstrcpyA(gSetup.setupDatPath, (disk / "setup.dat").c_str());
        lstrcpyA(gSetup.windowsDir, win.path.c_str());
        lstrcpyA(gSetup.systemDir, sys.path.c_str());
        lstrcpyA(gSetup.driverInf, "oem.ini");
        lstrcpyA(gSetup.oemsetupInf, "oemsetup.inf");
        gSetup.copiedBytes = 0;
        gSetup.expectedBytes = 20000;
        gSetup.progressBar = bar;
        gFileCalls = &kTestFileCalls;
        gFails = nullptr;
        gWindows95 = false;
    }
    void TearDown() override {
        gFileCalls = &kSystemFileCalls;
        ReleaseSetupText(&gSetupText);
        DestroyWindow(page);
    }

    void Put(const std::string& fixture, const std::string& as = "") {
        ASSERT_TRUE(CopyFileA(Fixture(fixture).c_str(),
                              (disk / (as.empty() ? fixture : as)).c_str(), FALSE)) << fixture;
    }

    // Runs the lines of one list through CopySectionFiles, with the labels
    // of setup.dat as it is now.
    CopyListResult CopyList(std::string lines, const std::string& targetDir,
                            const std::string& sourceDir = "") {
        lines = "[WindowsDir]\r\n" + lines + (char)EndMarker;
        SetupText text = {(unsigned char*)&lines[0], (long)lines.size()};
        TakeDiskLabels(text.bytes, text.length, kSingleByteCodePage, ReadFromSetupDat, nullptr, &labels);
        return CopySectionFiles(page, &text, FindSection(text.bytes, text.length, "[WindowsDir]", kSingleByteCodePage),
                                &labels, (sourceDir.empty() ? disk.path : sourceDir).c_str(),
                                targetDir.c_str());
    }

    std::string Status() {
        char source[512], target[512];
        GetDlgItemTextA(page, IDC_SOURCE_STATUS, source, sizeof source);
        GetDlgItemTextA(page, IDC_TARGET_STATUS, target, sizeof target);
        return std::string(source) + "\n" + target;
    }
};

TEST_F(CopyPhaseTest, InstallsEveryListedFileExpandedUnderItsInstalledName) {
    CreateDirectoryA((disk / "disk1").c_str(), nullptr);
    CreateDirectoryA((sys / "inf").c_str(), nullptr);
    for (const char* name : {"display.dr_", "FOO.DR_", "readme.1st", "kelmo.vx_", "oem.in_", "x.dr_"})
        Put(name);
    Put("vga.dr_", "disk1\\vga.dr_");
    // The INF's install name cannot lead out of the inf folder.
    lstrcpyA(gSetup.driverInf, "OEM.INI");
    lstrcpyA(gSetup.oemsetupInf, "..\\..\\oemsetup.inf");
    WriteFileBytes(disk / "setup.dat",
                   "[WindowsDir]\r\n1,display.dr_\r\n  \r\n1 FOO.DR_\r\n1,readme.1st\r\n"
                   "[SystemDir]\r\n1,disk1\\vga.dr_\r\n\r\n1,kelmo.vx_\r\n1,oem.in_\r\n"
                   "1,x.drv\r\n");  // the LZ library opens x.dr_ for it
    WriteFileBytes(win / "display.drv", "an older driver");
    BoxAnswerer boxes;
    CopyPhase(page);

    const std::pair<std::string, const char*> landed[] = {
        {win / "display.drv", "display.dr_"}, {win / "FOO.DRv", "FOO.DR_"},
        {win / "readme.1st", "readme.1st"},   {sys / "vga.drv", "vga.dr_"},
        {sys / "kelmo.vxd", "kelmo.vx_"},     {sys / "inf\\oemsetup.inf", "oem.in_"},
        {sys / "x.drv", "x.dr_"},
    };
    for (const auto& l : landed)
        EXPECT_EQ(Original(l.second), ReadFileBytes(l.first)) << l.first;
    // Nothing beside them: no temporary file, the older driver replaced.
    EXPECT_EQ("FOO.DRv display.drv readme.1st", Entries(win.path));
    EXPECT_EQ("inf kelmo.vxd vga.drv x.drv", Entries(sys.path));
    EXPECT_EQ("oemsetup.inf", Entries(sys / "inf"));
    EXPECT_EQ("", boxes.said);
    // Each size rounded up to 2048, a multiple of it (kelmo.vxd) as it is.
    EXPECT_EQ(6144 + 2048 * 2 + 4096 + 2048 * 3, gSetup.copiedBytes);
    EXPECT_EQ(102, (int)SendMessageA(bar, PBM_GETPOS, 0, 0));
    EXPECT_EQ("\n", Status());
    // The install runs with no message loop, yet no window is left waiting
    // for its paint: the status lines and the bar are on the screen.
    EXPECT_FALSE(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT);
}

// Targets in use, on either family: one call cannot replace them, so each is
// moved aside for the new file. When the new file cannot then be renamed in,
// the old one goes back; when neither can, the box says where the old one
// is. An old file that cannot be deleted, as a loaded driver cannot, is
// deleted at the restart; one that cannot even be moved aside is replaced
// then, and when it is listed twice, wininit.ini, which keeps one line a
// key, lets the earlier copy go at once. A read-only target, which neither
// family replaces in one call, is moved aside and its leftover deleted.
TEST_F(CopyPhaseTest, TargetInUseIsPutBackOrSaidOrReplacedAtTheRestart) {
    for (const char* name : {"display.dr_", "kelmo.vx_", "readme.1st", "x.dr_", "FOO.DR_"})
        Put(name);
    const std::string newDriver = Original("display.dr_"), newX = Original("x.dr_");
    TakeRestartSchedule();
    for (bool windows95 : {false, true}) {
        SCOPED_TRACE(windows95 ? "Windows 95" : "NT");
        TempDir dir(windows95 ? "copywin95" : "copywinnt");
        for (const char* name : {"display.drv", "kelmo.vxd", "readme.1st", "x.drv", "FOO.DRv"})
            WriteFileBytes(dir / name, std::string("old ") + name);
        SetFileAttributesA((dir / "FOO.DRv").c_str(), FILE_ATTRIBUTE_READONLY);
        gWindows95 = windows95;
        gFails = [&](const std::string& call, const std::string& from, const std::string& to) {
            return (call == "MoveFileEx" && to != dir / "FOO.DRv") ||
                   (call == "MoveFile" && (to == dir / "kelmo.vxd" || from == dir / "x.drv" ||
                                           (to == dir / "display.drv" && ReadFileBytes(from) == newDriver))) ||
                   (call == "DeleteFile" && ReadFileBytes(from) == "old readme.1st");
        };
        BoxAnswerer boxes;
        EXPECT_EQ(kListCopied, CopyList("1,display.dr_\r\n1,kelmo.vx_\r\n1,readme.1st\r\n1,x.dr_\r\n"
                                        "1,x.dr_\r\n1,FOO.DR_\r\n", dir.path));
        // A later run deletes only what a run cut off would leave: a new
        // file that the restart is not to rename.
        WriteFileBytes(dir / "kel1.tmp", "cut off");
        WriteFileBytes(dir / "kelvin.tmp", "another program's");
        lstrcpyA(gSetup.windowsDir, dir.path.c_str());
        DeleteUnfinishedFilesOfEarlierRuns();
        EXPECT_EQ("another program's", ReadFileBytes(dir / "kelvin.tmp"));
        std::string schedule = TakeRestartSchedule();
        auto ours = OurTempFiles(dir.path);
        EXPECT_EQ("old display.drv", ReadFileBytes(dir / "display.drv"));
        EXPECT_EQ(Original("readme.1st"), ReadFileBytes(dir / "readme.1st"));
        EXPECT_EQ("old x.drv", ReadFileBytes(dir / "x.drv"));
        EXPECT_EQ(Original("FOO.DR_"), ReadFileBytes(dir / "FOO.DRv"));
        EXPECT_EQ(windows95 ? 3u : 4u, ours.size()) << Entries(dir.path);
        EXPECT_EQ(CantInstall(dir / "display.drv") + "Error: Can't install file: " + Lower(dir / "kelmo.vxd") +
                      "\n\nThe file that was there is now " + Lower(ours["old kelmo.vxd"]) + "\n",
                  boxes.said);
        if (windows95)
            EXPECT_EQ("NUL=" + ShortPath(ours["old readme.1st"]) + "\n" + ShortPath(dir / "x.drv") + "=" +
                          ShortPath(ours[newX]) + "\n", schedule);
        else
            EXPECT_EQ("\\??\\" + ours["old readme.1st"] + ">\n\\??\\" + ours[newX] + ">!\\??\\" +
                          dir / "x.drv" + "\n\\??\\" + ours["again: " + newX] + ">!\\??\\" + dir / "x.drv" + "\n",
                      schedule);
    }
}

// A failed copy leaves the installed file as it was and nothing beside it, is
// said once, and the list goes on: a compressed file cut short, one that cannot
// be read, as on a bad sector, an INF without the inf folder to go in, and a
// folder where the file would go, which is not moved.
TEST_F(CopyPhaseTest, FailedCopyKeepsTheInstalledFileAndIsSaid) {
    std::string whole = ReadFileBytes(Fixture("display.dr_"));
    WriteFileBytes(disk / "display.dr_", whole.substr(0, whole.size() / 2));
    Put("readme.1st");
    Put("oem.in_");
    Put("kelmo.vx_");
    CreateDirectoryA((win / "kelmo.vxd").c_str(), nullptr);
    WriteFileBytes(win / "kelmo.vxd\\inside", "kept");
    WriteFileBytes(win / "display.drv", "the installed driver");
    WriteFileBytes(win / "unreadable.drv", "the installed other driver");
    BoxAnswerer boxes;
    EXPECT_EQ(kListCopied, CopyList("1,unreadable.dr_\r\n", win.path, "Z:" KELMO_UNREADABLE));
    EXPECT_EQ(kListCopied, CopyList("1,display.dr_\r\n1,oem.in_\r\n1,kelmo.vx_\r\n1,readme.1st\r\n",
                                    win.path));
    EXPECT_EQ("the installed driver", ReadFileBytes(win / "display.drv"));
    EXPECT_EQ("the installed other driver", ReadFileBytes(win / "unreadable.drv"));
    EXPECT_EQ(Original("readme.1st"), ReadFileBytes(win / "readme.1st"));
    EXPECT_EQ("display.drv kelmo.vxd readme.1st unreadable.drv", Entries(win.path));
    EXPECT_EQ("inside", Entries(win / "kelmo.vxd"));
    EXPECT_EQ(CantInstall(win / "unreadable.drv") + CantInstall(win / "display.drv") +
                  CantInstall(win / "inf\\oemsetup.inf") + CantInstall(win / "kelmo.vxd"),
              boxes.said);
    EXPECT_EQ(2048, gSetup.copiedBytes) << "only readme.1st counts";
    // The status lines show the paths of the last file, in lower case.
    EXPECT_EQ("Copy : " + Lower(disk / "readme.1st") + "\nTo : " + Lower(win / "readme.1st"),
              Status());
}

// A missing file asks for its diskette until it is there or Cancel ends the
// list, also while the drive is empty or without a medium (the LZ library
// says "not found" then too), with the labels setup.dat gave before it left
// the drive; a disk id without one keeps the previous prompt's.
TEST_F(CopyPhaseTest, MissingFileAsksForItsDisketteUntilItIsThereOrCancel) {
    const std::string drive = std::string("Z:") + getenv("WINEPREFIX") + "/drive_a";  // what A: shows
    WriteFileBytes("A:\\setup.dat", "[Source Media Descriptions]\r\n2=Driver Disk 2\r\n");
    lstrcpyA(gSetup.setupDatPath, "A:\\setup.dat");
    auto put = [](const char* name) {
        CopyFileA(Fixture(name).c_str(), ("A:\\" + std::string(name)).c_str(), 0);
    };
    BoxAnswerer boxes;
    boxes.plan = {{IDOK, [&] { DeleteFileA("A:\\setup.dat"), RemoveDirectoryA(drive.c_str()); }},
                  {IDOK, [&] { CreateDirectoryA(drive.c_str(), nullptr), put("kelmo.vx_"), put("x.dr_"); }},
                  {IDCANCEL}};
    EXPECT_EQ(kListCancelled, CopyList("2,kelmo.vx_\r\n3,display.dr_\r\n1,x.dr_\r\n", win.path, "A:"));
    for (const char* name : {"kelmo.vx_", "x.dr_"})
        DeleteFileA(("A:\\" + std::string(name)).c_str());
    EXPECT_EQ(Original("kelmo.vx_"), ReadFileBytes(win / "kelmo.vxd"));
    EXPECT_EQ("kelmo.vxd", Entries(win.path));
    std::string prompt = "Error: Please insert the diskette labeled Driver Disk 2 into A: [Cancel]\n";
    EXPECT_EQ(prompt + prompt + prompt, boxes.said);
    // Ids that are no digit, in one list, each with its own label: none, a letter, 1252's é.
    WriteFileBytes("A:\\setup.dat", "[Source Media Descriptions]\r\n=None\r\na=Letter\r\n\xe9=High\r\n");
    boxes.said.clear();
    boxes.plan = {{IDOK, [&] { put("x.dr_"); }}, {IDOK, [&] { put("kelmo.vx_"); }}, {IDCANCEL}};
    EXPECT_EQ(kListCancelled, CopyList(",x.dr_\r\na,kelmo.vx_\r\n\xe9,readme.1st\r\n", win.path, "A:"));
    for (const char* name : {"kelmo.vx_", "x.dr_", "setup.dat"})
        DeleteFileA(("A:\\" + std::string(name)).c_str());
    std::string prompts;
    for (const char* label : {"None", "Letter", "High"})
        prompts += "Error: Please insert the diskette labeled " + std::string(label) + " into A: [Cancel]\n";
    EXPECT_EQ(prompts, boxes.said);
}

// The LZ library takes paths of up to 127 characters: the target folder has
// room for x.drv, not for display.drv, which cut to fit would be another file.
// A source too long to open must not ask for a diskette. x.dr_ lies beside the
// source folder, reached through "..": reading there is allowed, writing not.
TEST_F(CopyPhaseTest, NamesCannotLeaveTheTargetAndTooLongPathsAreSkippedWithoutPrompt) {
    std::string target = win / std::string(120 - win.path.size() - 1, 't');
    std::string source = disk / "d", deepDir(127 - source.size() - 1, 's');
    for (const std::string& dir : {target, source, source + "\\" + deepDir})
        CreateDirectoryA(dir.c_str(), nullptr);
    Put("display.dr_", "d\\display.dr_");
    Put("kelmo.vx_", "d\\" + deepDir + "\\kelmo.vx_");
    Put("x.dr_");
    BoxAnswerer boxes;
    EXPECT_EQ(kListCopied,
              CopyList("1\r\n1,..\r\n1," + deepDir + "\\kelmo.vx_\r\n1," + std::string(220, 's') +
                           "\\x.dr_\r\n1,display.dr_\r\n1,sub/../../x.dr_\r\n",
                       target, source));
    EXPECT_EQ("", boxes.said);
    EXPECT_EQ(Original("x.dr_"), ReadFileBytes(target + "\\x.drv"));
    EXPECT_EQ("x.drv", Entries(target));
    EXPECT_EQ(target.substr(win.path.size() + 1), Entries(win.path));
    EXPECT_EQ(2048, gSetup.copiedBytes);
}

}  // namespace
