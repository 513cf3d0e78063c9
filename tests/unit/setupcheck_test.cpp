// The distribution checker on small sets made here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "check/check_plan.h"
#include "findings.h"
#include "make/szdd_compressor.h"
#include "tools_common/code_pages.h"

namespace {

namespace fs = std::filesystem;

const char kSetupDat[] =
    "[Product]\r\n"                         // 1
    "ProductName=Card \x80 \"Pro\"\\\r\n"   // 2: code page 1252, a quote, a backslash
    "load=tc.exe\r\n"                       // 3
    "DriverInf=tc.ini\r\n"                  // 4
    "OemsetupInf=oemtc.inf\r\n"             // 5
    "[DiskSpace]\r\n"                       // 6
    "SizeInKB=12\r\n"                       // 7
    "[Enum PCI]\r\n"                        // 8
    "Vender=VEN_1&DEV_2\r\n"                // 9
    "[Source Media Descriptions]\r\n"       // 10
    "1=Disk One\r\n"                        // 11
    "[WindowsDir]\r\n"                      // 12
    "1,tc.in_\r\n"                          // 13
    "1,readme.txt\r\n"                      // 14
    "[SystemDir]\r\n"                       // 15
    "1,tc.dr_\r\n"                          // 16
    "[Driver.AddReg]\r\n"                   // 17
    "HKR,,Ver,,4.0\r\n"                     // 18
    "HKR,\"MODES\\\\8\\\\640,480\"\r\n";    // 19

// The set above in a folder of its own, removed afterwards.
struct TempSet {
    char name[32] = "/tmp/setupcheck-test-XXXXXX";
    std::string dir = mkdtemp(name);
    std::string text = kSetupDat;

    TempSet() {
        Write("setup.dat", text);
        Write("tc.in_", CompressSzdd(std::string(3000, 'i'), 'i'));
        Write("readme.txt", std::string(100, 'r'));
        Write("tc.dr_", CompressSzdd(std::string(5000, 'v'), 'v'));
    }
    ~TempSet() { fs::remove_all(dir); }
    void Write(const std::string& file, const std::string& bytes) const {
        fs::create_directories(fs::path(dir + "/" + file).parent_path());
        std::ofstream(dir + "/" + file, std::ios::binary) << bytes;
    }
    void Edit(const std::string& from, const std::string& to) {
        size_t at = text.find(from);
        ASSERT_NE(std::string::npos, at) << from;
        Write("setup.dat", text.replace(at, from.size(), to));
    }
    CheckPlan Check(std::vector<std::string> folders = {}, int codePage = kDefaultCodePage) const {
        folders.insert(folders.begin(), dir);
        CheckInput input = {folders, "A:", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM",
                            FindCodePage(codePage)->lead, codePage};
        CheckPlan plan;
        std::string error;
        EXPECT_TRUE(BuildCheckPlan(input, &plan, &error)) << error;
        return plan;
    }
};

TEST(SetupCheck, CleanSetGivesThePlanOfTheProgram) {
    CheckPlan plan = TempSet().Check();
    std::string text = FormatPlanText(plan);
    for (const char* expected : {
             "ProductName   \"Card \xE2\x82\xAC \"Pro\"\\\"",
             "line 16   [SystemDir]  disk \"1\" \"Disk One\": 5000 bytes, compressed\n"
             "            A:\\tc.dr_ -> C:\\WINDOWS\\SYSTEM\\tc.drv (System)",
             "line 19   HKR  opens MODES, MODES\\8, MODES\\8\\640,480\n",
             "\n0 errors, 0 warnings"})
        EXPECT_NE(std::string::npos, text.find(expected)) << expected << "\nnot in:\n" << text;
}

TEST(SetupCheck, EachTrapIsReportedOnItsLine) {
    // An edit of the clean set, the finding it gives on a line, the errors the set then has.
    const struct {
        int line; std::string from, to; Severity severity; int setupDatLine, errors; const char* text;
    } cases[] = {
        {__LINE__, "[SystemDir]\r\n", "[SystemDir] ; list\r\n", kError, 16, 1, "not read"},
        {__LINE__, "1,readme.txt", "1,read[me].txt", kError, 14, 1, "ends [WindowsDir]"},
        {__LINE__, "[SystemDir]", "[systemdir]", kWarning, 15, 2, "in other case"},
        {__LINE__, "1,tc.dr_", "1,tc.dr_" + std::string(250, ' ') + ",x", kError, 16, 1, "than 254"},
        {__LINE__, "1,readme.txt\r\n", "1,readme.txt\n", kError, 14, 2, "without a carriage return"},
        {__LINE__, "MODES\\\\8", "MODES\\8", kError, 19, 1, "single backslash"},
        {__LINE__, "HKR,,Ver", "hkr,,Ver", kError, 18, 1, "is not \"HKR\""},
        {__LINE__, "HKR,,Ver,,4.0", "HKR,,Ver", kWarning, 18, 0, "without a value"},
        {__LINE__, "Vender=VEN_1&DEV_2", "Vender=", kWarning, 9, 0, "no adapter is registered"},
        {__LINE__, "SizeInKB=12", "SizeInKB=20", kWarning, 7, 0, "SizeInKB=12 ends it at 102%"},
        {__LINE__, "load=tc.exe", "load=name_too_long_by_far.exe", kError, 3, 1, "\"name_too_long_by_fa\""},
        {__LINE__, "DriverInf=tc.ini", "DriverInf=tc.in_", kWarning, 4, 0, "the name after"},
        {__LINE__, "1,readme.txt", "1,readme.doc", kError, 14, 1,
         "setup.exe asks \"Please insert the diskette labeled Disk One into A:\""},
        {__LINE__, "1,tc.dr_", "3,tc.dr_", kWarning, 16, 0, "disk id \"3\" has no label"},
        {__LINE__, "1,tc.dr_", ",tc.dr_", kWarning, 16, 0, "disk id \"\" has no label"},
        {__LINE__, "1,tc.dr_", "a,tc.dr_", kWarning, 16, 0, "disk id \"a\" has no label"},
        {__LINE__, "1,tc.dr_", "\xe9,tc.dr_", kWarning, 16, 0, "disk id \"\xe9\" has no label"},
        // A prompt's label: an empty description gives an empty one, an id
        // without one keeps the list's previous prompt's.
        {__LINE__, "One\r\n[WindowsDir]\r\n1,tc.in_\r\n1,readme.txt",
         "One\r\n2=\r\n[WindowsDir]\r\n1,tc.in_\r\n1,a.doc\r\n2,b.doc", kError, 16, 2,
         "asks \"Please insert the diskette labeled  into A:\""},
        {__LINE__, "1,readme.txt", "1,a.doc\r\n3,b.doc", kError, 15, 2,
         "asks \"Please insert the diskette labeled Disk One into A:\""},
        {__LINE__, "1,tc.dr_", "1,tc.dr_\r\n1,TC.DRV", kWarning, 17, 0, "this copy overwrites it"},
        {__LINE__, "1,tc.dr_", "1," + std::string(130, 'd') + ".dr_", kError, 16, 1, "127 characters"},
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, c.to);
        TempSet set;
        set.Edit(c.from, c.to);
        CheckPlan plan = set.Check();
        EXPECT_TRUE(HasFinding(plan.findings, c.severity, c.setupDatLine, c.text)) << FormatPlanText(plan);
        EXPECT_EQ(c.errors, CountFindings(plan.findings).errors) << FormatPlanText(plan);
    }
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    while (times-- > 0)
        out += text;
    return out;
}

// The product name, Vender, the files' targets, the keys opened and the findings, one a line, as bytes.
std::string Planned(const CheckPlan& plan) {
    std::string text = "product " + plan.productName.value + "\nvender " + plan.vender.value + "\n";
    for (const PlannedFile& f : plan.files)
        text += f.target + (f.diskette < 0 ? " MISSING\n" : "\n");
    for (const PlannedRegLine& r : plan.regLines)
        text += "keys " + (r.keys.empty() ? "" : r.keys.back()) + " value " + r.value + "\n";
    for (const Finding& f : plan.findings)
        text += f.text + "\n";
    return text;
}

// Double-byte text in a set: a '[' or '\\' that is a second byte is no bracket
// or backslash, and second bytes are never folded; under 1252 the same bytes
// keep their meaning. ソ 83 5C, ー 81 5B, ア 83 41, ヂ 83 61 (932); 功 A5 5C (950).
TEST(SetupCheck, DoubleByteSetsArePlannedAsTheProgramInstallsThem) {
    const struct {
        int line, codePage; std::string from, to, file, planned; int errors;
    } cases[] = {
        // Keyed values: a header's "]" and the cut of a value are characters.
        {__LINE__, 932, "[Enum PCI]\r\n", "[Enum PCI]\r\n[X\x83]\r\n", "", "vender VEN_1&DEV_2\n", 0},
        {__LINE__, 1252, "[Enum PCI]\r\n", "[Enum PCI]\r\n[X\x83]\r\n", "", "vender \n", 0},
        {__LINE__, 932, "Card \x80 \"Pro\"\\", "xx" + Repeat("\x83\x41", 32), "",
         "product xx" + Repeat("\x83\x41", 30) + "\n", 0},
        {__LINE__, 1252, "Card \x80 \"Pro\"\\", "xx" + Repeat("\x83\x41", 32), "",
         "product xx" + Repeat("\x83\x41", 30) + "\x83\n", 0},
        // Copy lists and registry lines.
        {__LINE__, 932, "1,readme.txt", "1,\x83\x5C\x83\x74\x83\x67.txt", "\x83\x5C\x83\x74\x83\x67.txt",
         "C:\\WINDOWS\\\x83\x5C\x83\x74\x83\x67.txt\n", 0},
        {__LINE__, 932, "1,readme.txt", "1,s\x81\x5B.txt\r\n1,readme.txt", "s\x81\x5B.txt",
         "C:\\WINDOWS\\s\x81\x5B.txt\nC:\\WINDOWS\\readme.txt\n", 0},
        {__LINE__, 1252, "1,readme.txt", "1,s\x81\x5B.txt\r\n1,readme.txt", "s\x81\x5B.txt",
         "the '[' in \"1,s\x81[.txt\" ends [WindowsDir]", 1},
        {__LINE__, 1252, "1,readme.txt", "1,\x83\x61.txt", "\x83\x41.txt", "C:\\WINDOWS\\\x83\x61.txt\n", 0},
        {__LINE__, 932, "1,readme.txt", "1,\x83\x41.txt\r\n1,\x83\x61.txt", "\x83\x41.txt",
         "\x83\x61.txt MISSING", 1},  // and no "overwrites": ア is not ヂ
        {__LINE__, 950, "MODES\\\\8", "\xA5\x5C\\\\8", "", "keys \xA5\x5C\\8\\640,480 value \n", 0},
        {__LINE__, 1252, "MODES\\\\8", "\xA5\x5C\\\\8", "", "single backslash in", 1},
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, c.to);
        TempSet set;
        set.Edit(c.from, c.to);
        if (!c.file.empty())
            set.Write(c.file, "listed");
        CheckPlan plan = set.Check({}, c.codePage);
        EXPECT_NE(std::string::npos, Planned(plan).find(c.planned)) << Planned(plan);
        EXPECT_EQ(c.errors, CountFindings(plan.findings).errors) << Planned(plan);
        EXPECT_EQ(std::string::npos, Planned(plan).find("overwrites")) << Planned(plan);
    }
}

TEST(SetupCheck, LaterDiskettesAndCompressedNamesAreFoundAsTheProgramFindsThem) {
    TempSet set, second;  // the second diskette holds tc.dr_
    fs::remove(set.dir + "/tc.dr_");
    set.Edit("1,readme.txt", "1,..\\README.TXT\r\n1,sub\\notes.txt");  // ".." stays at the root
    set.Write("SUB/Notes.tx_", CompressSzdd(std::string(15, 't'), 't'));  // the LZ library opens it for notes.txt
    fs::remove(second.dir + "/readme.txt");
    set.Edit("1,tc.dr_", "1,tc.dr_\r\n1,readme.txt");  // back to the first diskette
    set.Edit("SizeInKB=12", "SizeInKB=16");
    CheckPlan plan = set.Check({second.dir});
    ASSERT_EQ(5u, plan.files.size());
    EXPECT_EQ("Please insert the diskette labeled Disk One into A:", plan.files[3].prompt);
    EXPECT_EQ(plan.files[3].prompt, plan.files[4].prompt);
    // Files under 16 bytes are not stored compressed by the tool.
    EXPECT_TRUE(HasFinding(plan.findings, kWarning, 15, "notes.txt is compressed but expands to only 15"));
    EXPECT_EQ(1u, plan.findings.size()) << FormatPlanText(plan);
}

}  // namespace
