#include "tool_dirs.h"

void StripTrailingSeparators(std::string* path, const LeadBytes& lead) {
    for (;;) {
        const char* last = path->c_str();
        for (const char* p = last; *p; p += CharSizeOf(p, lead))
            last = p;
        if (path->size() <= 1 || last != path->c_str() + path->size() - 1 ||
            (*last != '\\' && *last != '/'))
            return;
        path->pop_back();
    }
}
