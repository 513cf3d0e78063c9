// The directories the tools work with: those of a usual install, and the
// folder arguments they are given.
#pragma once

#include <string>

#include "base/code_page.h"

// The directories of a usual Windows 95 installation with the set in drive
// A:, taken where the host cannot tell.
const char kUsualSourceDir[] = "A:";
const char kUsualWindowsDir[] = "C:\\WINDOWS";
const char kUsualSystemDir[] = "C:\\WINDOWS\\SYSTEM";

// Takes the backslashes and slashes off the end of a path, but for its first
// character, walking by characters: the second byte of a character is no
// backslash.
void StripTrailingSeparators(std::string* path, const LeadBytes& lead);
