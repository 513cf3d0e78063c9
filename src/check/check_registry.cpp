// The registry and ini-file changes of a set: each registry line parsed and
// walked by the program's own rules, the adapter registration, and the three
// ini edits.
#include "base/text.h"
#include "check_internal.h"
#include "config/device_rules.h"
#include "config/reg_line_rules.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_sizes.h"
#include "setupinfo/setup_vocabulary.h"

std::string BaseKeyName(int code) {
    if (code == kRootDriverKey) {
        char driverKey[kKeyNameSize];
        ComposeDriverKeyName("<instance>", driverKey, sizeof driverKey);
        return std::string("HKLM\\") + driverKey;
    }
    // The other roots are base keys themselves.
    const char* name = RootKeyName(code);
    return name ? name : "";
}

static void CheckRoot(Checker* checker, const SectionLine& line, const char* root) {
    for (int i = 0; i < kRootKeyCount; i++) {
        if (TextEqualNoCaseAscii(root, RootKeyTable[i].name)) {
            AddFinding(checker, kError, line.line,
                       Format("root \"%s\" is not \"%s\": roots are compared as written, so the "
                              "line is ignored", root, RootKeyTable[i].name));
            return;
        }
    }
    std::string names;
    for (int i = 0; i < kRootKeyCount; i++)
        names += std::string(i == 0 ? "" : i + 1 < kRootKeyCount ? ", " : " and ") +
                 RootKeyTable[i].name;
    AddFinding(checker, kWarning, line.line,
               Format("root \"%s\" is none of %s: the line is ignored", root, names.c_str()));
}

// A backslash followed by anything but a second backslash: the program skips
// the character after every backslash. Walked by characters: the second byte
// of a character is no backslash.
static void CheckKeySeparators(Checker* checker, const SectionLine& line, const char* subkey) {
    const LeadBytes& lead = checker->input->lead;
    for (const char* p = subkey; *p != '\0'; p += CharSizeOf(p, lead)) {
        if (*p != '\\')
            continue;
        const char* next = p + 1;
        if (*next != '\\' && *next != '\0') {
            std::string dropped(next, (size_t)CharSizeOf(next, lead));
            AddFinding(checker, kError, line.line,
                       Format("single backslash in \"%s\": the program drops the '%s' after "
                              "it; separate keys with a doubled backslash", subkey,
                              dropped.c_str()));
            return;
        }
        p = next;
    }
}

// Whether a line of count fields has that field.
static bool HasField(int count, RegLineField field) { return count > field; }

// What ParseRegLine leaves out or keeps that the author may not expect.
static void CheckFields(Checker* checker, const SectionLine& line, int count,
                        const RegLineRecord& record) {
    size_t quotes = 0;
    for (char c : line.text)
        quotes += c == '"';
    if (quotes % 2)
        AddFinding(checker, kWarning, line.line,
                   "unbalanced double quote: the commas after it stay in its field");
    if (line.text.find('\r') == std::string::npos)
        AddFinding(checker, kError, line.line,
                   "the line ends in a line feed without a carriage return: the line feed "
                   "becomes part of its last field");
    if (HasField(count, kRegValueField)) {
        RegFieldCursor cursor;
        char field[kValueSize];
        bool fit = true;
        bool more = NextRegField(&cursor, line.text.c_str(), field, sizeof field, ',', &fit);
        for (int i = 1; i < kRegLineFieldCount && more; i++)
            more = NextRegField(&cursor, nullptr, field, sizeof field, ',', &fit);
        if (more)
            AddFinding(checker, kWarning, line.line,
                       "text after the fifth field is ignored: quote a value that holds commas");
    } else if (HasField(count, kRegValueNameField)) {
        AddFinding(checker, kWarning, line.line,
                   Format("value name \"%s\" without a value: nothing is stored",
                          record.valueName));
    } else if (!HasField(count, kRegSubkeyField)) {
        AddFinding(checker, kWarning, line.line,
                   "a root alone only opens its base key: nothing is created or stored");
    }
}

static void PlanRegLine(Checker* checker, const SectionLine& line) {
    RegLineRecord record;
    ZeroBytes(&record, sizeof record);
    int count = ParseRegLine(line.text.c_str(), &record);
    if (count == 0) {
        // The message names one width for the root and the flags, and one for
        // the key path and the value.
        static_assert(kFlagsSize == kRootSize && kValueSize == kSubkeySize, "widths");
        AddFinding(checker, kError, line.line,
                   Format("a field is too long (root and flags hold %d characters, the value "
                          "name %d, the key path and the value %d): the line is skipped",
                          kRootSize - 1, kValueNameSize - 1, kSubkeySize - 1));
        return;
    }
    RootCode code = LookupRootKey(record.root);
    PlannedRegLine planned = {line.line, record.root, count, BaseKeyName(code), {},
                              false, record.valueName, record.value};
    CheckFields(checker, line, count, record);
    if (code == kRootUnknown) {
        CheckRoot(checker, line, record.root);
        checker->plan->regLines.push_back(planned);
        return;
    }
    RegLineAction action = ActionOfRegLine(count);
    if (action != kRegOpenBaseOnly) {
        CheckKeySeparators(checker, line, record.subkey);
        KeyPathWalk walk;
        StartKeyPath(&walk, record.subkey, checker->input->lead);
        KeyPathStep step;
        while ((step = NextKeyPathName(&walk)) == kKeyPathName)
            planned.keys.push_back(walk.name);
        if (step == kKeyPathTooLong) {
            AddFinding(checker, kError, line.line,
                       Format("a key name on this path passes %d characters: the path is "
                              "given up", kKeyNameSize - 1));
            planned.keys.clear();
            action = kRegOpenBaseOnly;
        }
    }
    planned.stores = action == kRegStoreValue;
    if (!planned.stores) {
        planned.valueName.clear();
        planned.value.clear();
    }
    checker->plan->regLines.push_back(planned);
}

void PlanRegistry(Checker* checker) {
    CheckPlan* plan = checker->plan;
    char deviceKey[kPathSize];
    if (ComposeDeviceKeyName(plan->vender.value.c_str(), deviceKey, sizeof deviceKey))
        plan->deviceKey = std::string("HKLM\\") + deviceKey;
    else if (!plan->vender.value.empty())
        AddFinding(checker, kError, plan->vender.line,
                   Format("%s makes the adapter's key name longer than %d characters: no "
                          "adapter is registered", kVenderKey, kPathSize - 1));
    // Without an adapter key the section is never looked for.
    long position =
        FindListSection(checker, kDriverAddRegHeader, plan->deviceKey.empty() ? kWarning : kError);
    if (position >= 0) {
        for (const SectionLine& line : ReadListSection(checker, kDriverAddRegHeader, position))
            PlanRegLine(checker, line);
    }
    plan->registryApplied = !plan->deviceKey.empty() && position >= 0 && plan->copyPhaseComplete;
    if (!plan->deviceKey.empty() && position >= 0 && !plan->copyPhaseComplete) {
        char shown[kPathSize];
        FormatMissingSection(shown, sizeof shown, kDriverAddRegHeader);
        AddFinding(checker, kError, 0,
                   Format("the copy phase ends at a missing list section and releases %s: "
                          "setup.exe shows \"%s\" for each adapter and applies no registry "
                          "line", kSetupDatName, shown));
    }
}

void PlanIniFiles(Checker* checker) {
    CheckPlan* plan = checker->plan;
    for (const IniEdit& edit : kIniEdits) {
        if (!IniEditIsMade(edit, plan->loadProgram.value.c_str()))
            continue;
        std::string value = edit.change == kIniSetProductName   ? plan->productName.value
                            : edit.change == kIniAddLoadProgram ? plan->loadProgram.value
                                                                : "";
        plan->ini.push_back({edit.file, edit.section, edit.key, edit.change, value});
    }
}
