// The code pages setupcheck and setupmake know: a set's setup.dat is written
// in the ANSI code page of its users' Windows, which the tools are told with
// --codepage. The one table of them is here.
#pragma once

#include <string>

#include "base/code_page.h"

// Windows' Western code page, which a set is taken to be written in unless
// the tools are told otherwise.
const int kDefaultCodePage = 1252;

struct CodePage {
    int number;
    LeadBytes lead;         // as the system gives them
    const char* iconvName;  // its name for iconv
};

// The code page of that number, or null for one the tools do not know.
const CodePage* FindCodePage(int number);

// Reads the argument of --codepage. Returns null, with a message in *error
// that lists the known numbers, for anything else.
const CodePage* ParseCodePage(const char* text, std::string* error);

// The known code pages as the usage texts list them:
// "1252 (default), 932, 936, 949 or 950".
std::string CodePageChoices();
