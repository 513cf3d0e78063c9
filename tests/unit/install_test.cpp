// Installed names of listed files, and the progress accounting of the copy phase.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "install/copy_progress.h"
#include "install/installed_name.h"

namespace {

TEST(MakeInstalledName, StripsTheDirectoryAndRestoresTheExtension) {
    const struct { int line; const char *listed, *installed; } cases[] = {  // "": installs nothing
        {__LINE__, "display.dr_", "display.drv"}, {__LINE__, "oem.in_", "oem.ini"},
        {__LINE__, "FOO.DR_", "FOO.DRv"},         {__LINE__, "Mixed.Vx_", "Mixed.Vxd"},
        {__LINE__, "readme.1st", "readme.1st"},   {__LINE__, "notes", "notes"},
        {__LINE__, "a.tar.dr_", "a.tar.drv"},     {__LINE__, "dr_", "dr_"},
        {__LINE__, "disk1\\vga.dr_", "vga.drv"},  {__LINE__, "sub/../../x.dr_", "x.drv"},
        {__LINE__, "c:/w\\mix/y.in_", "y.ini"},   {__LINE__, "dir.dr_\\plain", "plain"},
        {__LINE__, "a.dl_", "a.dll"}, {__LINE__, "a.ex_", "a.exe"}, {__LINE__, "a.hl_", "a.hlp"},
        {__LINE__, "a.da_", "a.dat"}, {__LINE__, "a.re_", "a.reg"}, {__LINE__, "a.tx_", "a.txt"},
        {__LINE__, "", ""}, {__LINE__, "sub\\", ""}, {__LINE__, "x/.", ""}, {__LINE__, "a\\..", ""},
    };
    for (const auto& c : cases) {
        testing::ScopedTrace row(__FILE__, c.line, c.listed);
        char name[64];
        memset(name, 'k', sizeof name);
        EXPECT_EQ(*c.installed != '\0', MakeInstalledName(c.listed, name, sizeof name, kSingleByteCodePage));
        if (*c.installed)
            EXPECT_STREQ(c.installed, name);
    }
    char name[64];
    EXPECT_FALSE(MakeInstalledName("toolong.dr_", name, 8, kSingleByteCodePage));
    // On code page 932 the second byte of ソ (83 5C) is no separator; on 1252 it is.
    const LeadBytes k932 = {{0x81, 0x9F, 0xE0, 0xFC}};
    ASSERT_TRUE(MakeInstalledName("d\\\x83\\\x83t\x83g.tx_", name, sizeof name, k932));
    EXPECT_STREQ("\x83\\\x83t\x83g.txt", name);
    ASSERT_TRUE(MakeInstalledName("\x83\\\x83t\x83g.tx_", name, sizeof name, kSingleByteCodePage));
    EXPECT_STREQ("\x83t\x83g.txt", name);
}

TEST(CopyProgress, EachFileRoundedUpTo2048AndSharesIn64Bits) {
    const struct { int line, copied, result, total; } added[] = {
        {__LINE__, 0, 1, 2048},   {__LINE__, 0, 2048, 2048}, {__LINE__, 0, 4097, 6144},
        {__LINE__, 100, 0, 100},  {__LINE__, 100, -1, 100},  {__LINE__, 100, -2147483647 - 1, 100},
        {__LINE__, 0x7FFFF000, 4096, 0x7FFFFFFF},            {__LINE__, 0x7FFFFFFF, 1, 0x7FFFFFFF},
    };
    for (const auto& c : added) {
        testing::ScopedTrace row(__FILE__, c.line, "table row");
        EXPECT_EQ(c.total, AddCopiedBytes(c.copied, c.result));
    }
    const struct { int line, copied, expected, percent; } shares[] = {
        {__LINE__, 21474837, 21474837, 100},     {__LINE__, 2000012288, 2100000000, 95},
        {__LINE__, 0x7FFFFFFF, 1000, 214748364}, {__LINE__, 0x7FFFFFFF, 1, 0x7FFFFFFF},
        {__LINE__, 4096, 0, 0},                  {__LINE__, 4096, -1000, 0},
    };
    for (const auto& c : shares) {
        testing::ScopedTrace row(__FILE__, c.line, "table row");
        EXPECT_EQ(c.percent, ProgressPercent(c.copied, c.expected));
    }
}

}  // namespace
