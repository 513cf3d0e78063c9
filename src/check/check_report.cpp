// The plan as text for people and as JSON for build pipelines. setup.dat is
// written in the Windows ANSI code page (1252); both outputs are Unicode.
#include "check_internal.h"
#include "config/reg_line_rules.h"
#include "setupinfo/setup_vocabulary.h"

namespace {

// Code points of the bytes 0x80 to 0x9F in code page 1252; the rest of the
// page equals Latin-1. Unassigned bytes keep their own value.
const unsigned char kCp1252HighFirst = 0x80;
const int kCp1252HighCount = 32;
const unsigned short kCp1252High[kCp1252HighCount] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178,
};

unsigned CodePoint(unsigned char c) {
    return c >= kCp1252HighFirst && c < kCp1252HighFirst + kCp1252HighCount
               ? kCp1252High[c - kCp1252HighFirst]
               : c;
}

std::string Utf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        unsigned u = CodePoint(c);
        if (u < 0x80) {
            out += (char)u;
        } else if (u < 0x800) {
            out += (char)(0xC0 | u >> 6);
            out += (char)(0x80 | (u & 0x3F));
        } else {
            out += (char)(0xE0 | u >> 12);
            out += (char)(0x80 | (u >> 6 & 0x3F));
            out += (char)(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        unsigned u = CodePoint(c);
        if (u == '"' || u == '\\')
            out += Format("\\%c", (char)u);
        else if (u < ' ' || u >= 0x7F)
            out += Format("\\u%04x", u);
        else
            out += (char)u;
    }
    return out + "\"";
}

std::string Quoted(const std::string& text) { return "\"" + Utf8(text) + "\""; }

// The keyed values of the plan under their names in setup.dat.
struct KeyedName {
    const char* name;
    KeyedValue CheckPlan::*field;
};

const KeyedName kKeyedNames[] = {
    {kProductNameKey, &CheckPlan::productName}, {kLoadKey, &CheckPlan::loadProgram},
    {kDriverInfKey, &CheckPlan::driverInf},     {kOemsetupInfKey, &CheckPlan::oemsetupInf},
    {kVenderKey, &CheckPlan::vender},           {kMfgKey, &CheckPlan::mfg},
    {kSizeInKBKey, &CheckPlan::sizeInKB},
};

std::string LineOf(int line) { return line > 0 ? Format("line %d", line) : "absent"; }

const char* SeverityName(Severity severity) { return severity == kError ? "error" : "warning"; }

std::string FileState(const PlannedFile& file) {
    if (file.diskette < 0)
        return "MISSING";
    std::string state = Format("%lld bytes%s", file.size, file.compressed ? ", compressed" : "");
    if (file.diskette > 0)
        state += Format(", on set folder %d", file.diskette + 1);
    return state;
}

std::string RegAction(const PlannedRegLine& line) {
    if (line.base.empty())
        return Format("ignored (root %s)", Quoted(line.root).c_str());
    std::string action = line.root;
    for (size_t i = 0; i < line.keys.size(); i++)
        action += (i ? ", " : "  opens ") + Utf8(line.keys[i]);
    if (line.stores)
        action += "  sets " + (line.valueName.empty() ? std::string("(default)")
                                                    : Quoted(line.valueName)) +
                  " = " + Quoted(line.value);
    else if (line.keys.empty())
        action += "  opens the base key only";
    return action;
}

void TextHeader(const CheckPlan& plan, std::string* out) {
    *out += "setup.dat     " + Utf8(plan.setupDat) + "\n";
    *out += Format("Code page     %d\n", plan.codePage);
    for (const KeyedName& keyed : kKeyedNames) {
        const KeyedValue& value = plan.*keyed.field;
        if (keyed.field == &CheckPlan::vender || keyed.field == &CheckPlan::mfg)
            continue;
        std::string shown = keyed.field == &CheckPlan::sizeInKB
                                ? Format("%lld bytes expected", plan.expectedBytes)
                                : Quoted(value.value);
        *out += Format("%-14s%-40s %s\n", keyed.name, shown.c_str(), LineOf(value.line).c_str());
    }
    std::string end = Format("bar ends at %d%% after %lld bytes", plan.finalPosition,
                             plan.copiedBytes);
    if (plan.sizeInKBFor100 >= 0)
        end += Format("; %s=%lld for 100%%", kSizeInKBKey, plan.sizeInKBFor100);
    *out += "Progress      " + end + "\n";
}

void TextFiles(const CheckPlan& plan, std::string* out) {
    *out += Format("\nFiles (source %s, Windows %s, System %s)%s\n",
                   Utf8(plan.sourceDir).c_str(), Utf8(plan.windowsDir).c_str(),
                   Utf8(plan.systemDir).c_str(),
                   plan.copyPhaseComplete ? "" : ": the copy phase ends at a missing list");
    for (const PlannedFile& file : plan.files) {
        *out += Format("  line %-4d %-12s disk %s %s: %s\n", file.line, file.list.c_str(),
                       Quoted(file.diskId).c_str(), Quoted(file.label).c_str(),
                       FileState(file).c_str());
        *out += Format("            %s -> %s (%s)\n", Utf8(file.source).c_str(),
                       Utf8(file.target).c_str(), file.folder.c_str());
        if (!file.prompt.empty())
            *out += "            prompt: " + Quoted(file.prompt) + "\n";
    }
}

void TextRegistry(const CheckPlan& plan, std::string* out) {
    *out += "\nRegistry\n";
    if (plan.deviceKey.empty())
        *out += "  no adapter key: nothing is registered\n";
    else
        *out += Format("  each instance below %s: %s = %s, %s = %s\n",
                       Utf8(plan.deviceKey).c_str(), kDeviceDescValue,
                       Quoted(plan.productName.value).c_str(), kMfgValue,
                       Quoted(plan.mfg.value).c_str());
    *out += plan.registryApplied
                ? Format("  %s is applied once per instance; %s is its driver key %s\n",
                         kDriverAddRegHeader, RootKeyName(kRootDriverKey),
                         BaseKeyName(kRootDriverKey).c_str())
                : Format("  %s is not applied\n", kDriverAddRegHeader);
    for (const PlannedRegLine& line : plan.regLines)
        *out += Format("  line %-4d %s\n", line.line, RegAction(line).c_str());
}

void TextIniAndFindings(const CheckPlan& plan, std::string* out) {
    *out += "\nIni files\n";
    for (const IniChange& change : plan.ini) {
        std::string what = change.change == "set"    ? "= " + Utf8(change.value)
                           : change.change == "add" ? "gets " + Utf8(change.value) +
                                                          " unless it holds it already"
                                                    : "deleted";
        *out += Format("  %s [%s] %s %s\n", change.file.c_str(), change.section.c_str(),
                       change.key.c_str(), what.c_str());
    }
    *out += "\nFindings\n";
    if (plan.findings.empty())
        *out += "  none\n";
    for (const Finding& f : plan.findings)
        *out += Format("  %-7s %-9s %s\n", SeverityName(f.severity),
                       f.line > 0 ? Format("line %d", f.line).c_str() : "",
                       Utf8(f.text).c_str());
    int errors = CountFindings(plan, kError), warnings = CountFindings(plan, kWarning);
    *out += Format("\n%d error%s, %d warning%s\n", errors, errors == 1 ? "" : "s", warnings,
                   warnings == 1 ? "" : "s");
}

std::string JsonKeyed(const char* name, const KeyedValue& value) {
    return Format("\"%s\": {\"value\": %s, \"line\": %d}", name, Json(value.value).c_str(),
                  value.line);
}

std::string JsonFile(const PlannedFile& f) {
    return Format("{\"line\": %d, \"list\": %s, \"disk_id\": %s, \"label\": %s, \"listed\": %s, "
                  "\"source\": %s, \"installed\": %s, \"target\": %s, \"folder\": %s, "
                  "\"present\": %s, \"set_folder\": %d, \"compressed\": %s, \"size\": %lld, "
                  "\"prompt\": %s}",
                  f.line, Json(f.list).c_str(), Json(f.diskId).c_str(), Json(f.label).c_str(),
                  Json(f.listed).c_str(), Json(f.source).c_str(), Json(f.installed).c_str(),
                  Json(f.target).c_str(), Json(f.folder).c_str(),
                  f.diskette >= 0 ? "true" : "false", f.diskette, f.compressed ? "true" : "false",
                  f.size, f.prompt.empty() ? "null" : Json(f.prompt).c_str());
}

std::string JsonRegLine(const PlannedRegLine& r) {
    std::string keys;
    for (const std::string& key : r.keys)
        keys += (keys.empty() ? "" : ", ") + Json(key);
    return Format("{\"line\": %d, \"root\": %s, \"fields\": %d, \"base\": %s, \"keys\": [%s], "
                  "\"stores\": %s, \"value_name\": %s, \"value\": %s}",
                  r.line, Json(r.root).c_str(), r.count,
                  r.base.empty() ? "null" : Json(r.base).c_str(), keys.c_str(),
                  r.stores ? "true" : "false", Json(r.valueName).c_str(),
                  Json(r.value).c_str());
}

// Appends "name": [items], each item on a line of its own.
template <typename T, typename F>
void JsonArray(const char* name, const std::vector<T>& items, F format, std::string* out) {
    *out += Format("  \"%s\": [", name);
    for (size_t i = 0; i < items.size(); i++) {
        *out += i ? ",\n    " : "\n    ";
        *out += format(items[i]);
    }
    *out += items.empty() ? "],\n" : "\n  ],\n";
}

std::string JsonIni(const IniChange& c) {
    return Format("{\"file\": %s, \"section\": %s, \"key\": %s, \"change\": %s, "
                  "\"value\": %s}", Json(c.file).c_str(), Json(c.section).c_str(),
                  Json(c.key).c_str(), Json(c.change).c_str(), Json(c.value).c_str());
}

std::string JsonFinding(const Finding& f) {
    return Format("{\"severity\": \"%s\", \"line\": %d, \"text\": %s}",
                  SeverityName(f.severity), f.line, Json(f.text).c_str());
}

}  // namespace

std::string FormatPlanText(const CheckPlan& plan) {
    std::string out;
    TextHeader(plan, &out);
    TextFiles(plan, &out);
    TextRegistry(plan, &out);
    TextIniAndFindings(plan, &out);
    return out;
}

std::string FormatPlanJson(const CheckPlan& plan) {
    std::string out = "{\n  \"setup_dat\": " + Json(plan.setupDat) + ",\n";
    out += Format("  \"code_page\": %d,\n", plan.codePage);
    out += Format("  \"source_dir\": %s, \"windows_dir\": %s, \"system_dir\": %s,\n",
                  Json(plan.sourceDir).c_str(), Json(plan.windowsDir).c_str(),
                  Json(plan.systemDir).c_str());
    for (const KeyedName& keyed : kKeyedNames)
        out += "  " + JsonKeyed(keyed.name, plan.*keyed.field) + ",\n";
    out += Format("  \"progress\": {\"expected_bytes\": %lld, \"copied_bytes\": %lld, "
                  "\"final_position\": %d, \"size_in_kb_for_100\": %lld},\n",
                  plan.expectedBytes, plan.copiedBytes, plan.finalPosition, plan.sizeInKBFor100);
    out += Format("  \"copy_phase_complete\": %s,\n", plan.copyPhaseComplete ? "true" : "false");
    JsonArray("files", plan.files, JsonFile, &out);
    out += Format("  \"device_key\": %s, \"registry_applied\": %s,\n",
                  plan.deviceKey.empty() ? "null" : Json(plan.deviceKey).c_str(),
                  plan.registryApplied ? "true" : "false");
    JsonArray("registry_lines", plan.regLines, JsonRegLine, &out);
    JsonArray("ini", plan.ini, JsonIni, &out);
    JsonArray("findings", plan.findings, JsonFinding, &out);
    out += Format("  \"errors\": %d, \"warnings\": %d\n}\n", CountFindings(plan, kError),
                  CountFindings(plan, kWarning));
    return out;
}
