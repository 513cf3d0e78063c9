#include "final_message.h"

#include "base/text.h"

void ComposeFinalMessage(const char* completeFormat, const char* installNote,
                         const char* productName, char* message, int cchMessage) {
    char note[kStringResourceSize];
    TextFormat(message, cchMessage, completeFormat, productName, productName);
    TextFormat(note, sizeof note, installNote);
    TextAppend(message, cchMessage, note);
}
