// The distribution checker on small sets made here: the plan of a clean set,
// each trap reported on its line, diskette prompts and the progress bar.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "check/check_plan.h"

namespace {

namespace fs = std::filesystem;

const char kSetupDat[] =
    "[Product]\r\n"                  // 1
    "ProductName=Test Card\r\n"      // 2
    "load=tc.exe\r\n"                // 3
    "DriverInf=tc.ini\r\n"           // 4
    "OemsetupInf=oemtc.inf\r\n"      // 5
    "[DiskSpace]\r\n"                // 6
    "SizeInKB=12\r\n"                // 7
    "[Enum PCI]\r\n"                 // 8
    "Vender=VEN_1&DEV_2\r\n"         // 9
    "Mfg=Test\r\n"                   // 10
    "[Source Media Descriptions]\r\n"  // 11
    "1=Disk One\r\n"                 // 12
    "2=Disk Two\r\n"                 // 13
    "[WindowsDir]\r\n"               // 14
    "1,tc.in_\r\n"                   // 15
    "1,readme.txt\r\n"               // 16
    "[SystemDir]\r\n"                // 17
    "1,tc.dr_\r\n"                   // 18
    "[Driver.AddReg]\r\n"            // 19
    "HKR,,Ver,,4.0\r\n"              // 20
    "HKR,\"MODES\\\\8\\\\640,480\"\r\n";  // 21

// A file as the platform's compression tool stores it: only the header
// matters to the checker.
std::string Compressed(char lastLetter, unsigned size) {
    std::string bytes = "SZDD\x88\xF0\x27\x33" "A";
    bytes += lastLetter;
    for (int i = 0; i < 4; i++)
        bytes += (char)(size >> (8 * i) & 0xFF);
    return bytes + "packed data";
}

class TempSet {
public:
    TempSet() {
        char name[] = "/tmp/setupcheck-test-XXXXXX";
        dir_ = mkdtemp(name);
        Write("setup.dat", kSetupDat);
        Write("tc.in_", Compressed('i', 3000));
        Write("readme.txt", std::string(100, 'r'));
        Write("tc.dr_", Compressed('v', 5000));
    }
    ~TempSet() { fs::remove_all(dir_); }
    const std::string& dir() const { return dir_; }

    void Write(const std::string& name, const std::string& bytes) const {
        fs::create_directories(fs::path(dir_ + "/" + name).parent_path());
        std::ofstream(dir_ + "/" + name, std::ios::binary) << bytes;
    }
    void Edit(const std::string& from, const std::string& to) {
        size_t at = text_.find(from);
        ASSERT_NE(std::string::npos, at) << from;
        Write("setup.dat", text_.replace(at, from.size(), to));
    }
    CheckPlan Check(std::vector<std::string> more = {}) const {
        CheckInput input = {{dir_}, "A:", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"};
        input.folders.insert(input.folders.end(), more.begin(), more.end());
        CheckPlan plan;
        std::string error;
        EXPECT_TRUE(BuildCheckPlan(input, &plan, &error)) << error;
        return plan;
    }

private:
    std::string dir_;
    std::string text_ = kSetupDat;
};

std::string Findings(const CheckPlan& plan) {
    std::string all;
    for (const Finding& f : plan.findings)
        all += (f.severity == kError ? "error " : "warning ") + std::to_string(f.line) + ": " +
               f.text + "\n";
    return all;
}

TEST(SetupCheck, CleanSetGivesThePlanOfTheProgramAndNoFindings) {
    TempSet set;
    CheckPlan plan = set.Check();
    EXPECT_EQ("", Findings(plan));
    ASSERT_EQ(3u, plan.files.size());
    EXPECT_EQ("C:\\WINDOWS\\inf\\oemtc.inf", plan.files[0].target);
    EXPECT_EQ("inf", plan.files[0].folder);
    EXPECT_EQ(3000, plan.files[0].size);
    EXPECT_TRUE(plan.files[0].compressed);
    EXPECT_EQ("C:\\WINDOWS\\readme.txt", plan.files[1].target);
    EXPECT_EQ(100, plan.files[1].size);
    EXPECT_EQ("A:\\tc.dr_", plan.files[2].source);
    EXPECT_EQ("C:\\WINDOWS\\SYSTEM\\tc.drv", plan.files[2].target);
    EXPECT_EQ(18, plan.files[2].line);
    EXPECT_EQ("Disk One", plan.files[2].label);
    // 3000, 100 and 5000 bytes count as 4096 + 2048 + 6144.
    EXPECT_EQ(12288, plan.copiedBytes);
    EXPECT_EQ(12, plan.sizeInKBFor100);
    EXPECT_TRUE(plan.registryApplied);
    EXPECT_EQ("HKLM\\Enum\\PCI\\VEN_1&DEV_2", plan.deviceKey);
    ASSERT_EQ(2u, plan.regLines.size());
    EXPECT_TRUE(plan.regLines[0].stores);
    EXPECT_EQ("4.0", plan.regLines[0].value);
    EXPECT_EQ((std::vector<std::string>{"MODES", "MODES\\8", "MODES\\8\\640,480"}),
              plan.regLines[1].keys);
    EXPECT_FALSE(plan.regLines[1].stores);
    ASSERT_EQ(3u, plan.ini.size());
    EXPECT_EQ("tc.exe", plan.ini[1].value);
}

TEST(SetupCheck, EachTrapIsReportedOnItsLine) {
    struct Case {
        std::string from, to;
        Severity severity;
        int line;
        const char* text;
    } cases[] = {
        {"[SystemDir]\r\n", "[SystemDir] ; list\r\n", kError, 18, "not read"},
        {"HKR,,Ver,,4.0\r\n", "HKR,,Ver,,4.0 ; version\r\n", kError, 20, "removes its line end"},
        {"HKR,,Ver,,4.0", "HKR,,Ver,,\"a;b\"", kError, 20, "even between quotes"},
        {"1,readme.txt", "1,read[me].txt", kError, 16, "ends [WindowsDir]"},
        {"HKR,,Ver,,4.0", "HKR,,Ver,,\"[4.0]\"", kError, 20, "ends [Driver.AddReg]"},
        {"MODES\\\\8", "MODES\\8", kError, 21, "single backslash"},
        {"HKR,,Ver", "hkr,,Ver", kError, 20, "is not \"HKR\""},
        {"HKR,,Ver", "HKU,,Ver", kWarning, 20, "is none of HKR"},
        {"HKR,,Ver,,4.0", "HKR,,Ver", kWarning, 20, "without a value"},
        {"HKR,,Ver,,4.0", "HKR,,Ver,,4,0", kWarning, 20, "after the fifth field"},
        {"HKR,,Ver,,4.0", "HKR,,Ver,,\"4.0", kWarning, 20, "unbalanced"},
        {"SizeInKB=12", "SizeInKB=20", kWarning, 7, "SizeInKB=12 ends it at 102%"},
        {"1,readme.txt", "1,readme.doc", kError, 16,
         "setup.exe asks \"Please insert the diskette labeled Disk One into A:\""},
        {"[SystemDir]", "[systemdir]", kWarning, 17, "in other case"},
        {"[SystemDir]", ";[SystemDir]", kWarning, 17, "inside a comment"},
        {"1,tc.dr_", "1,tc.dr_" + std::string(260, ' ') + ",x", kError, 18, "longer than 254"},
        {"load=tc.exe", "load=a_program_name_too_long.exe", kError, 3, "\"a_program_name_too_\""},
        {"ProductName=Test Card", "ProductName=" + std::string(70, 'P'), kWarning, 2,
         "reads only 63"},
        {"1,readme.txt\r\n", "1,readme.txt\n", kError, 16, "line feed without a carriage return"},
        {"DriverInf=tc.ini", "DriverInf=tc.in_", kWarning, 4, "compared with the name after"},
        {"[Driver.AddReg]\r\n", "\x1A[Driver.AddReg]\r\n", kWarning, 19, "byte 0x1A"},
        {"1,tc.dr_", "2,tc.dr_\r\n3,tc.dr_", kWarning, 19, "disk id \"3\" has no label"},
        {"1,tc.dr_", "1,tc.dr_\r\n1,TC.DRV", kWarning, 19, "this copy overwrites it"},
        {"1=Disk One", "1=" + std::string(300, 'L'), kWarning, 12, "cut to 255"},
        {"640,480\"\r\n", "640,480\"", kError, 21, "no line end"},
        {"1,tc.in_", "1,tc.in_\r\n1,", kWarning, 16, "names no file"},
        {"1,tc.dr_", "1,..", kError, 18, "leaves no file name"},
        {"OemsetupInf=oemtc.inf", "OemsetupInf=", kError, 15, "OemsetupInf names no file"},
        {"1,tc.dr_", "1," + std::string(130, 'd') + ".dr_", kError, 18, "127 characters"},
        {"Vender=VEN_1&DEV_2", "Vender=", kWarning, 9, "no adapter is registered"},
        {"HKR,,Ver,,4.0", "HKR,," + std::string(130, 'v') + ",,1", kError, 20, "too long"},
    };
    for (const Case& c : cases) {
        TempSet set;
        set.Edit(c.from, c.to);
        CheckPlan plan = set.Check();
        std::string all = Findings(plan);
        bool found = false;
        for (const Finding& f : plan.findings)
            found |= f.severity == c.severity && f.line == c.line &&
                     f.text.find(c.text) != std::string::npos;
        EXPECT_TRUE(found) << c.to << "\nexpected on line " << c.line << ": " << c.text
                           << "\nfound:\n" << all;
    }
}

TEST(SetupCheck, TrapsChangeThePlanAsTheyChangeTheInstall) {
    // One trap, one error: the header swallowing a line does not also read as a
    // '[' inside a line, nor the line a '[' cuts as one too long.
    TempSet joined;
    joined.Edit("[SystemDir]\r\n", "[SystemDir] ; list\r\n");
    CheckPlan plan = joined.Check();
    EXPECT_EQ(2u, plan.files.size());
    EXPECT_EQ(1, CountFindings(plan, kError)) << Findings(plan);
    TempSet cut;
    cut.Edit("HKR,,Ver,,4.0", "HKR,,Ver,,\"[4.0]\"");
    plan = cut.Check();
    EXPECT_EQ(1, CountFindings(plan, kError)) << Findings(plan);
    EXPECT_TRUE(plan.regLines.empty());

    TempSet missing;
    missing.Edit("[SystemDir]", "[systemdir]");
    plan = missing.Check();
    EXPECT_FALSE(plan.copyPhaseComplete);
    EXPECT_FALSE(plan.registryApplied);
    EXPECT_NE(std::string::npos, Findings(plan).find("Can't find section: [Driver.AddReg]"));

    TempSet single;
    single.Edit("MODES\\\\8\\\\", "MODES\\8\\");
    EXPECT_EQ((std::vector<std::string>{"MODES", "MODES\\", "MODES\\\\40,480"}),
              single.Check().regLines[1].keys);
}

TEST(SetupCheck, FilesOnLaterDiskettesAndCompressedNamesAreFoundAsTheProgramFindsThem) {
    TempSet set;
    TempSet second;  // holds tc.dr_ too
    fs::remove(set.dir() + "/tc.dr_");
    set.Edit("1,readme.txt", "1,README.TXT\r\n1,sub\\notes.txt");
    set.Write("SUB/Notes.tx_", Compressed('t', 16));
    set.Edit("SizeInKB=12", "SizeInKB=14");
    CheckPlan plan = set.Check({second.dir()});
    EXPECT_EQ("", Findings(plan));
    ASSERT_EQ(4u, plan.files.size());
    EXPECT_EQ(0, plan.files[1].diskette);
    EXPECT_EQ(0, plan.files[2].diskette);  // the LZ library opens notes.tx_ for notes.txt
    EXPECT_EQ(16, plan.files[2].size);
    EXPECT_EQ(1, plan.files[3].diskette);
    EXPECT_EQ("Please insert the diskette labeled Disk One into A:", plan.files[3].prompt);
}

TEST(SetupCheck, CompressedFilesUnder16BytesAreReported) {
    TempSet set;
    set.Write("tc.dr_", Compressed('v', 15));
    EXPECT_NE(std::string::npos, Findings(set.Check()).find("warning 18: tc.dr_ is compressed but "
                                                           "expands to only 15 bytes"))
        << Findings(set.Check());
}

TEST(SetupCheck, SizeInKBForAFullBarIsTheExactOneOrTheNearest) {
    struct Case {
        unsigned size;  // one file, counted rounded up to 2048
        long long best;
    } cases[] = {
        {1, 2},               // 2048: 2 gives 102%, 3 gives 68%
        {100000, 100},        // 100352: 100 gives exactly 100%
        {500, 2},
        {2000000000, 2000001},  // 2000001024 bytes
    };
    for (const Case& c : cases) {
        TempSet set;
        set.Edit("1,tc.in_\r\n1,readme.txt\r\n", "");
        set.Write("tc.dr_", Compressed('v', c.size));
        EXPECT_EQ(c.best, set.Check().sizeInKBFor100) << c.size;
    }
}

TEST(SetupCheck, UnreadableSetsAreRefusedWithTheirReason) {
    CheckInput input = {{"/nonexistent/set"}, "A:", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"};
    CheckPlan plan;
    std::string error;
    EXPECT_FALSE(BuildCheckPlan(input, &plan, &error));
    EXPECT_EQ("not a folder: /nonexistent/set", error);
    TempSet set;
    fs::remove(set.dir() + "/setup.dat");
    input.folders = {set.dir()};
    EXPECT_FALSE(BuildCheckPlan(input, &plan, &error));
    EXPECT_EQ("no setup.dat in " + set.dir(), error);
}

TEST(SetupCheck, OutputsCarryWindowsTextAsUnicode) {
    TempSet set;
    set.Edit("Test Card", "Card \x80 \"Pro\"\\");
    CheckPlan plan = set.Check();
    std::string json = FormatPlanJson(plan);
    EXPECT_NE(std::string::npos, json.find("\"Card \\u20ac \\\"Pro\\\"\\\\\""));
    EXPECT_NE(std::string::npos, FormatPlanText(plan).find("Card \xE2\x82\xAC \"Pro\"\\"));
}

}  // namespace
