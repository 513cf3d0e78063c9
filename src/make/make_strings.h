// The strings of setupmake's names and messages: INF names compared and
// lower-cased as Windows does, and texts quoted.
#pragma once

#include <string>

#include "base/code_page.h"

// BytesEqualNoCase for two whole strings, zero bytes and all: Windows
// compares INF names so, by characters, a second byte never folded.
bool StringsEqualNoCase(const std::string& a, const std::string& b, const LeadBytes& lead);

// BytesLowerCase on a copy of the whole string, zero bytes and all.
std::string StringLowerCase(std::string text, const LeadBytes& lead);

// The text in double quotes, its bytes as they are, for setupmake's messages.
std::string Quoted(const std::string& text);
