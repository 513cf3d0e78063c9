// The in-memory ini reader against GetPrivateProfileStringA and
// GetPrivateProfileIntA reading the same texts from real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../unit/profile_cases.h"
#include "check/profile_text.h"
#include "win32_support.h"

namespace {

const char kAbsent[] = "<absent>";

class ProfileTextTest : public ::testing::Test {
protected:
    // Each text gets a file of its own, so no cached copy of an earlier text is read.
    std::string Write(const std::string& text) {
        std::string path = dir_ / ("p" + std::to_string(++files_) + ".ini");
        WriteFileBytes(path, text);
        return path;
    }

    TempDir dir_{"profile"};
    int files_ = 0;
};

TEST_F(ProfileTextTest, StringReadsAgree) {
    for (const ProfileTextCase& c : kProfileTextCases) {
        std::string path = Write(c.text);
        std::vector<char> platform(c.cchValue + 8, '\xcc');
        std::vector<char> reader(platform);
        GetPrivateProfileStringA(c.section, c.key, kAbsent, platform.data(), c.cchValue, path.c_str());
        int full = ReadProfileText(c.text.data(), (long)c.text.size(), c.section, c.key, reader.data(),
                                   c.cchValue, nullptr);
        SCOPED_TRACE(Escaped(c.text) + " [" + c.section + "] " + Escaped(c.key));
        EXPECT_EQ(c.expected ? c.expected : kAbsent, std::string(platform.data()));
        EXPECT_EQ(platform.data(), full < 0 ? std::string(kAbsent) : std::string(reader.data()));
    }
}

TEST_F(ProfileTextTest, IntReadsAgree) {
    for (const ProfileIntCase& c : kProfileIntCases) {
        std::string text = "[S]\r\nk=" + c.value + "\r\n";
        std::string path = Write(text);
        int platform = (int)GetPrivateProfileIntA("S", "k", kIntDefault, path.c_str());
        EXPECT_EQ(c.expected, platform) << Escaped(c.value);
        EXPECT_EQ(platform, ReadProfileInt(text.data(), (long)text.size(), "S", "k", kIntDefault, nullptr))
            << Escaped(c.value);
    }
}

// Every buffer size, the too small, exactly fitting and too large among
// them; the whole buffer is compared, so a byte written past the cut shows.
TEST_F(ProfileTextTest, CutsAgreeForEverySize) {
    for (const char* v : kProfileCutValues) {
        std::string text = std::string("[S]\r\nk=") + v + "\r\n";
        std::string path = Write(text);
        int length = lstrlenA(v);
        for (int cch = 0; cch <= length + 3; cch++) {
            char platform[32], reader[32];
            FillMemory(platform, sizeof platform, 0xcc);
            FillMemory(reader, sizeof reader, 0xcc);
            GetPrivateProfileStringA("S", "k", kAbsent, platform, cch, path.c_str());
            ReadProfileText(text.data(), (long)text.size(), "S", "k", reader, cch, nullptr);
            EXPECT_EQ(std::string(platform, sizeof platform), std::string(reader, sizeof reader))
                << v << " in " << cch;
        }
    }
}

}  // namespace
