// The "READ ME" message shown when the install has finished.
#pragma once

#include "setupinfo/setup_sizes.h"

// A string resource as the program loads it, zero included.
const int kStringResourceSize = 256;

// The longest product name the setup state holds.
const int kMaxProductNameLength = kProductNameSize - 1;

// Room for both loaded texts and the product name in both places of the
// first, so the composition is never cut, whatever the name.
const int kFinalMessageSize = 2 * (kStringResourceSize - 1) + 2 * kMaxProductNameLength + 1;

// Formats completeFormat (two %s) with productName in both places, formats
// installNote with no arguments, and appends it, cut to fit message
// (cchMessage characters, zero included), which kFinalMessageSize never does.
void ComposeFinalMessage(const char* completeFormat, const char* installNote,
                         const char* productName, char* message, int cchMessage);
