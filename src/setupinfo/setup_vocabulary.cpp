#include "setup_vocabulary.h"

#include "base/text.h"

bool FormatMissingSection(char* text, int cchText, const char* header) {
    return TextFormat(text, cchText, "Can't find section: %s", header);
}
