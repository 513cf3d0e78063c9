// The copy phase under Wine: real SZDD files made by mscompress, the real LZ
// library, profile functions, status lines, progress bar and message boxes.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "install/copy_phase.h"
#include "setupinfo/setup_state.h"
#include "win32_support.h"

namespace {

// The fixture folder of the build tree as Wine sees it (Z: is the root).
std::string Fixtures() {
    std::string path = "Z:" KELMO_COPY_FIXTURES;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string Original(const std::string& name) { return ReadFileBytes(Fixtures() + "\\plain\\" + name); }

std::string Lower(std::string text) {
    CharLowerA(&text[0]);
    return text;
}

// The name a folder entry really has, to see the case it was created with.
std::string StoredName(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return "<missing>";
    FindClose(find);
    return data.cFileName;
}

int CountEntries(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    int n = 0;
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (lstrcmpA(data.cFileName, ".") != 0 && lstrcmpA(data.cFileName, "..") != 0)
            n++;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return n;
}

class CopyPhaseTest : public ::testing::Test {
protected:
    TempDir disk{"copydisk"};
    TempDir win{"copywin"};
    TempDir sys{"copysys"};
    StatusPage page;
    HWND bar = nullptr;

    void SetUp() override {
        InitCommonControls();
        bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 50, 200, 18, page.hwnd, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, bar);
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
    int CopyList(const std::string& lines, const std::string& targetDir,
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
    for (const char* name : {"display.dr_", "FOO.DR_", "readme.1st", "notes", "kelmo.vx_", "oem.in_"})
        Put(name);
    Put("vga.dr_", "disk1\\vga.dr_");
    WriteFileBytes(disk / "setup.dat",
                   "[Product]\r\nDriverInf=oem.ini\r\nOemsetupInf=oemsetup.inf\r\n"
                   "[WindowsDir]\r\n1,display.dr_\r\n  \r\n1 FOO.DR_\r\n1,readme.1st\r\n1,notes\r\n"
                   "[SystemDir]\r\n1,disk1\\vga.dr_\r\n\r\n1,kelmo.vx_\r\n1,oem.in_\r\n");
    BoxAnswerer boxes;
    CopyPhase(page.hwnd);

    struct Landed {
        std::string path;
        const char* original;
    } landed[] = {
        {win / "display.drv", "display.drv"}, {win / "FOO.DRv", "FOO.DRV"},
        {win / "readme.1st", "readme.1st"},   {win / "notes", "notes"},
        {sys / "vga.drv", "vga.drv"},         {sys / "kelmo.vxd", "kelmo.vxd"},
        {sys / "inf\\oemsetup.inf", "oem.ini"},
    };
    for (const Landed& l : landed)
        EXPECT_EQ(Original(l.original), ReadFileBytes(l.path)) << l.path;
    EXPECT_EQ("FOO.DRv", StoredName(win / "FOO.DRv"));
    EXPECT_EQ(4, CountEntries(win.path));
    EXPECT_EQ(3, CountEntries(sys.path));  // vga.drv, kelmo.vxd, inf
    EXPECT_EQ(1, CountEntries(sys / "inf"));

    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_STREQ("oem.ini", gSetup.driverInf);
    EXPECT_STREQ("oemsetup.inf", gSetup.oemsetupInf);
    // 10000, 700, 1500, 200, 5000, 3000 and 49 bytes, each rounded up to 2048.
    EXPECT_EQ(10240 + 2048 * 3 + 6144 + 4096 + 2048, gSetup.copiedBytes);
    EXPECT_EQ(2, Position());
    EXPECT_EQ("", page.Text(1001));
    EXPECT_EQ("", page.Text(1002));
    EXPECT_NE(nullptr, gSetupText.bytes) << "the registry phase still needs the text";
}

TEST_F(CopyPhaseTest, CopiedBytesAndProgressPositions) {
    for (const char* name : {"size1.tx_", "size4096.tx_", "size4097.tx_"})
        Put(name);
    // 1, 4096 and 4097 bytes add 2048, 4096 and 6144.
    const int added = 12288;
    struct Case {
        int copiedBefore;
        int expected;
        bool withBar;
        int position;
    } cases[] = {
        {0, 1000000, true, 1},
        {0, 10000, true, 122},
        {489472, 1000000, true, 50},
        {2000000000, 2100000000, true, 95},  // overflows 32 bits if done there
        {0, 0, true, 0},
        {0, -1000, true, 0},
        {0, 10000, false, 777},
    };
    for (const Case& c : cases) {
        TempDir target("copysizes");
        gSetup.copiedBytes = c.copiedBefore;
        gSetup.expectedBytes = c.expected;
        gSetup.progressBar = c.withBar ? bar : nullptr;
        SendMessageA(bar, PBM_SETPOS, 777, 0);
        EXPECT_EQ(1, CopyList("1,size1.tx_\r\n1,size4096.tx_\r\n1,size4097.tx_\r\n", target.path));
        EXPECT_EQ(c.copiedBefore + added, gSetup.copiedBytes) << c.copiedBefore;
        EXPECT_EQ(c.position, Position()) << c.copiedBefore << " of " << c.expected;
        EXPECT_EQ(Original("size4097.txt"), ReadFileBytes(target / "size4097.txt"));
    }
}

TEST_F(CopyPhaseTest, DriverInfGoesIntoTheInfFolderUnderItsInstallName) {
    Put("oem.in_");
    Put("kelmo.vx_");
    struct Case {
        const char* driverInf;
        const char* oemsetupInf;
        bool infFolder;
        const char* landsAs;  // below the target, or null when nothing lands
        int entries;          // in the target folder, the inf folder counted
        int copied;
    } cases[] = {
        {"oem.ini", "oemsetup.inf", true, "inf\\oemsetup.inf", 2, 2048 + 4096},
        {"OEM.INI", "oemsetup.inf", true, "inf\\oemsetup.inf", 2, 2048 + 4096},
        {"oem.ini", "..\\..\\escape.inf", true, "inf\\escape.inf", 2, 2048 + 4096},
        {"oem.ini", "oemsetup.inf", false, nullptr, 1, 4096},
        {"oem.in_", "oemsetup.inf", true, "oem.ini", 3, 2048 + 4096},
        {"", "oemsetup.inf", true, "oem.ini", 3, 2048 + 4096},
    };
    BoxAnswerer boxes;
    for (const Case& c : cases) {
        TempDir target("copyinf");
        if (c.infFolder)
            CreateDirectoryA((target / "inf").c_str(), nullptr);
        lstrcpyA(gSetup.driverInf, c.driverInf);
        lstrcpyA(gSetup.oemsetupInf, c.oemsetupInf);
        gSetup.copiedBytes = 0;
        EXPECT_EQ(1, CopyList("1,oem.in_\r\n1,kelmo.vx_\r\n", target.path));
        std::string where = std::string(c.driverInf) + " -> " + c.oemsetupInf;
        if (c.landsAs)
            EXPECT_EQ(Original("oem.ini"), ReadFileBytes(target / c.landsAs)) << where;
        EXPECT_EQ(Original("kelmo.vxd"), ReadFileBytes(target / "kelmo.vxd")) << where;
        EXPECT_EQ(c.entries, CountEntries(target.path)) << where;
        EXPECT_EQ(c.copied, gSetup.copiedBytes) << where;
    }
    EXPECT_FALSE(FileExists(disk.path + "\\..\\escape.inf"));
    EXPECT_TRUE(boxes.Seen().empty()) << "a target that cannot be made is not reported";
}

TEST_F(CopyPhaseTest, MissingFileAsksForItsDisketteUntilItIsThere) {
    WriteFileBytes(disk / "setup.dat",
                   "[Source Media Descriptions]\r\n2=Driver Disk 2\r\n");
    BoxAnswerer boxes;
    boxes.Plan(IDOK);  // still not there: asked again
    boxes.Plan(IDOK, [this] { Put("kelmo.vx_"); });
    boxes.Plan(IDOK, [this] { Put("display.dr_"); });
    boxes.Plan(IDCANCEL);
    Put("notes");
    int result = CopyList("2,kelmo.vx_\r\n3,display.dr_\r\n1,notes\r\n5,gone.dr_\r\n1,notes\r\n",
                          win.path);
    EXPECT_EQ(2, result);
    EXPECT_EQ(Original("kelmo.vxd"), ReadFileBytes(win / "kelmo.vxd"));
    EXPECT_EQ(Original("display.drv"), ReadFileBytes(win / "display.drv"));
    EXPECT_EQ(3, CountEntries(win.path)) << "the line after the cancelled one is not copied";

    // Disk ids 3 and 5 have no description: the previous prompt's label stays.
    std::string drive(1, disk.path[0]);
    std::string text = "Please insert the diskette labeled Driver Disk 2 into " + drive + ":";
    std::vector<SeenBox> seen = boxes.Seen();
    ASSERT_EQ(4u, seen.size());
    for (const SeenBox& box : seen) {
        EXPECT_EQ("Error", box.caption);
        EXPECT_EQ(text, box.text);
        EXPECT_TRUE(box.hasCancel);
        EXPECT_FALSE(box.hasIcon);
    }
}

TEST_F(CopyPhaseTest, CancelEndsTheWindowsListAndTheSystemListFollows) {
    Put("display.dr_");
    Put("kelmo.vx_");
    WriteFileBytes(disk / "setup.dat",
                   "[Source Media Descriptions]\r\n1=Driver Disk 1\r\n"
                   "[WindowsDir]\r\n4,missing.dr_\r\n1,display.dr_\r\n"
                   "[SystemDir]\r\n1,kelmo.vx_\r\n");
    BoxAnswerer boxes;
    boxes.Plan(IDCANCEL);
    CopyPhase(page.hwnd);
    EXPECT_EQ(0, CountEntries(win.path));
    EXPECT_EQ(Original("kelmo.vxd"), ReadFileBytes(sys / "kelmo.vxd"));
    std::vector<SeenBox> seen = boxes.Seen();
    ASSERT_EQ(1u, seen.size());
    std::string drive(1, disk.path[0]);
    EXPECT_EQ("Please insert the diskette labeled  into " + drive + ":", seen[0].text)
        << "the label starts empty in each list";
}

TEST_F(CopyPhaseTest, MissingListSectionIsReportedAndReleasesTheText) {
    Put("display.dr_");
    struct Case {
        const char* setupDat;
        const char* box;
        bool windowsCopied;
    } cases[] = {
        {"[SystemDir]\r\n1,display.dr_\r\n", "Can't find section: [WindowsDir]", false},
        {"[WindowsDir]\r\n1,display.dr_\r\n[systemdir]\r\n", "Can't find section: [SystemDir]",
         true},
    };
    for (const Case& c : cases) {
        WriteFileBytes(disk / "setup.dat", c.setupDat);
        DeleteFileA((win / "display.drv").c_str());
        SetDlgItemTextA(page.hwnd, 1001, "before");
        BoxAnswerer boxes;
        CopyPhase(page.hwnd);
        std::vector<SeenBox> seen = boxes.Seen();
        ASSERT_EQ(1u, seen.size()) << c.box;
        EXPECT_EQ(c.box, seen[0].text);
        EXPECT_EQ("Error", seen[0].caption);
        EXPECT_TRUE(seen[0].hasIcon);
        EXPECT_FALSE(seen[0].hasCancel);
        EXPECT_EQ(nullptr, gSetupText.bytes);
        EXPECT_EQ(0, gSetupText.length);
        EXPECT_EQ(0, CountEntries(sys.path));
        EXPECT_EQ(c.windowsCopied, FileExists(win / "display.drv")) << c.box;
        // The status lines keep the last file's paths, in lower case.
        std::string source = c.windowsCopied ? "Copy : " + Lower(disk / "display.dr_") : "";
        std::string target = c.windowsCopied ? "To : " + Lower(win / "display.drv") : "";
        EXPECT_EQ(source, page.Text(1001)) << c.box;
        EXPECT_EQ(target, page.Text(1002)) << c.box;
    }
}

TEST_F(CopyPhaseTest, SetupDatThatCannotBeLoadedIsReported) {
    for (const std::string& path : {disk / "absent.dat", std::string()}) {
        lstrcpyA(gSetup.setupDatPath, path.c_str());
        BoxAnswerer boxes;
        CopyPhase(page.hwnd);
        std::vector<SeenBox> seen = boxes.Seen();
        ASSERT_EQ(1u, seen.size()) << path;
        EXPECT_EQ("Not enough memory to process Setup Information file.", seen[0].text);
        EXPECT_EQ("Error", seen[0].caption);
        EXPECT_TRUE(seen[0].hasIcon);
        EXPECT_EQ(nullptr, gSetupText.bytes);
    }
}

TEST_F(CopyPhaseTest, ListedNamesCannotLeaveTheTargetDirectory) {
    std::string source = disk / "d";
    std::string target = win / "t";
    CreateDirectoryA(source.c_str(), nullptr);
    CreateDirectoryA(target.c_str(), nullptr);
    Put("x.dr_");  // beside d, reached through the listed "..": reading is allowed
    BoxAnswerer boxes;
    EXPECT_EQ(1, CopyList("1,sub/../../x.dr_\r\n", target, source));
    EXPECT_EQ(Original("x.drv"), ReadFileBytes(target + "\\x.drv"));
    EXPECT_EQ(1, CountEntries(win.path));
    EXPECT_EQ(1, CountEntries(target));
    EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(CopyPhaseTest, LinesWithNoFileOrAPathTooLongAreSkippedWithoutPrompt) {
    // The LZ library takes paths of up to 127 characters. This target folder
    // leaves room for x.drv but not for display.drv, whose path cut to fit
    // would name a different file.
    std::string target = win.path;
    while (target.size() < 110)
        target += "\\tttttttttt";
    target += "\\" + std::string(120 - target.size(), 'u');
    ASSERT_EQ(121u, target.size());
    for (size_t at = win.path.size() + 1; at <= target.size(); at++)
        if (at == target.size() || target[at] == '\\')
            CreateDirectoryA(target.substr(0, at).c_str(), nullptr);
    ASSERT_TRUE(FileExists(target));
    Put("display.dr_");
    Put("x.dr_");
    // A source that is there but too long to open must not ask for a diskette
    // that can never satisfy it.
    std::string deepDir(127 - disk.path.size() - 1, 's');
    CreateDirectoryA((disk / deepDir).c_str(), nullptr);
    Put("kelmo.vx_", deepDir + "\\kelmo.vx_");
    std::string lines = "1\r\n1,sub\\\r\n1,..\r\n1," + deepDir + "\\kelmo.vx_\r\n1," +
                        std::string(220, 's') + "\\x.dr_\r\n1,display.dr_\r\n1,x.dr_\r\n";
    BoxAnswerer boxes;
    EXPECT_EQ(1, CopyList(lines, target));
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_EQ(Original("x.drv"), ReadFileBytes(target + "\\x.drv"));
    EXPECT_EQ(1, CountEntries(target));
    EXPECT_EQ(2048, gSetup.copiedBytes);
}

}  // namespace
