// The copy phase under Wine: real SZDD files made by mscompress, the real LZ
// library, profile functions, status lines, progress bar and message boxes.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "install/copy_phase_win32.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"
#include "win32_support.h"

namespace {

// The fixture folder of the build tree as Wine sees it (Z: is the root).
std::string Fixtures() {
    std::string path = "Z:" KELMO_COPY_FIXTURES;
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

std::string Original(const std::string& name) { return ReadFileBytes(Fixtures() + "\\plain\\" + name); }

// The sorted names in a folder, in the case they were created with.
std::string Entries(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    std::vector<std::string> names;
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data))
        if (lstrcmpA(data.cFileName, ".") != 0 && lstrcmpA(data.cFileName, "..") != 0)
            names.push_back(data.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    std::sort(names.begin(), names.end());
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : " ") + name;
    return list;
}

std::string Lower(std::string text) {
    CharLowerA(&text[0]);
    return text;
}

void ExpectBoxes(const std::vector<SeenBox>& seen, size_t count, const std::string& text,
                 bool hasCancel) {
    ASSERT_EQ(count, seen.size()) << text;
    for (const SeenBox& box : seen) {
        EXPECT_EQ("Error", box.caption);
        EXPECT_EQ(text, box.text);
        EXPECT_EQ(hasCancel, box.hasCancel) << text;
        EXPECT_EQ(!hasCancel, box.hasIcon) << text;
    }
}

class CopyPhaseTest : public ::testing::Test {
protected:
    TempDir disk{"copydisk"}, win{"copywin"}, sys{"copysys"};
    StatusPage page;
    HWND bar = nullptr;

    void SetUp() override {
        InitCommonControls();
        bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 50, 200, 18, page.hwnd, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
        // A wide range, so that positions above 100 are seen as they were sent.
        SendMessageA(bar, PBM_SETRANGE32, 0, 0x7FFFFFFF);
        ReleaseSetupText(&gSetupText);
        lstrcpyA(gSetup.sourceDir, disk.path.c_str());
        lstrcpyA(gSetup.setupDatPath, (disk / "setup.dat").c_str());
        lstrcpyA(gSetup.windowsDir, win.path.c_str());
        lstrcpyA(gSetup.systemDir, sys.path.c_str());
        gSetup.driverInf[0] = gSetup.oemsetupInf[0] = '\0';
        gSetup.copiedBytes = 0;
        gSetup.expectedBytes = 1000000;
        gSetup.progressBar = bar;
    }
    void TearDown() override {
        ReleaseSetupText(&gSetupText);
        gSetup.progressBar = nullptr;
    }

    void Put(const std::string& fixture, const std::string& as = "") {
        ASSERT_TRUE(CopyFileA((Fixtures() + "\\" + fixture).c_str(),
                              (disk / (as.empty() ? fixture : as)).c_str(), FALSE))
            << fixture;
    }

    // Runs one list through CopySectionFiles, from a text held in memory.
    CopyListResult CopyList(const std::string& lines, const std::string& targetDir,
                 const std::string& sourceDir = "") {
        std::string text = "[List]\r\n" + lines + "\x1A";
        SetupText setupText = {(unsigned char*)&text[0], (long)text.size()};
        long position = FindSection(setupText.bytes, setupText.length, "[List]");
        return CopySectionFiles(page.hwnd, &setupText, position,
                                sourceDir.empty() ? disk.path.c_str() : sourceDir.c_str(),
                                targetDir.c_str());
    }

    int Position() { return (int)SendMessageA(bar, PBM_GETPOS, 0, 0); }
};

TEST_F(CopyPhaseTest, InstallsEveryListedFileExpandedUnderItsInstalledName) {
    CreateDirectoryA((disk / "disk1").c_str(), nullptr);
    CreateDirectoryA((sys / "inf").c_str(), nullptr);
    for (const char* name : {"display.dr_", "FOO.DR_", "readme.1st", "kelmo.vx_", "oem.in_"})
        Put(name);
    Put("vga.dr_", "disk1\\vga.dr_");
    WriteFileBytes(disk / "setup.dat",
                   "[Product]\r\nDriverInf=oem.ini\r\nOemsetupInf=oemsetup.inf\r\n"
                   "[WindowsDir]\r\n1,display.dr_\r\n  \r\n1 FOO.DR_\r\n1,readme.1st\r\n"
                   "[SystemDir]\r\n1,disk1\\vga.dr_\r\n\r\n1,kelmo.vx_\r\n1,oem.in_\r\n");
    WriteFileBytes(win / "display.drv", "an older driver");  // replaced, nothing left beside
    BoxAnswerer boxes;
    CopyPhase(page.hwnd);

    const std::pair<std::string, const char*> landed[] = {
        {win / "display.drv", "display.drv"}, {win / "FOO.DRv", "FOO.DRV"},
        {win / "readme.1st", "readme.1st"},   {sys / "vga.drv", "vga.drv"},
        {sys / "kelmo.vxd", "kelmo.vxd"},     {sys / "inf\\oemsetup.inf", "oem.ini"},
    };
    for (const auto& l : landed)
        EXPECT_EQ(Original(l.second), ReadFileBytes(l.first)) << l.first;
    EXPECT_EQ("FOO.DRv display.drv readme.1st", Entries(win.path));
    EXPECT_EQ("inf kelmo.vxd vga.drv", Entries(sys.path));
    EXPECT_EQ("oemsetup.inf", Entries(sys / "inf"));
    EXPECT_TRUE(boxes.Seen().empty());
    // 10000, 700, 1500, 5000, 3000 and 49 bytes, each rounded up to 2048.
    EXPECT_EQ(10240 + 2048 * 2 + 6144 + 4096 + 2048, gSetup.copiedBytes);
    EXPECT_EQ(2, Position());
    EXPECT_EQ("", page.Text(IDC_SOURCE_STATUS));
    EXPECT_NE(nullptr, gSetupText.bytes) << "the registry phase still needs the text";
}

TEST_F(CopyPhaseTest, ProgressAbove100AndNoDivisionByZero) {
    for (const char* name : {"size1.tx_", "size4096.tx_", "size4097.tx_"})
        Put(name);
    struct Case {
        int expected;
        bool withBar;
        int position;
    } cases[] = {{10000, true, 122}, {0, true, 0}, {-1000, true, 0}, {10000, false, 777}};
    for (const Case& c : cases) {
        TempDir target("copysizes");
        gSetup.copiedBytes = 0;
        gSetup.expectedBytes = c.expected;
        gSetup.progressBar = c.withBar ? bar : nullptr;
        SendMessageA(bar, PBM_SETPOS, 777, 0);
        EXPECT_EQ(kListCopied,
                  CopyList("1,size1.tx_\r\n1,size4096.tx_\r\n1,size4097.tx_\r\n", target.path));
        EXPECT_EQ(2048 + 4096 + 6144, gSetup.copiedBytes);
        EXPECT_EQ(c.position, Position()) << c.expected;
        EXPECT_EQ(Original("size4097.txt"), ReadFileBytes(target / "size4097.txt"));
    }
}

TEST_F(CopyPhaseTest, DriverInfGoesIntoTheInfFolderUnderItsInstallName) {
    Put("oem.in_");
    struct Case {
        const char *driverInf, *oemsetupInf;
        bool infFolder;
        const char* landsAs;  // below the target, or null when nothing lands
    } cases[] = {
        {"oem.ini", "oemsetup.inf", true, "inf\\oemsetup.inf"},
        {"OEM.INI", "oemsetup.inf", true, "inf\\oemsetup.inf"},
        {"oem.ini", "..\\..\\escape.inf", true, "inf\\escape.inf"},
        {"oem.ini", "oemsetup.inf", false, nullptr},
        {"oem.in_", "oemsetup.inf", true, "oem.ini"},
        {"", "oemsetup.inf", true, "oem.ini"},
    };
    BoxAnswerer boxes;
    for (const Case& c : cases) {
        TempDir target("copyinf");
        if (c.infFolder)
            CreateDirectoryA((target / "inf").c_str(), nullptr);
        lstrcpyA(gSetup.driverInf, c.driverInf);
        lstrcpyA(gSetup.oemsetupInf, c.oemsetupInf);
        size_t boxesBefore = boxes.Seen().size();
        EXPECT_EQ(kListCopied, CopyList("1,oem.in_\r\n", target.path));
        // Without an inf folder the file cannot be installed, and that is said.
        std::vector<SeenBox> seen = boxes.Seen();
        ASSERT_EQ(boxesBefore + (c.infFolder ? 0 : 1), seen.size());
        if (!c.infFolder)
            EXPECT_EQ("Can't install file: " + Lower(target / "inf\\oemsetup.inf"), seen.back().text);
        std::string all = Entries(target.path) + "|" + Entries(target / "inf");
        std::string where = std::string(c.driverInf) + " -> " + c.oemsetupInf;
        if (c.landsAs)
            EXPECT_EQ(Original("oem.ini"), ReadFileBytes(target / c.landsAs)) << where;
        // Nothing else lands anywhere.
        std::string name = c.landsAs ? c.landsAs : "";
        size_t cut = name.find('\\');
        EXPECT_EQ(!c.landsAs ? "|" : cut == std::string::npos ? "inf " + name + "|"
                                                              : "inf|" + name.substr(cut + 1),
                  all) << where;
    }
    EXPECT_FALSE(FileExists(disk.path + "\\..\\escape.inf"));
}

// A copy that fails leaves the installed file as it was and nothing beside
// it, is said once, and the list goes on: a compressed file cut short, and
// one that opens but cannot be read, as on a bad sector.
TEST_F(CopyPhaseTest, FailedCopyKeepsTheInstalledFileAndIsSaid) {
    std::string whole = ReadFileBytes(Fixtures() + "\\display.dr_");
    WriteFileBytes(disk / "display.dr_", whole.substr(0, whole.size() / 2));
    Put("readme.1st");
    WriteFileBytes(win / "display.drv", "the installed driver");
    WriteFileBytes(win / "unreadable.drv", "the installed other driver");
    BoxAnswerer boxes;
    EXPECT_EQ(kListCopied, CopyList("1,display.dr_\r\n1,readme.1st\r\n", win.path));
    EXPECT_EQ(kListCopied, CopyList("1,unreadable.dr_\r\n", win.path, Fixtures()));
    EXPECT_EQ("the installed driver", ReadFileBytes(win / "display.drv"));
    EXPECT_EQ("the installed other driver", ReadFileBytes(win / "unreadable.drv"));
    EXPECT_EQ(Original("readme.1st"), ReadFileBytes(win / "readme.1st"));
    EXPECT_EQ("display.drv readme.1st unreadable.drv", Entries(win.path));
    std::vector<SeenBox> seen = boxes.Seen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("Can't install file: " + Lower(win / "display.drv"), seen[0].text);
    EXPECT_EQ("Can't install file: " + Lower(win / "unreadable.drv"), seen[1].text);
    ExpectBoxes({seen[0]}, 1, seen[0].text, false);
    EXPECT_EQ(2048, gSetup.copiedBytes) << "only readme.1st counts";
}

TEST_F(CopyPhaseTest, MissingFileAsksForItsDisketteUntilItIsThereOrCancel) {
    WriteFileBytes(disk / "setup.dat", "[Source Media Descriptions]\r\n2=Driver Disk 2\r\n");
    BoxAnswerer boxes;
    boxes.Plan(IDOK);  // still not there: asked again
    boxes.Plan(IDOK, [this] { Put("kelmo.vx_"); });
    boxes.Plan(IDOK, [this] { Put("display.dr_"); });
    boxes.Plan(IDCANCEL);
    Put("notes");
    EXPECT_EQ(kListCancelled,
              CopyList("2,kelmo.vx_\r\n3,display.dr_\r\n1,notes\r\n5,gone.dr_\r\n1,notes\r\n",
                       win.path));
    EXPECT_EQ(Original("kelmo.vxd"), ReadFileBytes(win / "kelmo.vxd"));
    EXPECT_EQ(Original("display.drv"), ReadFileBytes(win / "display.drv"));
    EXPECT_EQ("display.drv kelmo.vxd notes", Entries(win.path));
    // Disk ids 3 and 5 have no description: the previous prompt's label stays.
    ExpectBoxes(boxes.Seen(), 4,
                "Please insert the diskette labeled Driver Disk 2 into " + disk.path.substr(0, 1) + ":",
                true);
}

TEST_F(CopyPhaseTest, CancelEndsTheWindowsListAndTheSystemListFollows) {
    Put("display.dr_");
    Put("kelmo.vx_");
    WriteFileBytes(disk / "setup.dat",
                   "[Source Media Descriptions]\r\n1=Driver Disk 1\r\n"
                   "[WindowsDir]\r\n4,missing.dr_\r\n1,display.dr_\r\n[SystemDir]\r\n1,kelmo.vx_\r\n");
    BoxAnswerer boxes;
    boxes.Plan(IDCANCEL);
    CopyPhase(page.hwnd);
    EXPECT_EQ("", Entries(win.path));
    EXPECT_EQ(Original("kelmo.vxd"), ReadFileBytes(sys / "kelmo.vxd"));
    // The label starts empty in each list.
    ExpectBoxes(boxes.Seen(), 1,
                "Please insert the diskette labeled  into " + disk.path.substr(0, 1) + ":", true);
}

TEST_F(CopyPhaseTest, MissingSectionOrSetupDatIsReportedAndReleasesTheText) {
    Put("display.dr_");
    struct Case {
        const char *setupDat, *box;  // a null text leaves setup.dat missing
        bool windowsCopied;
    } cases[] = {
        {"[SystemDir]\r\n1,display.dr_\r\n", "Can't find section: [WindowsDir]", false},
        {"[WindowsDir]\r\n1,display.dr_\r\n[systemdir]\r\n", "Can't find section: [SystemDir]", true},
        {nullptr, "Not enough memory to process Setup Information file.", false},
    };
    for (const Case& c : cases) {
        DeleteFileA((disk / "setup.dat").c_str());
        if (c.setupDat)
            WriteFileBytes(disk / "setup.dat", c.setupDat);
        DeleteFileA((win / "display.drv").c_str());
        SetDlgItemTextA(page.hwnd, IDC_SOURCE_STATUS, "before");
        BoxAnswerer boxes;
        CopyPhase(page.hwnd);
        ExpectBoxes(boxes.Seen(), 1, c.box, false);
        EXPECT_EQ(nullptr, gSetupText.bytes);
        EXPECT_EQ(0, gSetupText.length);
        EXPECT_EQ("", Entries(sys.path));
        EXPECT_EQ(c.windowsCopied, FileExists(win / "display.drv")) << c.box;
        // The status lines keep the last file's paths, in lower case.
        EXPECT_EQ(c.windowsCopied ? "Copy : " + Lower(disk / "display.dr_") : "",
                  page.Text(IDC_SOURCE_STATUS));
        EXPECT_EQ(c.windowsCopied ? "To : " + Lower(win / "display.drv") : "",
                  page.Text(IDC_TARGET_STATUS));
    }
}

TEST_F(CopyPhaseTest, NamesCannotLeaveTheTargetAndTooLongPathsAreSkippedWithoutPrompt) {
    // The LZ library takes paths of up to 127 characters. This target folder
    // leaves room for x.drv but not for display.drv, whose path cut to fit
    // would name a different file.
    std::string target = win.path;
    while (target.size() < 110)
        target += "\\tttttttttt";
    target += "\\" + std::string(120 - target.size(), 'u');
    for (size_t at = win.path.size() + 1; at <= target.size(); at++)
        if (at == target.size() || target[at] == '\\')
            CreateDirectoryA(target.substr(0, at).c_str(), nullptr);
    ASSERT_TRUE(FileExists(target));
    Put("display.dr_");
    Put("x.dr_");
    // A source that is there but too long to open must not ask for a diskette
    // that can never satisfy it. x.dr_ lies beside the source folder, reached
    // through the listed "..": reading there is allowed, writing is not.
    std::string source = disk / "d";
    std::string deepDir(127 - source.size() - 1, 's');
    CreateDirectoryA(source.c_str(), nullptr);
    CreateDirectoryA((source + "\\" + deepDir).c_str(), nullptr);
    Put("display.dr_", "d\\display.dr_");
    Put("kelmo.vx_", "d\\" + deepDir + "\\kelmo.vx_");
    Put("x.dr_");
    BoxAnswerer boxes;
    EXPECT_EQ(kListCopied,
              CopyList("1\r\n1,..\r\n1," + deepDir + "\\kelmo.vx_\r\n1," + std::string(220, 's') +
                           "\\x.dr_\r\n1,display.dr_\r\n1,sub/../../x.dr_\r\n",
                       target, source));
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_EQ(Original("x.drv"), ReadFileBytes(target + "\\x.drv"));
    EXPECT_EQ("x.drv", Entries(target));
    EXPECT_EQ("tttttttttt", Entries(win.path));
    EXPECT_EQ(2048, gSetup.copiedBytes);
}

}  // namespace
