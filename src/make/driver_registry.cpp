// The registry and ini changes of a model: its AddReg lines as setup.dat's
// registry lines, its DelReg lines weighed against them, and the load
// program from its UpdateInis lines.
#include <cstdlib>

#include "config/reg_line_rules.h"
#include "driver_parts.h"
#include "make_strings.h"
#include "setup_dat_writer.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_sizes.h"

namespace {

// AddReg and DelReg lines have the fields of setup.dat's registry lines, in
// the same order: RegLineField names them.

// The AddReg flag that keeps a value that is there; flags 0 store a string.
const unsigned long kKeepExistingFlag = 2;

// The fields of an UpdateInis line.
enum IniLineField {
    kIniFileField,
    kIniSectionField,
    kIniOldEntryField,
    kIniNewEntryField,
    kIniFlagsField
};

// The root as setup.dat writes it (roots are compared there as written, in
// upper case), or null for a root it does not have.
const char* SetupRoot(const std::string& root, const LeadBytes& lead) {
    for (int i = 0; i < kRootKeyCount; i++) {
        if (StringsEqualNoCase(root, RootKeyTable[i].name, lead))
            return RootKeyTable[i].name;
    }
    return nullptr;
}

std::string Field(const InfLine& line, size_t index) {
    return index < line.fields.size() ? line.fields[index] : std::string();
}

// Each named section of a directive, or an error for one that is missing.
template <typename Each>
void ForEachSection(IntentBuild* build, const InfLine& directive, const char* what, Each each) {
    for (const std::string& name : directive.fields) {
        if (name.empty())
            continue;
        const InfSection* section = FindInfSection(*build->inf, name);
        if (section)
            each(*section);
        else
            build->findings->Error(directive.line, "no section [" + name + "] for " + what +
                                                       ": what it holds is not done");
    }
}

// Flags 0 (or none) store a plain string; kKeepExistingFlag only keeps a
// value that is there. Returns false when the line cannot be written.
bool CheckAddRegFlags(const InfLine& line, FindingSink* findings) {
    std::string flags = Field(line, kRegFlagsField);
    char* end = nullptr;
    unsigned long value = flags.empty() ? 0 : strtoul(flags.c_str(), &end, 0);
    if (!flags.empty() && *end != '\0')
        value = ~0ul;
    if (value == kKeepExistingFlag)
        findings->Warning(line.line, "flags " + std::to_string(kKeepExistingFlag) +
                                         " (keep a value that is there) are not expressed: "
                                         "setup.exe sets the value in every case");
    else if (value != 0)
        findings->Error(line.line, "flags " + flags + " ask for something other than a plain "
                                   "string value (binary, number, list, expandable, deleted): "
                                   "setup.dat writes strings only, so the value is not written");
    return value == 0 || value == kKeepExistingFlag;
}

// "root,subkey[,value-name[,flags[,value]]]": a value is stored when the
// line names one or gives a value; otherwise only the key is created.
void AddRegLine(IntentBuild* build, const InfLine& line) {
    FindingSink* findings = build->findings;
    const LeadBytes& lead = build->inf->lead;
    const char* root = SetupRoot(line.fields[kRegRootField], lead);
    if (line.hasKey) {
        findings->Error(line.line, "an '=' outside quotes makes this line a key: quote the "
                                   "field that holds it; the line is not read");
        return;
    }
    if (!root) {
        findings->Error(line.line, "root " + Quoted(line.fields[kRegRootField]) +
                                   " is none of HKR, HKCR and HKLM, the roots of setup.dat: the "
                                   "line is not written");
        return;
    }
    if (!CheckAddRegFlags(line, findings))
        return;
    IntentValue value = {line.line, root, Field(line, kRegSubkeyField),
                         !Field(line, kRegValueNameField).empty() ||
                             line.fields.size() > kRegValueField,
                         Field(line, kRegValueNameField), Field(line, kRegValueField)};
    if (!value.stores && value.keyPath.empty()) {
        findings->Warning(line.line, "the line names no key and no value: it does nothing");
        return;
    }
    if (value.stores && line.fields.size() <= kRegValueField)
        findings->Warning(line.line, "value " + Quoted(value.valueName) + " is given no data: "
                                     "it is stored as an empty string");
    if (line.fields.size() > kRegLineFieldCount)
        findings->Warning(line.line, "the fields after the fifth are ignored, as Windows "
                                     "ignores them for a string: quote a value with commas");
    std::string written, problem;
    if (ComposeRegLine(value, &written, &problem, lead))
        build->intent->values.push_back(value);
    else
        findings->Error(line.line, problem + ": the line is not written");
}

}  // namespace

void AddRegistryLines(IntentBuild* build, const InfLine& directive) {
    ForEachSection(build, directive, "AddReg", [build](const InfSection& section) {
        for (const InfLine& line : section.lines)
            AddRegLine(build, line);
    });
}

// setup.exe deletes nothing. A value that AddReg sets again ends the same.
void CheckDeletedValues(IntentBuild* build, const InfLine& directive) {
    ForEachSection(build, directive, "DelReg", [build](const InfSection& section) {
        for (const InfLine& line : section.lines) {
            const std::string& rootField = line.fields[kRegRootField];
            std::string subkey = Field(line, kRegSubkeyField);
            std::string valueName = Field(line, kRegValueNameField);
            const LeadBytes& lead = build->inf->lead;
            const char* root = SetupRoot(rootField, lead);
            std::string key = rootField + (subkey.empty() ? "" : "\\" + subkey);
            const IntentValue* again = nullptr;
            for (const IntentValue& value : build->intent->values) {
                if (root && value.stores && value.root == root && !valueName.empty() &&
                    StringsEqualNoCase(value.keyPath, subkey, lead) &&
                    StringsEqualNoCase(value.valueName, valueName, lead))
                    again = &value;
            }
            if (again)
                build->findings->Warning(line.line, "setup.exe deletes no value, but AddReg line " +
                                         std::to_string(again->line) + " sets " +
                                         Quoted(valueName) + " again: it ends the same");
            else
                build->findings->Error(line.line, "setup.exe deletes no registry value or key: " +
                                       (valueName.empty() ? "key " + Quoted(key)
                                                          : "value " + Quoted(valueName) +
                                                                " of " + Quoted(key)) +
                                       " stays where the system has it");
        }
    });
}

// "win.ini,windows,,"load=PROGRAM"" names the program of the load line;
// setup.exe adds it there unless the line holds it already.
void ReadLoadProgram(IntentBuild* build, const InfLine& directive) {
    ForEachSection(build, directive, "UpdateInis", [build](const InfSection& section) {
        for (const InfLine& line : section.lines) {
            std::string entry = Field(line, kIniNewEntryField);
            size_t equals = entry.find('=');
            std::string key = entry.substr(0, equals), program = entry.substr(equals + 1);
            key.erase(key.find_last_not_of(" \t") + 1);
            program.erase(0, program.find_first_not_of(" \t"));
            std::string flags = Field(line, kIniFlagsField);
            const LeadBytes& lead = build->inf->lead;
            bool isLoad = !line.hasKey &&
                          StringsEqualNoCase(line.fields[kIniFileField], kLoadLineEdit.file, lead) &&
                          StringsEqualNoCase(Field(line, kIniSectionField),
                                             kLoadLineEdit.section, lead) &&
                          Field(line, kIniOldEntryField).empty() && equals != std::string::npos &&
                          StringsEqualNoCase(key, kLoadLineEdit.key, lead) && !program.empty() &&
                          (flags.empty() || flags == "0");
            DriverIntent* intent = build->intent;
            if (!isLoad)
                build->findings->Error(line.line, "setup.dat edits no ini line but the load "
                                                  "line of win.ini [windows]: this one is not made");
            else if (!intent->loadProgram.empty())
                build->findings->Error(line.line, "a second load program: setup.dat names one, "
                                                  "from line " + std::to_string(intent->loadLine));
            else if (program.size() > (size_t)kLoadProgramSize - 1)
                build->findings->Error(line.line, "load program " + Quoted(program) + " is longer "
                                       "than the " + std::to_string(kLoadProgramSize - 1) +
                                       " characters setup.exe reads: it would add another name");
            else {
                intent->loadProgram = program;
                intent->loadLine = line.line;
            }
        }
    });
}
