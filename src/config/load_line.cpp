#include "load_line.h"

#include "base/text.h"

LoadLineEdit AddProgramToLoadText(char* line, int cchLine, const char* program) {
    if (TextFind(line, program) != nullptr)
        return kLoadLineHasProgram;
    int cchOld = TextLength(line);
    int cchNeeded = cchOld + (cchOld > 0 ? 1 : 0) + TextLength(program);
    if (cchNeeded > cchLine - 1)
        return kLoadLineTooLong;
    if (cchOld > 0)
        TextAppend(line, cchLine, " ");
    TextAppend(line, cchLine, program);
    return kLoadLineAdded;
}
