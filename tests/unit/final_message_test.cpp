// The "READ ME" message: both places of the product name filled, the
// install note after it, and room for the longest name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/final_message.h"

namespace {

const char kComplete[] =
    "Setup is complete and your system will restart.  After restart, open Control "
    "Panel-Display-Settings tab.  Click on \"Change Display Type\" to check the \"Adapter "
    "Type\"  is \"%s\" or not.  If not, click \"Change\" and in Models box select \"%s\", "
    "then press OK.";
const char kNote[] =
    "   After being asked to insert Kelmo Windows 95 Disk, press OK. Then Install From Disk "
    "box will pop up, please change the copy from path to your Windows 95 system "
    "subdirectory(e.g., C:\\Windows\\System). Then press OK to finish.";

std::string Expected(const std::string& name) {
    return "Setup is complete and your system will restart.  After restart, open Control "
           "Panel-Display-Settings tab.  Click on \"Change Display Type\" to check the "
           "\"Adapter Type\"  is \"" + name + "\" or not.  If not, click \"Change\" and in "
           "Models box select \"" + name + "\", then press OK." + kNote;
}

TEST(FinalMessage, NameInBothPlacesAndTheNoteAfterTheFullStop) {
    for (const std::string& name : {std::string("Model 9"), std::string(),
                                    std::string(kMaxProductNameLength, 'W'), std::string("100% sure %s")}) {
        char message[kFinalMessageSize + 16];
        memset(message, 0xcc, sizeof message);
        EXPECT_TRUE(ComposeFinalMessage(kComplete, kNote, name.c_str(), message,
                                        kFinalMessageSize)) << name;
        EXPECT_EQ(Expected(name), message) << name;
        for (size_t i = kFinalMessageSize; i < sizeof message; i++)
            ASSERT_EQ(static_cast<char>(0xcc), message[i]) << name << " wrote past the end";
    }
}

// Resource texts may grow to 255 characters; the area still holds both with
// the longest name twice.
TEST(FinalMessage, LongestTextsAndNameFitTheArea) {
    std::string complete = "%s%s" + std::string(kStringResourceSize - 1 - 4, 'c');
    std::string note(kStringResourceSize - 1, 'n');
    std::string name(kMaxProductNameLength, 'p');
    char message[kFinalMessageSize];
    EXPECT_TRUE(ComposeFinalMessage(complete.c_str(), note.c_str(), name.c_str(), message,
                                    sizeof message));
    EXPECT_EQ(name + name + complete.substr(4) + note, message);
}

TEST(FinalMessage, TooSmallAreaIsCutAndSaysSo) {
    char message[40];
    memset(message, 0xcc, sizeof message);
    EXPECT_FALSE(ComposeFinalMessage(kComplete, kNote, "Model 9", message, 32));
    EXPECT_EQ(std::string(kComplete, 31), message);
    EXPECT_EQ(static_cast<char>(0xcc), message[32]);
}

}  // namespace
