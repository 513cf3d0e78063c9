// The exit codes of setupcheck and setupmake.
#pragma once

enum ExitCode {
    kExitClean = 0,     // nothing found
    kExitWarnings = 1,  // warnings only
    kExitErrors = 2,    // errors, input that cannot be read, or (setupmake) nothing written
};

// The exit code for that many errors and warnings.
inline ExitCode ExitCodeOf(int errors, int warnings) {
    return errors > 0 ? kExitErrors : warnings > 0 ? kExitWarnings : kExitClean;
}
