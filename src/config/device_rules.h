// The portable rules of the display device registration: the key names of
// the hardware tree and the driver instance taken from a "Driver" value.
#pragma once

#include "base/code_page.h"

// "Enum\PCI\<vender>", below HKEY_LOCAL_MACHINE. Returns false when vender
// is empty (Enum\PCI itself would be taken for the device key and every
// maker's adapter for an instance) or when the name does not fit.
bool ComposeDeviceKeyName(const char* vender, char* name, int cchName);

// "Enum\PCI\<vender>\<instance>". Returns false when it does not fit.
bool ComposeInstanceKeyName(const char* vender, const char* instance, char* name, int cchName);

// Takes the driver key's instance name from a "Driver" value such as
// DISPLAY\0001: the text after the first backslash character. Returns false and leaves
// instance as it was when the value has no backslash, nothing after it, or a
// name longer than cchInstance - 1 characters: a cut name is another key.
bool TakeDriverInstance(const char* driverValue, char* instance, int cchInstance,
                        const LeadBytes& lead);
