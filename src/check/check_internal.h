// Shared by the parts of the plan builder: setup.dat as both readers of the
// program see it, the findings, and the parts that BuildCheckPlan runs.
#pragma once

#include <string>
#include <vector>

#include "check_plan.h"

// setup.dat in memory: the raw bytes, which the profile functions read, and
// the text without comments that the list readers walk, with the file's
// line of each of its bytes.
struct SetFile {
    std::string path;
    std::string raw;
    std::vector<unsigned char> text;
    std::vector<long> lineOf;
    long length;
    LeadBytes lead;  // of the code page it is read in
};

// One line of a list section as ReadSectionLine yields it.
struct SectionLine {
    std::string text;  // line feed included
    int line;          // the file's line it starts on
};

// What every part of the plan builder works on: the input, the plan it
// fills, and setup.dat.
struct Checker {
    const CheckInput* input;
    CheckPlan* plan;
    SetFile set;
};

// printf into a std::string of any length.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Adds a finding at a line of setup.dat (0: none) to the plan.
void AddFinding(Checker* checker, Severity severity, int line, const std::string& text);

// A line of text as it reads in a message: no CR or LF, control bytes shown.
std::string Shown(const std::string& line);

// Reads setup.dat from folder into set, to be read in the code page of lead.
// Returns false, with a message in *error, when there is none or it cannot
// be read.
bool LoadSetFile(const std::string& folder, SetFile* set, std::string* error,
                 const LeadBytes& lead);

// Reports a byte 0x1A with text after it: the list readers stop there.
void CheckEndOfFileByte(Checker* checker);

// Reads the plan's keyed values and reports values that are cut, hold a ';'
// or are missing.
void CheckKeyedValues(Checker* checker);

// Finds a list section and reports what is wrong around its header, its
// absence with the given severity. Returns the position of its first line,
// or -1.
long FindListSection(Checker* checker, const char* header, Severity missing);

// The non-blank lines of the section at position, reporting lines that are
// skipped, joined by a comment or cut off by a '['.
std::vector<SectionLine> ReadListSection(Checker* checker, const char* header, long position);

// The base key of a root code as the plan names it, with <instance> for each
// adapter's driver key; empty for a root that is ignored.
std::string BaseKeyName(int code);

// The files of both copy lists, their diskettes and the progress bar's end.
void PlanCopyLists(Checker* checker);

// The adapter key and each line of [Driver.AddReg].
void PlanRegistry(Checker* checker);

// The ini edits the program makes for this set.
void PlanIniFiles(Checker* checker);
