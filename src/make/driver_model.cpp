// The model setupmake makes a set for: its maker, description, hardware id
// and install section, whose directives are each expressed or reported.
#include "driver_model.h"

#include "base/text.h"
#include "driver_parts.h"
#include "make_strings.h"
#include "setupinfo/setup_sizes.h"

namespace {

struct Model {
    std::string mfg, description, section, hardwareId;
    int line;
};

// Each [Manufacturer] line is "name=models-section", or a name that is its
// own section; each models line "description=install-section,hardware-id".
std::vector<Model> ListModels(const InfText& inf, FindingSink* findings) {
    std::vector<Model> models;
    const InfSection* makers = FindInfSection(inf, "Manufacturer");
    if (!makers)
        findings->Error(0, "no [Manufacturer] section: the INF names no model");
    for (size_t i = 0; makers && i < makers->lines.size(); i++) {
        const InfLine& maker = makers->lines[i];
        std::string name = maker.hasKey ? maker.key : maker.fields[0];
        const InfSection* list = FindInfSection(inf, maker.fields[0]);
        if (!list) {
            findings->Error(maker.line, "no section [" + maker.fields[0] + "] lists the models of " +
                                            Quoted(name));
            continue;
        }
        for (const InfLine& line : list->lines) {
            if (line.hasKey)
                models.push_back({name, line.key, line.fields[0],
                                  line.fields.size() > 1 ? line.fields[1] : "", line.line});
            else
                findings->Error(line.line, "a model line reads description=install-section,"
                                           "hardware-id: this one is not read");
        }
    }
    return models;
}

bool ChooseModel(const std::vector<Model>& models, const std::string& wanted, Model* chosen,
                 FindingSink* findings, const LeadBytes& lead) {
    std::vector<const Model*> matches;
    std::string listed;
    for (const Model& model : models) {
        if (wanted.empty() || StringsEqualNoCase(model.description, wanted, lead) ||
            StringsEqualNoCase(model.section, wanted, lead))
            matches.push_back(&model);
        listed += "\n      " + Quoted(model.description) + ", install section " + model.section +
                  ", line " + std::to_string(model.line);
    }
    if (matches.size() == 1) {
        *chosen = *matches[0];
        return true;
    }
    if (models.empty())
        findings->Error(0, "the INF lists no model");
    else if (matches.empty())
        findings->Error(0, "no model is described or installed as " + Quoted(wanted) +
                               "; the INF lists:" + listed);
    else
        findings->Error(0, std::to_string(matches.size()) + " models match" +
                               (wanted.empty() ? "; choose one with --model:" : " " + Quoted(wanted) + ":") +
                               listed);
    return false;
}

// A PCI hardware id is the bus and then the adapter's form, in which x and y
// stand for hex digits; '&' and more may follow.
const char kPciBus[] = "PCI\\";
const char kPciAdapterForm[] = "VEN_xxxx&DEV_yyyy";
const size_t kPciBusLength = sizeof kPciBus - 1;
const size_t kPciIdLength = kPciBusLength + sizeof kPciAdapterForm - 1;

// Whether text has the adapter's form: hex digits for x and y, the other
// characters as they stand there without regard to case.
bool HasAdapterForm(const std::string& text) {
    const std::string hexDigits = "0123456789abcdefABCDEF";
    for (size_t i = 0; i < text.size(); i++) {
        char form = kPciAdapterForm[i];
        bool hex = hexDigits.find(text[i]) != std::string::npos;
        if (form == 'x' || form == 'y' ? !hex : !BytesEqualNoCaseAscii(&text[i], &form, 1))
            return false;
    }
    return true;
}

// "PCI\VEN_xxxx&DEV_yyyy" gives Vender "VEN_xxxx&DEV_yyyy", the key below
// Enum\PCI under which Windows 95 lists every such adapter.
void ReadHardwareId(const Model& model, DriverIntent* intent, FindingSink* findings) {
    const std::string& id = model.hardwareId;
    bool pci = id.size() >= kPciIdLength &&
               StringsEqualNoCase(id.substr(0, kPciBusLength), kPciBus, intent->codePage->lead) &&
               HasAdapterForm(id.substr(kPciBusLength, kPciIdLength - kPciBusLength)) &&
               (id.size() == kPciIdLength || id[kPciIdLength] == '&');
    if (!pci) {
        findings->Error(model.line, "hardware id " + Quoted(id) + " is not " + kPciBus +
                                    kPciAdapterForm + ": setup.exe finds only PCI adapters, so "
                                    "it would register none and write no registry value");
        return;
    }
    intent->vender = id.substr(kPciBusLength, kPciIdLength - kPciBusLength);
    for (char& c : intent->vender)
        c = c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
    if (id.size() > kPciIdLength)
        findings->Warning(model.line, "\"" + id.substr(kPciIdLength) + "\" of the hardware id is "
                                      "left out: setup.exe installs every " + intent->vender +
                                      " adapter, whatever its subsystem or revision");
}

// A text that the program reads into a buffer of cch characters is cut to
// fit; it is only shown and stored as a description.
void TakeText(const std::string& text, const char* key, int cch, int line, std::string* into,
              FindingSink* findings) {
    *into = text.substr(0, (size_t)cch - 1);
    if (text.size() > (size_t)cch - 1)
        findings->Warning(line, std::string(key) + " " + Quoted(text) + " is cut to " +
                                    Quoted(*into) + ": setup.exe reads " +
                                    std::to_string(cch - 1) + " characters");
}

void CheckVersion(const InfText& inf, FindingSink* findings) {
    const InfSection* version = FindInfSection(inf, "Version");
    const InfLine* signature = FindInfKey(version, "Signature", inf.lead);
    if (!signature || !(StringsEqualNoCase(signature->fields[0], "$CHICAGO$", inf.lead) ||
                        StringsEqualNoCase(signature->fields[0], "$Windows 95$", inf.lead)))
        findings->Warning(signature ? signature->line : 0,
                          "Windows 95 takes an INF only with Signature=\"$CHICAGO$\": the "
                          "INF installed in the inf folder is not offered for the adapter");
    const InfLine* cls = FindInfKey(version, "Class", inf.lead);
    if (!cls || !StringsEqualNoCase(cls->fields[0], "Display", inf.lead))
        findings->Warning(cls ? cls->line : 0, "the INF's Class is not Display: setup.exe "
                                               "installs the driver as a display driver");
}

struct Directive {
    const char* key;
    void (*apply)(IntentBuild*, const InfLine&);  // null: nothing to do in setup.dat
    bool afterAddReg;
};

// Reboot and Restart: setup.exe asks for a restart anyway.
const Directive kDirectives[] = {
    {"CopyFiles", AddCopyFiles, false}, {"AddReg", AddRegistryLines, false},
    {"UpdateInis", ReadLoadProgram, false}, {"DelReg", CheckDeletedValues, true},
    {"DriverVer", nullptr, false}, {"Reboot", nullptr, false}, {"Restart", nullptr, false},
};

// DelReg is weighed once every AddReg line is known.
void ApplyDirectives(IntentBuild* build, const InfSection& install) {
    for (bool late : {false, true}) {
        for (const InfLine& line : install.lines) {
            const Directive* found = nullptr;
            for (const Directive& directive : kDirectives)
                found = StringsEqualNoCase(line.key, directive.key, build->inf->lead) ? &directive
                                                                                       : found;
            if (found && found->afterAddReg == late && found->apply)
                found->apply(build, line);
            else if (late && !line.hasKey)
                build->findings->Warning(line.line, "a line without a directive: it is ignored");
            else if (late && !found)
                build->findings->Error(line.line, line.key + " is not expressed in setup.dat: "
                                                  "what it does is left out");
        }
    }
}

}  // namespace

DriverIntent BuildDriverIntent(const InfText& inf, const std::string& infName,
                               const std::string& wantedModel, FindingSink* findings,
                               const CodePage& page) {
    DriverIntent intent = DriverIntent();
    intent.codePage = &page;
    intent.infName = infName;
    CheckVersion(inf, findings);
    Model model;
    if (!ChooseModel(ListModels(inf, findings), wantedModel, &model, findings, inf.lead))
        return intent;
    intent.installSection = model.section;
    intent.modelLine = model.line;
    TakeText(model.description, kProductNameKey, kProductNameSize, model.line,
             &intent.productName, findings);
    TakeText(model.mfg, kMfgKey, kPathSize, model.line, &intent.mfg, findings);
    ReadHardwareId(model, &intent, findings);
    IntentBuild build = {&inf, &intent, findings};
    ReadSourceDisks(&build);
    if (CheckFileName(infName, kToWindowsDir, true, 0, findings, page))
        intent.files.push_back({infName, kToWindowsDir, 0, true, findings->file, 0, -1});
    const InfSection* install = FindInfSection(inf, model.section);
    if (install)
        ApplyDirectives(&build, *install);
    else
        findings->Error(model.line, "no install section [" + model.section + "]");
    return intent;
}
