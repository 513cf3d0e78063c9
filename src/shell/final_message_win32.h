// The "READ ME" message as the program shows it: its texts from the string
// table, composed by ComposeFinalMessage.
#pragma once

// Loads the completion text and the install note from the string table and
// composes the final message into message, which holds kFinalMessageSize
// characters.
void LoadFinalMessage(char* message, int cchMessage);
