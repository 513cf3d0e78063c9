// The exit codes of setupcheck and setupmake.
#pragma once

#include "findings.h"

enum ExitCode {
    kExitClean = 0,     // nothing found
    kExitWarnings = 1,  // warnings only
    kExitErrors = 2,    // errors, input that cannot be read, or (setupmake) nothing written
};

// The exit code for that many errors and warnings.
inline ExitCode ExitCodeOf(const FindingCounts& counts) {
    return counts.errors > 0 ? kExitErrors : counts.warnings > 0 ? kExitWarnings : kExitClean;
}
