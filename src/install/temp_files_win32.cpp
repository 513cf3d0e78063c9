#include "temp_files_win32.h"

#include <windows.h>

#include "base/text.h"
#include "setupinfo/setup_state_win32.h"

bool MakeTempFile(const char* targetPath, const char* prefix, char* tempPath) {
    char folder[kPathSize];
    TextCopy(folder, sizeof folder, targetPath);
    const char* cut = FindLastSeparator(folder, false, gSetup.leadBytes);
    folder[cut ? cut - folder : 0] = '\0';
    return GetTempFileNameA(folder, prefix, 0, tempPath) != 0;
}

bool IsTempName(const char* name, const char* prefix) {
    int cch = TextLength(name);
    if (cch < 8 || cch > 11 || !TextEqualNoCaseAscii(name + cch - 4, ".tmp"))
        return false;
    for (int i = 0; i < cch - 4; i++) {
        char c = name[i] | 0x20;  // ASCII letters in lower case
        bool hexDigit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        if (i < 3 ? c != prefix[i] : !hexDigit)
            return false;
    }
    return true;
}
