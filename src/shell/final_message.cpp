#include "final_message.h"

#include "setupinfo/text.h"

bool ComposeFinalMessage(const char* completeFormat, const char* installNote,
                         const char* productName, char* message, int cchMessage) {
    char note[kStringResourceSize];
    bool fit = TextFormat(message, cchMessage, completeFormat, productName, productName);
    fit = TextFormat(note, sizeof note, installNote) && fit;
    return TextAppend(message, cchMessage, note) && fit;
}
