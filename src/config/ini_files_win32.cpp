#include "ini_files_win32.h"

#include <windows.h>

#include "base/text.h"
#include "load_line.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"

void UpdateIniFiles() {
    for (const IniEdit& edit : kIniEdits) {
        if (!IniEditIsMade(edit, gSetup.loadProgram))
            continue;
        switch (edit.change) {
        case kIniSetProductName:
            WritePrivateProfileStringA(edit.section, edit.key, gSetup.productName, edit.file);
            break;
        case kIniAddLoadProgram:
            AddToLoadLine(gSetup.loadProgram);
            break;
        case kIniDeleteKey:
            // A null value deletes the key; an empty one would keep it, empty.
            WritePrivateProfileStringA(edit.section, edit.key, nullptr, edit.file);
            break;
        }
    }
}

void AddToLoadLine(const char* program) {
    // One byte more than a line may hold tells a longer line from one that
    // fits; a longer one is left as it is rather than written back cut.
    char line[kLoadLineSize + 1];
    const IniEdit& edit = kLoadLineEdit;
    GetPrivateProfileStringA(edit.section, edit.key, "", line, sizeof line, edit.file);
    if (TextLength(line) > kLoadLineSize - 1)
        return;
    if (AddProgramToLoadText(line, kLoadLineSize, program) == kLoadLineTooLong)
        return;
    WritePrivateProfileStringA(edit.section, edit.key, line, edit.file);
}
