// What both tools do with a command line they cannot take.
#pragma once

#include <string>

// Writes to stderr the usage text, which holds the known code pages in its
// one %s, when error is empty, else "tool: error". Returns kExitErrors.
int RefuseCommandLine(const char* tool, const char* usage, const std::string& error);
