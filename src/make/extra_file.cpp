#include "extra_file.h"

#include "driver_parts.h"
#include "make_strings.h"

namespace {

// The digits a banner number may have: far more than a position or a font
// height needs, and far from the limits of the int the program reads.
const size_t kMaxBannerDigits = 6;

bool IsNumber(const std::string& text) {
    size_t digits = text.size() - (text[0] == '-' ? 1 : 0);
    return !text.empty() && digits >= 1 && digits <= kMaxBannerDigits &&
           text.find_first_not_of("0123456789", text.size() - digits) == std::string::npos;
}

void ReadBanner(const InfSection& section, DriverIntent* intent, FindingSink* findings) {
    static const char* const kKeys[] = {kFontHiKey, kStartXKey, kStartYKey};
    for (const InfLine& line : section.lines) {
        const char* key = nullptr;
        for (const char* known : kKeys)
            key = StringsEqualNoCase(line.key, known, intent->codePage->lead) ? known : key;
        bool again = false;
        for (const auto& value : intent->banner)
            again = again || (key && value.first == key);
        if (!key)
            findings->Error(line.line, "[Banner] holds FontHi, StartX and StartY only");
        else if (again)
            findings->Error(line.line, std::string(key) + " is given twice");
        else if (line.fields.size() > 1 || !IsNumber(line.fields[0]))
            findings->Error(line.line, std::string(key) + " takes a whole number");
        else
            intent->banner.push_back({key, line.fields[0]});
    }
}

void AddExtraFiles(const InfText& extra, const InfSection& section, CopyTarget target,
                   DriverIntent* intent, FindingSink* findings) {
    for (const InfLine& line : section.lines) {
        const std::string& name = line.fields[0];
        bool again = false;
        for (const IntentFile& file : intent->files)
            again = again ||
                    (file.target == target && StringsEqualNoCase(file.name, name, extra.lead));
        if (line.hasKey || line.fields.size() > 1)
            findings->Error(line.line, "one file name a line, nothing else");
        else if (again)
            findings->Warning(line.line, name + " is installed there already");
        else if (CheckFileName(name, target, false, line.line, findings, *intent->codePage))
            intent->files.push_back({name, target, 0, false, findings->file, line.line, -1});
    }
}

}  // namespace

void ApplyExtraFile(const InfText& extra, DriverIntent* intent, FindingSink* findings) {
    for (const InfSection& section : extra.sections) {
        std::string header = "[" + section.name + "]";
        if (StringsEqualNoCase(section.name, kBannerSection, extra.lead))
            ReadBanner(section, intent, findings);
        else if (StringsEqualNoCase(header, kWindowsDirHeader, extra.lead))
            AddExtraFiles(extra, section, kToWindowsDir, intent, findings);
        else if (StringsEqualNoCase(header, kSystemDirHeader, extra.lead))
            AddExtraFiles(extra, section, kToSystemDir, intent, findings);
        else
            findings->Error(section.line, header + " is not a section of the side file, "
                                                   "which has [Banner], [WindowsDir] and [SystemDir]");
    }
}
