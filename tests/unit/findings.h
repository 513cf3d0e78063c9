// What the checker's and setupmake's tests ask of a list of findings.
#pragma once

#include <string>
#include <vector>

#include "tools_common/findings.h"

// Whether the list holds a finding of that severity on that line whose text holds text.
inline bool HasFinding(const std::vector<Finding>& findings, Severity severity, int line,
                       const std::string& text) {
    for (const Finding& f : findings)
        if (f.severity == severity && f.line == line && f.text.find(text) != std::string::npos)
            return true;
    return false;
}
