// setupmake from INF text to setup.dat text and findings, without files but
// for the proof of a written set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "findings.h"
#include "make/diskette_layout.h"
#include "make/driver_model.h"
#include "make/extra_file.h"
#include "make/set_proof.h"
#include "make/setup_dat_writer.h"
#include "make/szdd_compressor.h"

namespace {

const char kInf[] =
    "[Version]\n"                                    // 1
    "Signature=\"$CHICAGO$\"\n"                      // 2
    "Class=Display\n"                                // 3
    "[Manufacturer]\n"                               // 4
    "%Maker%=Models\n"                               // 5
    "[Models]\n"                                     // 6
    "%Card%=Card.Install, PCI\\VEN_1A2B&DEV_3C4D\n"  // 7
    "[Card.Install]\n"                               // 8
    "CopyFiles=Card.Files\n"                         // 9
    "AddReg=Card.Reg\n"                              // 10
    "DriverVer=01/01/1997\n"                         // 11
    "[Card.Files]\n"                                 // 12
    "card.drv\n"                                     // 13
    "[Card.Reg]\n"                                   // 14
    "HKR,,Ver,,4.0\n"                                // 15
    "[DestinationDirs]\n"                            // 16
    "DefaultDestDir=11\n"                            // 17
    "[SourceDisksNames]\n"                           // 18
    "1=\"Disk One\",,1\n"                            // 19
    "[SourceDisksFiles]\n"                           // 20
    "card.drv=1\n"                                   // 21
    "[Strings]\n"                                    // 22
    "Maker=\"Maker Inc\"\n"                          // 23
    "Card=\"Card 100\"\n";                           // 24; appended lines follow

struct Made {
    std::string setupDat;
    FindingSink findings;
    DriverIntent intent;
    DisketteSet set;
};

// setup.dat and the findings for an INF named card.inf and a side file; each
// file has 100 bytes, those whose name starts with "small" 10.
Made Make(const std::string& inf, const std::string& model = "", const std::string& extra = "",
          int codePage = kDefaultCodePage) {
    Made made;
    made.findings.file = "card.inf";
    const CodePage& page = *FindCodePage(codePage);
    DriverIntent intent = BuildDriverIntent(ReadInfText(inf, &made.findings, page.lead), "card.inf",
                                            model, &made.findings, page);
    ApplyExtraFile(ReadInfText(extra, &made.findings, page.lead), &intent, &made.findings);
    for (IntentFile& file : intent.files)
        file.size = file.name.compare(0, 5, "small") == 0 ? 10 : 100;
    made.set = LayOutDiskettes(intent, &made.findings);
    made.setupDat = ComposeSetupDat(intent, made.set, 12);
    made.intent = intent;
    return made;
}

std::string Edited(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string Shown(const FindingSink& sink) {
    std::string text;
    for (const Finding& f : sink.findings)
        text += (f.severity == kError ? "error line " : "warning line ") + std::to_string(f.line) +
                ": " + f.text + "\n";
    return text;
}

// Each AddReg line of the INF and the line written for it, which the
// program's readers (tested on their own) take apart into the INF's key path,
// value name and value: fuzz_inf reads every written line back. In code
// page 932 ソ is 83 5C and ー 81 5B; in 950 功 is A5 5C and 加 A5 5B: written as they are.
TEST(SetupMake, RegistryLinesAreWrittenAsTheProgramReadsThem) {
    const struct { int line; const char *inf, *written; int codePage = kDefaultCodePage; } cases[] = {  // null: not written
        {__LINE__, "HKR,,Ver,,4.0", "HKR,,Ver,,4.0"},
        {__LINE__, "hkr,DEFAULT,Mode,,\"8,640,480\"", "HKR,DEFAULT,Mode,,\"8,640,480\""},
        {__LINE__, "HKLM,Software\\Maker\\Card,Version,0,1.00",
         "HKLM,Software\\\\Maker\\\\Card,Version,,1.00"},
        {__LINE__, "HKR,\"MODES\\8\\640,480\"", "HKR,\"MODES\\\\8\\\\640,480\""},
        {__LINE__, "HKCR,Card.Settings,,,\"%Card% settings\"",
         "HKCR,Card.Settings,,,\"Card 100 settings\""},
        {__LINE__, "HKR,, \"Value Name\" ,,\"100%% \"", "HKR,,\"Value Name\",,\"100% \""},
        {__LINE__, "HKR,,Empty,,", "HKR,,Empty,,"},
        {__LINE__, "HKR,Sub,,0", "HKR,Sub"},  // the key only
        {__LINE__, "HKR,,Say,,\"a \"\"b\"\"\"", nullptr},  // a double quote cannot be written
        {__LINE__, "HKR , Sub , Tab , , a\"\tb\"c ; comment", "HKR,Sub,Tab,,\"a\tbc\""},
        {__LINE__, "HKLM,Kelmo\\\xA5\x5C\xAF\xE0,Name,,\"3D \xA5\x5B\"",
         "HKLM,Kelmo\\\\\xA5\x5C\xAF\xE0,Name,,\"3D \xA5\x5B\"", 950},
        {__LINE__, "HKLM,Kelmo\\\xA5\x5C\xAF\xE0,Name,,\"3D \xA5\x5B\"", nullptr},  // 1252: a '['
        {__LINE__, "HKR,\xA5\x5C\xAF\xE0", "HKR,\xA5\\\\\xAF\xE0", 1252},  // 1252: two keys
        {__LINE__, "HKR,,\x83\x5C\x83\x74\x83\x67,,\x83\x58\x81\x5B\x83\x70\x81\x5B",
         "HKR,,\x83\x5C\x83\x74\x83\x67,,\x83\x58\x81\x5B\x83\x70\x81\x5B", 932},
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, c.inf);
        Made made = Make(Edited(kInf, "HKR,,Ver,,4.0", c.inf), "", "", c.codePage);
        size_t end = made.setupDat.rfind("\r\n");
        std::string written = made.setupDat.substr(made.setupDat.rfind("\r\n", end - 1) + 2);
        written.resize(written.size() - 2);
        EXPECT_EQ(c.written ? c.written : "[Driver.AddReg]", written);
        EXPECT_EQ(c.written ? 0 : 1, CountFindings(made.findings.findings).errors) << Shown(made.findings);
    }
}

TEST(SetupMake, WhatSetupDatCannotSayIsReportedOnItsLine) {
    // An edit of the clean INF (and lines appended to it, or a side file), the
    // finding on a line of that file, and the errors in all.
    const struct {
        int line; std::string from, to, append, extra; Severity severity; int at;
        std::string text; int errors; int codePage = kDefaultCodePage;  // text "": no finding
    } cases[] = {
        // ア 83 41 is not ヂ 83 61 in 932; ー 81 5B is no '[', nor is ]
        // in 83 5D a ']'; in 1252 they are.
        {__LINE__, "DriverVer=01/01/1997", "DelReg=Card.Del",
         "[Card.Reg]\nHKR,,\x83\x61,,x\n[Card.Del]\nHKR,,\x83\x41\n", "", kError, 28,
         "setup.exe deletes no registry value", 1, 932},
        {__LINE__, "DriverVer=01/01/1997", "DelReg=Card.Del",
         "[Card.Reg]\nHKR,,\x83\x61,,x\n[Card.Del]\nHKR,,\x83\x41\n", "", kWarning, 28,
         "AddReg line 26 sets \"\x83\x41\" again", 0},
        {__LINE__, "%Card%=", "%\x83\x61%=", "[Strings]\n\x83\x41=\"A\"\n", "", kWarning, 7,
         "%\x83\x61% is not in [Strings]", 0, 932},
        {__LINE__, "card.drv", "s\x81\x5B.drv", "[SourceDisksFiles]\ns\x81\x5B.drv=1\n", "",
         kError, 0, "", 0, 932},
        {__LINE__, "card.drv", "s\x81\x5B.drv", "[SourceDisksFiles]\ns\x81\x5B.drv=1\n", "",
         kError, 13, "cannot stand in setup.dat's copy lists", 1},
        {__LINE__, "=Card.Files", "=Card.\x83\x5D", "[Card.\x83\x5D]\ncard.drv\n", "", kError, 0, "",
         0, 932},
        {__LINE__, "=Card.Files", "=Card.\x83\x5D", "[Card.\x83\x5D]\ncard.drv\n", "", kError, 9,
         "no section [Card.\x83]] for CopyFiles", 1},
        {__LINE__, "Ver,,", "Ver,1,", "", "", kError, 15, "flags 1 ask for something other", 1},
        {__LINE__, "Ver,,", "Ver,0x2,", "", "", kWarning, 15, "flags 2 (keep a value", 0},
        {__LINE__, "DriverVer=01/01/1997", "DelReg=Card.Del", "[Card.Del]\nhkr,,VER\n", "",
         kWarning, 26, "AddReg line 15 sets \"VER\" again: it ends the same", 0},
        {__LINE__, "DriverVer=01/01/1997", "DelReg=Card.Del", "[Card.Del]\nHKR,DEFAULT,Ver\n", "",
         kError, 26, "value \"Ver\" of \"HKR\\DEFAULT\" stays", 1},
        {__LINE__, "DestDir=11", "DestDir=11,sub", "", "", kError, 17, "destination 11,sub", 1},
        {__LINE__, "HKR,,Ver", "HKCU,,Ver", "", "", kError, 15, "root \"HKCU\" is none of", 1},
        {__LINE__, "4.0", "\"4;0\"", "", "", kError, 15, "the value holds a ';'", 1},
        {__LINE__, "HKR,,Ver", "HKR,a[1],Ver", "", "", kError, 15, "the key path holds a '['", 1},
        {__LINE__, "HKR,,Ver", "HKR,a\\\\b,Ver", "", "", kError, 15, "has an empty key name", 1},
        {__LINE__, "Ver,,", std::string(128, 'n') + ",,", "", "", kError, 15,
         "value name is 128 characters long; setup.exe reads 127", 1},
        {__LINE__, "HKR,,Ver,,4.0", "HKR," + std::string(200, 'k') + ",V,," + std::string(60, 'v'),
         "", "", kError, 15, "the line would be 268 characters long; setup.exe reads lines of 253", 1},
        {__LINE__, "4.0", "4,0", "", "", kWarning, 15, "the fields after the fifth are ignored", 0},
        {__LINE__, "Ver,,4.0", "Ver", "", "", kWarning, 15, "stored as an empty string", 0},
        {__LINE__, "PCI\\VEN_1A2B&DEV_3C4D", "*PNP0900", "", "", kError, 7, "is not PCI\\VEN_", 1},
        {__LINE__, "DEV_3C4D", "DEV_3C4D&SUBSYS_1", "", "", kWarning, 7, "\"&SUBSYS_1\" of the", 0},
        {__LINE__, "%Card%=", "%Kard%=", "", "", kWarning, 7, "%Kard% is not in [Strings]", 0},
        {__LINE__, "\"Card 100\"", "\"" + std::string(64, 'x') + "\"", "", "", kWarning, 7,
         "is cut to \"" + std::string(63, 'x') + "\"", 0},
        {__LINE__, "DriverVer=01/01/1997", "UpdateInis=Card.Ini",
         "[Card.Ini]\nwin.ini,windows,,\"load=twenty_characters.exe\"\n", "", kError, 26,
         "longer than the 19 characters setup.exe reads", 1},
        {__LINE__, "DriverVer=01/01/1997", "UpdateInis=Card.Ini", "[Card.Ini]\nsystem.ini,a,,b=c\n",
         "", kError, 26, "edits no ini line but the load line of win.ini [windows]", 1},
        {__LINE__, "DriverVer=01/01/1997", "LogConfig=Card.Log", "", "", kError, 11,
         "LogConfig is not expressed", 1},
        {__LINE__, "card.drv\n", "card.drv,old.drv\n", "", "", kError, 13,
         "old.drv is installed as card.drv", 1},
        {__LINE__, "card.drv=1", "cord.drv=1", "", "", kError, 13, "not in [SourceDisksFiles]", 1},
        {__LINE__, "card.drv\n", "card.dr_\n", "", "", kError, 13,
         "is installed by setup.exe as \"card.drv\"", 1},
        {__LINE__, "card.drv\n", std::string(110, 'c') + ".drv\n", "", "", kError, 13,
         "C:\\WINDOWS\\SYSTEM\\ccc", 1},
        {__LINE__, "card.drv\n", "\"card 1.drv\"\n", "", "", kError, 13, "end a name at a comma", 1},
        {__LINE__, "card.drv\n", "card.ini\n", "[SourceDisksFiles]\ncard.ini=1\n", "", kError, 0,
         "card.ini (card.inf line 13) would be stored as card.in_ on disk1, where card.inf", 1},
        {__LINE__, "4.0", "\"4.0", "", "", kWarning, 15, "a quote is not closed", 0},
        {__LINE__, "%Card%=Card.Install", "Other=Card.Install, PCI\\VEN_1A2B&DEV_3C4E\n%Card%=Card.Install",
         "", "", kError, 0, "2 models match; choose one with --model", 1},
        {__LINE__, "", "", "", "[Banner]\nFontHi=big\n", kError, 2, "FontHi takes a whole number", 1},
        {__LINE__, "", "", "", "[SystemDir]\ncard.drv\n", kWarning, 2, "installed there already", 0},
        {__LINE__, "", "", "", "[Disk]\n", kError, 1, "[Disk] is not a section of the side file", 1},
    };
    EXPECT_EQ("", Shown(Make(kInf).findings));
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, c.to + c.extra);
        Made made = Make(Edited(kInf, c.from, c.to) + c.append, "", c.extra, c.codePage);
        const std::vector<Finding>& found = made.findings.findings;
        EXPECT_TRUE(c.text.empty() ? found.empty() : HasFinding(found, c.severity, c.at, c.text))
            << Shown(made.findings);
        EXPECT_EQ(c.errors, CountFindings(made.findings.findings).errors) << Shown(made.findings);
    }
}

// A diskette holds 2847 clusters of 512 bytes, each file whole ones.
TEST(SetupMake, ADisketteHoldsItsClustersAndNotOneMore) {
    for (long long last : {0, 512, 513}) {
        FindingSink findings;
        CheckDisketteSpace(1, {{"a.dr_", 2846 * 512 - 1}, {"b.dr_", last}}, &findings);
        EXPECT_EQ(last > 512 ? 1 : 0, CountFindings(findings.findings).errors) << last;
    }
}

// A written set that differs from the INF in a file (a byte short), a
// registry line and a keyed value: the proof reports each of them.
TEST(SetupMake, TheProofReportsEachDifferenceFromTheInf) {
    Made made = Make(kInf);
    char name[] = "/tmp/setupmake-test-XXXXXX";
    std::string dir = mkdtemp(name), disk = dir + "/" + DisketteName(1) + "/";
    std::filesystem::create_directories(disk);
    std::ofstream(disk + "setup.dat", std::ios::binary)
        << Edited(Edited(made.setupDat, "Card 100", "Card 101"), "4.0", "4.1");
    std::ofstream(disk + "card.in_", std::ios::binary) << CompressSzdd(std::string(100, 'i'), 'f');
    std::ofstream(disk + "card.dr_", std::ios::binary) << CompressSzdd(std::string(99, 'd'), 'v');
    CheckPlan plan;
    std::string error;
    EXPECT_TRUE(PlanWrittenSet(dir, 1, &plan, &error, *made.intent.codePage)) << error;
    std::filesystem::remove_all(dir);
    FindingSink proof;
    CompareWithIntent(plan, made.intent, made.set, &proof);
    EXPECT_EQ(3, CountFindings(proof.findings).errors) << Shown(proof);
    for (const char* difference : {"reads ProductName as \"Card 101\", not \"Card 100\"",
                                   "card.drv, 99 bytes, from disk1 \"Disk One\" where the INF says "
                                   "System\\card.drv, 100 bytes",
                                   "writes HKR\\ \"Ver\" = \"4.1\" where the INF says HKR\\ \"Ver\" = \"4.0\""})
        EXPECT_NE(std::string::npos, Shown(proof).find(difference)) << difference;
}

}  // namespace
