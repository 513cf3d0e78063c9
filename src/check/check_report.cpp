// The plan as text for people and as JSON for build pipelines. setup.dat is
// written in the ANSI code page of the set's users; both outputs are Unicode,
// converted by the system's converter.
#include "check_host.h"
#include "check_internal.h"
#include "config/reg_line_rules.h"
#include "install/copy_progress.h"
#include "setupinfo/setup_vocabulary.h"
#include "tools_common/code_pages.h"

namespace {

// The code page of the plan being shown: set by FormatPlanText and
// FormatPlanJson, read by the helpers below.
int shownCodePage = kDefaultCodePage;

std::string Utf8(const std::string& text) { return ToUtf8(text, shownCodePage); }

// The next code point of UTF-8 text at *i, moving *i past it.
unsigned NextCodePoint(const std::string& text, size_t* i) {
    unsigned char c = (unsigned char)text[(*i)++];
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    unsigned u = more == 3 ? c & 0x07 : more == 2 ? c & 0x0F : more == 1 ? c & 0x1F : c;
    for (; more > 0 && *i < text.size(); more--)
        u = u << 6 | ((unsigned char)text[(*i)++] & 0x3F);
    return u;
}

// Every code point above ASCII escaped, those past U+FFFF as a surrogate pair.
std::string Json(const std::string& text) {
    std::string utf8 = Utf8(text), out = "\"";
    for (size_t i = 0; i < utf8.size();) {
        unsigned u = NextCodePoint(utf8, &i);
        if (u == '"' || u == '\\')
            out += Format("\\%c", (char)u);
        else if (u > 0xFFFF)
            out += Format("\\u%04x\\u%04x", 0xD800 + ((u - 0x10000) >> 10),
                          0xDC00 + ((u - 0x10000) & 0x3FF));
        else if (u < ' ' || u >= 0x7F)
            out += Format("\\u%04x", u);
        else
            out += (char)u;
    }
    return out + "\"";
}

std::string QuotedUtf8(const std::string& text) { return "\"" + Utf8(text) + "\""; }

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
        return Format("ignored (root %s)", QuotedUtf8(line.root).c_str());
    std::string action = line.root;
    for (size_t i = 0; i < line.keys.size(); i++)
        action += (i ? ", " : "  opens ") + Utf8(line.keys[i]);
    if (line.stores)
        action += "  sets " + (line.valueName.empty() ? std::string("(default)")
                                                    : QuotedUtf8(line.valueName)) +
                  " = " + QuotedUtf8(line.value);
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
                                : QuotedUtf8(value.value);
        *out += Format("%-14s%-40s %s\n", keyed.name, shown.c_str(), LineOf(value.line).c_str());
    }
    std::string end = Format("bar ends at %d%% after %lld bytes", plan.finalPosition,
                             plan.copiedBytes);
    if (plan.sizeInKBFor100 >= 0)
        end += Format("; %s=%lld for %d%%", kSizeInKBKey, plan.sizeInKBFor100, kProgressEnd);
    *out += "Progress      " + end + "\n";
}

void TextFiles(const CheckPlan& plan, std::string* out) {
    *out += Format("\nFiles (source %s, Windows %s, System %s)%s\n",
                   Utf8(plan.sourceDir).c_str(), Utf8(plan.windowsDir).c_str(),
                   Utf8(plan.systemDir).c_str(),
                   plan.copyPhaseComplete ? "" : ": the copy phase ends at a missing list");
    for (const PlannedFile& file : plan.files) {
        *out += Format("  line %-4d %-12s disk %s %s: %s\n", file.line, file.list.c_str(),
                       QuotedUtf8(file.diskId).c_str(), QuotedUtf8(file.label).c_str(),
                       FileState(file).c_str());
        *out += Format("            %s -> %s (%s)\n", Utf8(file.source).c_str(),
                       Utf8(file.target).c_str(), file.folder.c_str());
        if (!file.prompt.empty())
            *out += "            prompt: " + QuotedUtf8(file.prompt) + "\n";
    }
}

void TextRegistry(const CheckPlan& plan, std::string* out) {
    *out += "\nRegistry\n";
    if (plan.deviceKey.empty())
        *out += "  no adapter key: nothing is registered\n";
    else
        *out += Format("  each instance below %s: %s = %s, %s = %s\n",
                       Utf8(plan.deviceKey).c_str(), kDeviceDescValue,
                       QuotedUtf8(plan.productName.value).c_str(), kMfgValue,
                       QuotedUtf8(plan.mfg.value).c_str());
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
        std::string what = change.change == kIniSetProductName ? "= " + Utf8(change.value)
                           : change.change == kIniAddLoadProgram
                               ? "gets " + Utf8(change.value) + " unless it holds it already"
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
    *out += "\n" + FindingsSummary(CountFindings(plan.findings)) + "\n";
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

// The JSON word of an ini edit, by IniEditKind.
const char* const kIniChangeWords[] = {"set", "add", "delete"};

std::string JsonIni(const IniChange& c) {
    return Format("{\"file\": %s, \"section\": %s, \"key\": %s, \"change\": %s, "
                  "\"value\": %s}", Json(c.file).c_str(), Json(c.section).c_str(),
                  Json(c.key).c_str(), Json(kIniChangeWords[c.change]).c_str(),
                  Json(c.value).c_str());
}

std::string JsonFinding(const Finding& f) {
    return Format("{\"severity\": \"%s\", \"line\": %d, \"text\": %s}",
                  SeverityName(f.severity), f.line, Json(f.text).c_str());
}

}  // namespace

std::string FormatPlanText(const CheckPlan& plan) {
    shownCodePage = plan.codePage;
    std::string out;
    TextHeader(plan, &out);
    TextFiles(plan, &out);
    TextRegistry(plan, &out);
    TextIniAndFindings(plan, &out);
    return out;
}

std::string FormatPlanJson(const CheckPlan& plan) {
    shownCodePage = plan.codePage;
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
    FindingCounts counts = CountFindings(plan.findings);
    out += Format("  \"errors\": %d, \"warnings\": %d\n}\n", counts.errors, counts.warnings);
    return out;
}
