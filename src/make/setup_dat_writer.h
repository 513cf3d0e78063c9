// setup.dat of a set, written so that setup.exe's own readers give back what
// the INF says.
#pragma once

#include <string>

#include "diskette_layout.h"
#include "driver_intent.h"

// The whole file, with CR LF line ends. sizeInKB < 0 leaves out [DiskSpace].
std::string ComposeSetupDat(const DriverIntent& intent, const DisketteSet& set, long long sizeInKB);

// The [Driver.AddReg] line of a value: key names joined by the doubled
// backslash that the key walk skips, fields quoted where they hold a comma,
// space or tab. Returns false, with the reason in *problem, when setup.exe
// would read back anything else: a double quote, ';' or '[' in a field, an
// empty key name, or a field or line longer than its buffer. Text is walked
// by characters of the code page of lead: a '[' or '\' that is a second byte
// is written as it is.
bool ComposeRegLine(const IntentValue& value, std::string* line, std::string* problem,
                    const LeadBytes& lead);
