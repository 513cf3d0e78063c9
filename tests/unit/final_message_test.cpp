// The "READ ME" message: the product name twice, then the install note.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/final_message.h"

namespace {

// Resource texts may grow to 255 characters: the area holds both with the
// longest name twice. A smaller one cuts the text, and says so.
TEST(ComposeFinalMessage, LongestTextsFitAndACutIsSaid) {
    std::string complete = "[%s] [%s]." + std::string(kStringResourceSize - 11, 'c');
    std::string note(kStringResourceSize - 1, 'n');
    std::string name = "100% %s" + std::string(kMaxProductNameLength - 7, 'p');  // not formatted again
    std::string expected = "[" + name + "] [" + name + "]." + complete.substr(10) + note;
    // The area, one character too small, and too small for the first text alone.
    for (int cch : {kFinalMessageSize, (int)expected.size(), 100}) {
        std::vector<char> message(cch + 1, '#');
        EXPECT_EQ(cch > (int)expected.size(), ComposeFinalMessage(complete.c_str(), note.c_str(),
                                                                 name.c_str(), message.data(), cch));
        EXPECT_EQ(expected.substr(0, cch - 1), message.data()) << cch;
        EXPECT_EQ('#', message[cch]) << cch;
    }
}

}  // namespace
