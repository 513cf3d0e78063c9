// Installed names: directory stripping, extensions and the compressed-name
// table.
#include <gtest/gtest.h>

#include <cstring>

#include "install/installed_name.h"

namespace {

TEST(InstalledName, ListedNamesGiveTheirInstalledNames) {
    struct Case {
        const char *listed, *installed;
    } cases[] = {
        {"display.dr_", "display.drv"}, {"kelmo.vx_", "kelmo.vxd"},   {"oem.in_", "oem.ini"},
        {"kelmo.dl_", "kelmo.dll"},     {"tool.ex_", "tool.exe"},     {"help.hl_", "help.hlp"},
        {"modes.da_", "modes.dat"},     {"setup.re_", "setup.reg"},   {"readme.tx_", "readme.txt"},
        {"FOO.DR_", "FOO.DRv"},         {"Mixed.Vx_", "Mixed.Vxd"},   {"readme.1st", "readme.1st"},
        {"notes", "notes"},             {"archive.tar.dr_", "archive.tar.drv"},
        {"dr_", "dr_"},                 {".dr_", ".drv"},             {"disk1\\vga.dr_", "vga.drv"},
        {"sub/../../x.dr_", "x.drv"},   {"..\\..\\x.dr_", "x.drv"}, {"c:/windows\\mixed/y.in_", "y.ini"},
        {"dir.dr_\\plain", "plain"},    {"name.dr_xxxxxxxx", "name.dr_xxxxxxxx"},
    };
    for (const Case& c : cases) {
        char name[64];
        memset(name, 'k', sizeof name);
        EXPECT_TRUE(MakeInstalledName(c.listed, name, sizeof name)) << c.listed;
        EXPECT_STREQ(c.installed, name) << c.listed;
    }
}

TEST(InstalledName, NamesThatLeaveNoFileInstallNothing) {
    char name[64];
    for (const char* l : {"", "sub\\", "sub/", ".", "..", "a\\..", "x/.", "\\"})
        EXPECT_FALSE(MakeInstalledName(l, name, sizeof name)) << l;
    EXPECT_FALSE(MakeInstalledName("toolong.dr_", name, 8));
}

TEST(InstalledName, InfNameStaysInTheInfFolder) {
    char name[64];
    for (const char* inf : {"oemsetup.inf", "..\\..\\oemsetup.inf", "a/oemsetup.inf"}) {
        EXPECT_TRUE(MakeInfName(inf, name, sizeof name));
        EXPECT_STREQ("oemsetup.inf", name) << inf;
    }
    EXPECT_TRUE(MakeInfName("x.in_", name, sizeof name));
    EXPECT_STREQ("x.in_", name);
    EXPECT_FALSE(MakeInfName("", name, sizeof name));
    EXPECT_FALSE(MakeInfName("../..", name, sizeof name));
}

TEST(GetExtension, TakesTheTextAfterTheLastDotWithinTheBuffer) {
    char ext[16];
    memset(ext, 0xcc, sizeof ext);
    EXPECT_TRUE(GetExtension("a.b.dr_", ext, 8));
    EXPECT_STREQ("dr_", ext);
    EXPECT_TRUE(GetExtension("none", ext, 8));
    EXPECT_STREQ("", ext);
    EXPECT_TRUE(GetExtension("a.1234567", ext, 8));
    EXPECT_STREQ("1234567", ext);
    EXPECT_FALSE(GetExtension("a.12345678", ext, 8));
    EXPECT_STREQ("1234567", ext);
    EXPECT_EQ((char)0xcc, ext[8]);
}

}  // namespace
