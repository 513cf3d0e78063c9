#include "command_line.h"

#include <cstdio>

#include "code_pages.h"
#include "exit_codes.h"

int RefuseCommandLine(const char* tool, const char* usage, const std::string& error) {
    if (error.empty())
        fprintf(stderr, usage, CodePageChoices().c_str());
    else
        fprintf(stderr, "%s: %s\n", tool, error.c_str());
    return kExitErrors;
}
