// Shared by the parts that gather a model's intent from its INF.
#pragma once

#include <string>

#include "driver_intent.h"
#include "inf_text.h"

struct IntentBuild {
    const InfText* inf;
    DriverIntent* intent;
    FindingSink* findings;
};

// [SourceDisksNames] into intent->disks, in the order of their ids.
void ReadSourceDisks(IntentBuild* build);

// Whether setup.exe can install a file of that name where target says, as
// it is named; reports why not. The driver INF is checked as a source only.
bool CheckFileName(const std::string& name, CopyTarget target, bool driverInf, int line,
                   FindingSink* findings, const CodePage& page);

// The install section's directives that setup.dat expresses.
void AddCopyFiles(IntentBuild* build, const InfLine& directive);
void AddRegistryLines(IntentBuild* build, const InfLine& directive);
void CheckDeletedValues(IntentBuild* build, const InfLine& directive);
void ReadLoadProgram(IntentBuild* build, const InfLine& directive);
