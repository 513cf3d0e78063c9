// The load line of win.ini: program names separated by single spaces.
#pragma once

const int kLoadLineSize = 256;

enum LoadLineEdit {
    kLoadLineHasProgram,  // already there, even inside a longer name: unchanged
    kLoadLineAdded,
    kLoadLineTooLong,     // adding would pass cchLine - 1 characters: unchanged
};

// Adds program to the load line in line (a buffer of cchLine characters)
// unless it occurs there already, compared case-sensitively. An empty line
// becomes the program alone; otherwise one space and the program are
// appended. A line that would not fit is left whole rather than cut.
LoadLineEdit AddProgramToLoadText(char* line, int cchLine, const char* program);
