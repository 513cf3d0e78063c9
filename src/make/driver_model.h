// From a read INF to what it asks Windows to do for one of its models.
#pragma once

#include <string>

#include "driver_intent.h"
#include "inf_text.h"

// Chooses the model (the only one, or the one whose description or install
// section is wantedModel) and gathers its intent: names, hardware id, disks,
// files, registry values and load program. infName is the INF's file name.
// What setup.dat cannot express goes to findings with its INF line.
DriverIntent BuildDriverIntent(const InfText& inf, const std::string& infName,
                               const std::string& wantedModel, FindingSink* findings,
                               const CodePage& page);
