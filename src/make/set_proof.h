// The proof of a written set: setupcheck's plan of it, worked out with the
// program's own rules, held against what the INF says.
#pragma once

#include <string>

#include "check/check_plan.h"
#include "diskette_layout.h"
#include "driver_intent.h"

// The plan of the set in the folders staging/disk1 ... diskN, for a diskette
// in A: and Windows in C:\WINDOWS. Returns false with a message when the set
// cannot be read.
bool PlanWrittenSet(const std::string& staging, size_t diskettes, CheckPlan* plan,
                    std::string* error, const CodePage& page);

// Every difference between the plan and the intent is an error: the keyed
// values, each file (folder, installed name, size, diskette and its label)
// and each registry line (root, key path, value name and value). The plan's
// own findings are passed on with their line of setup.dat.
void CompareWithIntent(const CheckPlan& plan, const DriverIntent& intent, const DisketteSet& set,
                       FindingSink* findings);
