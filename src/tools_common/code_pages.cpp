#include "code_pages.h"

#include <cstdlib>

namespace {

// Lead-byte ranges as CPINFO gives them on Windows.
const CodePage kCodePages[] = {
    {1252, {}, "CP1252"},
    {932, {{0x81, 0x9F, 0xE0, 0xFC}}, "CP932"},
    {936, {{0x81, 0xFE}}, "CP936"},
    {949, {{0x81, 0xFE}}, "CP949"},
    {950, {{0x81, 0xFE}}, "CP950"},
};

}  // namespace

const CodePage* FindCodePage(int number) {
    for (const CodePage& page : kCodePages) {
        if (page.number == number)
            return &page;
    }
    return nullptr;
}

const CodePage* ParseCodePage(const char* text, std::string* error) {
    char* end = nullptr;
    long number = strtol(text, &end, 10);
    bool digits = *text >= '0' && *text <= '9' && *end == '\0' && number == (int)number;
    const CodePage* page = digits ? FindCodePage((int)number) : nullptr;
    if (!page) {
        std::string known;
        for (const CodePage& each : kCodePages)
            known += (known.empty() ? "" : ", ") + std::to_string(each.number);
        *error = std::string("code page ") + text + " is not known: the code pages known are " +
                 known;
    }
    return page;
}

std::string CodePageChoices() {
    const size_t count = sizeof kCodePages / sizeof kCodePages[0];
    std::string choices;
    for (size_t i = 0; i < count; i++) {
        choices += i == 0 ? "" : i + 1 < count ? ", " : " or ";
        choices += std::to_string(kCodePages[i].number);
        if (kCodePages[i].number == kDefaultCodePage)
            choices += " (default)";
    }
    return choices;
}
