#include "ini_files.h"

#include <windows.h>

#include "load_line.h"
#include "setupinfo/setup_state.h"
#include "setupinfo/text.h"

// Bare names: the profile functions take them from the Windows directory.
static const char kSystemIni[] = "system.ini";
static const char kWinIni[] = "win.ini";

void UpdateIniFiles() {
    WritePrivateProfileStringA("boot.description", "display.drv", gSetup.productName, kSystemIni);
    if (gSetup.loadProgram[0] != '\0')
        AddToLoadLine(gSetup.loadProgram);
    // A null value deletes the key; an empty one would keep it, empty.
    WritePrivateProfileStringA("DISPLAY", "RefreshProgramming", nullptr, kSystemIni);
}

void AddToLoadLine(const char* program) {
    // One byte more than a line may hold tells a longer line from one that
    // fits; a longer one is left as it is rather than written back cut.
    char line[kLoadLineSize + 1];
    GetPrivateProfileStringA("windows", "load", "", line, sizeof line, kWinIni);
    if (TextLength(line) > kLoadLineSize - 1)
        return;
    if (AddProgramToLoadText(line, kLoadLineSize, program) == kLoadLineTooLong)
        return;
    WritePrivateProfileStringA("windows", "load", line, kWinIni);
}
