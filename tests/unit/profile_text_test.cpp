// The in-memory ini reader against the answers recorded from the platform's
// profile functions, and the lines it reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/profile_text.h"
#include "profile_cases.h"

namespace {

TEST(ReadProfileText, AgreesWithThePlatform) {
    for (const ProfileTextCase& c : kProfileTextCases) {
        std::vector<char> value(c.cchValue + 8, '\xcc');
        int line = -1;
        int full = ReadProfileText(c.text.data(), (long)c.text.size(), c.section, c.key, value.data(),
                                   c.cchValue, &line);
        SCOPED_TRACE(Escaped(c.text) + " [" + c.section + "] " + Escaped(c.key));
        if (!c.expected) {
            EXPECT_EQ(-1, full);
            EXPECT_EQ(0, line);
            EXPECT_EQ('\xcc', value[0]);
            continue;
        }
        EXPECT_EQ(c.expected, std::string(value.data()));
        EXPECT_GE(full, (int)std::string(c.expected).size());
        EXPECT_EQ(c.line, line);
        for (size_t i = c.cchValue; i < value.size(); i++)
            ASSERT_EQ('\xcc', value[i]) << "written past the buffer at " << i;
    }
}

TEST(ReadProfileText, ReturnsTheFullLengthAndWritesNothingIntoNoRoom) {
    const std::string text = "[S]\r\nv=0123456789abcdef\r\nq=\"0123456789\"\r\n";
    char value[4] = {'\xcc', '\xcc', '\xcc', '\xcc'};
    EXPECT_EQ(16, ReadProfileText(text.data(), (long)text.size(), "S", "v", value, 4, nullptr));
    EXPECT_STREQ("012", value);
    value[0] = '\xcc';
    EXPECT_EQ(10, ReadProfileText(text.data(), (long)text.size(), "S", "q", value, 0, nullptr));
    EXPECT_EQ('\xcc', value[0]);
    int line = -1;
    EXPECT_EQ(-1, ReadProfileText(text.data(), (long)text.size(), nullptr, "v", value, 4, &line));
    EXPECT_EQ(-1, ReadProfileText(text.data(), (long)text.size(), "S", nullptr, value, 4, &line));
    EXPECT_EQ(0, line);
}

TEST(ReadProfileInt, AgreesWithThePlatform) {
    for (const ProfileIntCase& c : kProfileIntCases) {
        std::string text = "[S]\r\nk=" + c.value + "\r\n";
        int line = -1;
        EXPECT_EQ(c.expected, ReadProfileInt(text.data(), (long)text.size(), "S", "k", kIntDefault, &line))
            << Escaped(c.value);
        EXPECT_EQ(2, line);
    }
    EXPECT_EQ(kIntDefault, ReadProfileInt("[S]\r\nk\r\n", 8, "S", "k", kIntDefault, nullptr));
    EXPECT_EQ(kIntDefault, ReadProfileInt("", 0, "S", "k", kIntDefault, nullptr));
}

TEST(ProfileTextToInt, StopsAtTheTerminatorOrTheReadLimit) {
    EXPECT_EQ(0, ProfileTextToInt(""));
    EXPECT_EQ(7, ProfileTextToInt("7\0" "9"));
    // A prefix is taken once: "0x0o1" is hex 0 then stops at "o".
    EXPECT_EQ(0, ProfileTextToInt("0x0o1"));
    // The limit is counted from the first character, blanks included.
    EXPECT_EQ(12, ProfileTextToInt((std::string(27, ' ') + "123").c_str()));
    EXPECT_EQ(0, ProfileTextToInt((std::string(28, ' ') + "0x5").c_str()));
}

// Each line as "number kind name=value", kind S, K or -, a quoted value in <>.
std::vector<std::string> Walk(const std::string& text) {
    std::vector<std::string> lines;
    ProfileCursor cursor = {0, 1};
    ProfileLine l;
    while (lines.size() < 100 && NextProfileLine(text.data(), (long)text.size(), &cursor, &l)) {
        std::string value = l.value ? "=" + std::string(l.value, l.cchValue) : "";
        if (l.quoted)
            value = "=<" + value.substr(1) + ">";
        lines.push_back(std::to_string(l.line) + " " + "SK-"[l.kind] + " " +
                        std::string(l.name, l.cchName) + value);
    }
    return lines;
}

TEST(NextProfileLine, SortsAndNumbersEveryLine) {
    const std::string text = PT("\xef\xbb\xbf; note\r\n[ Product ] x\n\rName = \"Kelmo 95\" \r\r\n"
                                "  \t\nflag\n[open\n=\n[S\0]\r\nv=a\0b");
    const std::vector<std::string> expected = {
        "1 K ; note", "2 S Product", "3 - ", "4 K Name=<Kelmo 95>", "5 - ", "6 - ",
        "7 K flag",   "8 K [open",   "9 K =", "10 S S",            "11 K v=a",
    };
    EXPECT_EQ(expected, Walk(text));
}

TEST(NextProfileLine, MovesPastEachLineEndAndStopsOutsideTheText) {
    const std::string text = "a=1\r\nb=2\rc=3\nd=4";
    ProfileCursor cursor = {0, 1};
    for (long next : {5L, 9L, 13L, 16L}) {
        ProfileLine l;
        ASSERT_TRUE(NextProfileLine(text.data(), (long)text.size(), &cursor, &l));
        EXPECT_EQ(next, cursor.position);
    }
    for (long position : {16L, 17L, -1L}) {
        ProfileCursor outside = {position, 1};
        ProfileLine l;
        EXPECT_FALSE(NextProfileLine(text.data(), (long)text.size(), &outside, &l)) << position;
    }
}

}  // namespace
