// The restart that ends the install.
#pragma once

// Asks the system to restart. On the NT family the shutdown privilege is
// enabled first, without which the request would fail in silence.
void RequestRestart();
