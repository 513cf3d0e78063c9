// An INF file read as Windows 95 reads one: sections, lines of comma
// separated fields with an optional key before a '=', ';' comments, quoted
// text ("" inside quotes is a quote) and %strkey% replaced from [Strings]
// (%% is a percent sign). The side file of setupmake is read the same way.
#pragma once

#include <string>
#include <vector>

#include "driver_intent.h"

// Larger inputs are refused: no INF comes near this.
const size_t kMaxInfBytes = 1 << 20;
// A field longer than this after string substitution is cut, with an error.
const size_t kMaxInfField = 4096;

struct InfLine {
    int line;
    bool hasKey;  // a '=' outside quotes came before any comma
    std::string key;
    std::vector<std::string> fields;  // at least one
};

struct InfSection {
    std::string name;
    int line;
    std::vector<InfLine> lines;
};

struct InfText {
    std::vector<InfSection> sections;  // a repeated header adds to its first section
    LeadBytes lead;                    // of the code page it is written in
};

// Reads the text, by characters of the code page of lead: a ']' that is a
// second byte ends no header. What cannot be read well goes to findings with
// its line.
InfText ReadInfText(const std::string& bytes, FindingSink* findings, const LeadBytes& lead);

// The section of that name, compared without case; null when absent.
const InfSection* FindInfSection(const InfText& inf, const std::string& name);

// The value of the first line whose key is key, without case; null if none.
const InfLine* FindInfKey(const InfSection* section, const std::string& key, const LeadBytes& lead);
