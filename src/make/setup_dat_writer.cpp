#include "setup_dat_writer.h"

#include "make_strings.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_text.h"

namespace {

const char kLineEnd[] = "\r\n";
// A line's end and the zero byte after it in a section-line buffer.
const size_t kLineEndAndZero = sizeof kLineEnd;

// Sections are set apart by an empty line, so that a ';' in a keyed value,
// which the list readers take for a comment running over the line's end,
// joins only that empty line.
void Header(const std::string& name, std::string* out) { *out += kLineEnd + name + kLineEnd; }

void Keyed(const std::string& key, const std::string& value, std::string* out) {
    *out += key + "=" + value + kLineEnd;
}

// Outside quotes the registry-line reader drops spaces and tabs and splits at
// commas.
std::string RegField(const std::string& text) {
    return text.find_first_of(", \t") == std::string::npos ? text : "\"" + text + "\"";
}

// The first backslash from start on, by characters; the end if none.
size_t NextBackslash(const std::string& text, size_t start, const LeadBytes& lead) {
    const char* found = FindFirstBackslash(text.c_str() + start, lead);
    return found ? (size_t)(found - text.c_str()) : text.size();
}

// Joins the key names with "\\": the key walk skips the backslash and the
// character after it. A backslash that is a second byte separates nothing.
bool WalkedPath(const std::string& keyPath, std::string* path, std::string* problem,
                const LeadBytes& lead) {
    path->clear();
    for (size_t start = 0; start < keyPath.size();) {
        size_t end = NextBackslash(keyPath, start, lead);
        if (end == start || (end + 1 == keyPath.size())) {
            *problem = "key path " + Quoted(keyPath) + " has an empty key name";
            return false;
        }
        *path += (path->empty() ? "" : "\\\\") + keyPath.substr(start, end - start);
        start = end + 1;
    }
    return true;
}

// Whether text holds the single-byte character c, walked by characters.
bool HoldsChar(const std::string& text, char c, const LeadBytes& lead) {
    for (const char* p = text.c_str(); *p; p += CharSizeOf(p, lead)) {
        if (*p == c)
            return true;
    }
    return false;
}

}  // namespace

bool ComposeRegLine(const IntentValue& value, std::string* line, std::string* problem,
                    const LeadBytes& lead) {
    std::string path;
    if (!WalkedPath(value.keyPath, &path, problem, lead))
        return false;
    struct Part {
        const char* what;
        const std::string* text;
        int cchMax;
    };
    const Part parts[] = {{"key path", &path, kSubkeySize - 1},
                          {"value name", &value.valueName, kValueNameSize - 1},
                          {"value", &value.value, kValueSize - 1}};
    static const struct { char c; const char* why; } kTraps[] = {
        {'"', "a double quote, which setup.dat's registry lines cannot hold"},
        {';', "a ';', which starts a comment anywhere in setup.dat"},
        {'[', "a '[', which ends a section anywhere in setup.dat"},
    };
    for (const Part& part : parts) {
        for (unsigned char c : *part.text) {
            if (c < ' ' && c != '\t') {
                *problem = std::string("the ") + part.what + " holds a control character";
                return false;
            }
        }
        for (const auto& trap : kTraps) {
            if (HoldsChar(*part.text, trap.c, lead)) {
                *problem = std::string("the ") + part.what + " holds " + trap.why;
                return false;
            }
        }
        if (part.text->size() > (size_t)part.cchMax) {
            *problem = std::string("the ") + part.what + " is " +
                       std::to_string(part.text->size()) + " characters long; setup.exe reads " +
                       std::to_string(part.cchMax);
            return false;
        }
    }
    *line = value.root + "," + RegField(path);
    if (value.stores)
        *line += "," + RegField(value.valueName) + ",," + RegField(value.value);
    // The line, its CR LF and a zero byte fill at most a section-line buffer.
    if (line->size() + kLineEndAndZero > (size_t)kSectionLineSize) {
        *problem = "the line would be " + std::to_string(line->size()) +
                   " characters long; setup.exe reads lines of " +
                   std::to_string(kSectionLineSize - kLineEndAndZero);
        return false;
    }
    return true;
}

std::string ComposeSetupDat(const DriverIntent& intent, const DisketteSet& set, long long sizeInKB) {
    std::string out = "; Made by setupmake from " + intent.infName + kLineEnd;
    Header(std::string("[") + kProductSection + "]", &out);
    Keyed(kProductNameKey, intent.productName, &out);
    if (!intent.loadProgram.empty())
        Keyed(kLoadKey, intent.loadProgram, &out);
    Keyed(kDriverInfKey, set.driverInf, &out);
    Keyed(kOemsetupInfKey, set.oemsetupInf, &out);
    if (sizeInKB >= 0) {
        Header(std::string("[") + kDiskSpaceSection + "]", &out);
        Keyed(kSizeInKBKey, std::to_string(sizeInKB), &out);
    }
    if (!intent.banner.empty())
        Header(std::string("[") + kBannerSection + "]", &out);
    for (const auto& banner : intent.banner)
        Keyed(banner.first, banner.second, &out);
    Header(std::string("[") + kEnumPciSection + "]", &out);
    Keyed(kVenderKey, intent.vender, &out);
    Keyed(kMfgKey, intent.mfg, &out);
    Header(std::string("[") + kMediaSection + "]", &out);
    for (size_t i = 0; i < intent.disks.size(); i++)
        Keyed(std::to_string(i + 1), intent.disks[i].label, &out);
    for (const CopyListSection& list : kCopyLists) {
        Header(list.header, &out);
        for (const ListLine& line : set.lines) {
            if (line.target == list.target)
                out += std::to_string(line.diskette + 1) + "," + line.stored + kLineEnd;
        }
    }
    Header(kDriverAddRegHeader, &out);
    for (const IntentValue& value : intent.values) {
        std::string line, problem;
        if (ComposeRegLine(value, &line, &problem, intent.codePage->lead))
            out += line + kLineEnd;
    }
    return out;
}
