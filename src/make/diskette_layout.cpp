#include "diskette_layout.h"

#include <algorithm>

#include "install/copy_rules.h"
#include "install/installed_name.h"
#include "make_strings.h"

namespace {

// The letters or digits of the INF's name that OemsetupName keeps.
const size_t kOemNameChars = 5;

// The largest files named when a diskette is over-full.
const size_t kLargestFilesShown = 5;

// The platform's compression tool stores a file under its name with the last
// letter replaced by '_'. A file is compressed when setup.exe gives it its
// name back on expansion; the driver INF always is, since it is installed
// under OemsetupInf whatever its name after expansion ("DriverInf").
std::string StoredName(const IntentFile& file, bool* compressed, const LeadBytes& lead) {
    std::string stored = file.name;
    stored.back() = '_';
    char installed[kCopyNameSize];
    bool restored = file.name.back() != '_' &&
                    MakeInstalledName(stored.c_str(), installed, sizeof installed, lead) &&
                    (file.driverInf || StringsEqualNoCase(installed, file.name, lead));
    *compressed = restored && file.size >= kMinCompressedSize;
    return *compressed ? stored : file.name;
}

std::string InstalledName(const std::string& stored, const LeadBytes& lead) {
    char installed[kCopyNameSize];
    return MakeInstalledName(stored.c_str(), installed, sizeof installed, lead)
               ? installed
               : "";
}

std::string Where(const IntentFile& file) {
    return file.line > 0 ? " (" + file.file + " line " + std::to_string(file.line) + ")" : "";
}

// Puts the file on its diskette, once however many lists name it. Returns
// false when another file would be stored under that name there.
bool PlaceFile(const DriverIntent& intent, int index, const std::string& stored, bool compressed,
               DisketteSet* set, FindingSink* findings) {
    const IntentFile& file = intent.files[(size_t)index];
    const LeadBytes& lead = intent.codePage->lead;
    std::vector<StoredFile>& diskette = set->diskettes[(size_t)file.diskette];
    for (const StoredFile& there : diskette) {
        if (!StringsEqualNoCase(there.name, stored, lead))
            continue;
        const IntentFile* other = there.file >= 0 ? &intent.files[(size_t)there.file] : nullptr;
        if (other && other->driverInf == file.driverInf &&
            StringsEqualNoCase(other->name, file.name, lead))
            return true;
        findings->Error(0, file.name + Where(file) + " would be stored as " + stored + " on " +
                               DisketteName(file.diskette + 1) + ", where " +
                               (other ? other->name + Where(*other) : there.name) +
                               " is stored under that name");
        return false;
    }
    diskette.push_back({stored, index, compressed});
    return true;
}

// A listed file that expands to DriverInf would be taken for the INF.
void CheckDriverInfName(const DriverIntent& intent, const DisketteSet& set, FindingSink* findings) {
    for (const ListLine& line : set.lines) {
        const IntentFile& file = intent.files[(size_t)line.file];
        if (!file.driverInf && StringsEqualNoCase(file.name, set.driverInf, intent.codePage->lead))
            findings->Error(0, file.name + Where(file) + " has the name of the compressed INF "
                               "after expansion (DriverInf): setup.exe would install it as " +
                               set.oemsetupInf + " in the inf folder");
    }
}

}  // namespace

std::string DisketteName(int number) { return kDisketteFolder + std::to_string(number); }

std::string OemsetupName(const std::string& infName) {
    std::string part;
    for (size_t i = 0; i < infName.size() && infName[i] != '.' && part.size() < kOemNameChars;
         i++) {
        char c = infName[i];
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            part += c;
    }
    // Windows names the INFs it keeps oem<number>.inf: never take one of those.
    if (part.find_first_not_of("0123456789") == std::string::npos)
        part = "x" + part.substr(0, kOemNameChars - 1);
    return "oem" + StringLowerCase(part, kSingleByteCodePage) + ".inf";  // letters and digits only
}

DisketteSet LayOutDiskettes(const DriverIntent& intent, FindingSink* findings) {
    DisketteSet set;
    set.diskettes.resize(std::max<size_t>(1, intent.disks.size()));
    set.diskettes[0] = {{kSetupDatName, -1, false}, {kSetupExeName, -1, false}};
    set.oemsetupInf = OemsetupName(intent.infName);
    for (size_t i = 0; i < intent.files.size(); i++) {
        const IntentFile& file = intent.files[i];
        bool compressed = false;
        std::string stored = StoredName(file, &compressed, intent.codePage->lead);
        if (file.driverInf)
            set.driverInf = InstalledName(stored, intent.codePage->lead);
        if (PlaceFile(intent, (int)i, stored, compressed, &set, findings))
            set.lines.push_back({file.target, file.diskette, stored, (int)i});
    }
    // The copy phase asks for a diskette whenever the next file is not on the
    // one in the drive: each list goes through the diskettes in order.
    std::stable_sort(set.lines.begin(), set.lines.end(), [](const ListLine& a, const ListLine& b) {
        return a.target != b.target ? a.target < b.target : a.diskette < b.diskette;
    });
    CheckDriverInfName(intent, set, findings);
    return set;
}

long long ClustersOf(long long bytes) { return (bytes + kClusterBytes - 1) / kClusterBytes; }

void CheckDisketteSpace(int number, const std::vector<std::pair<std::string, long long>>& files,
                        FindingSink* findings) {
    long long clusters = 0, bytes = 0;
    for (const auto& file : files) {
        clusters += ClustersOf(file.second);
        bytes += file.second;
    }
    if (clusters <= kDisketteClusters)
        return;
    std::vector<std::pair<std::string, long long>> largest = files;
    std::sort(largest.begin(), largest.end(),
              [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string listed;
    for (size_t i = 0; i < largest.size() && i < kLargestFilesShown; i++)
        listed += "\n      " + largest[i].first + " " + std::to_string(largest[i].second) + " bytes";
    findings->Error(0, DisketteName(number) + " does not fit a 1.44 MB diskette: its " +
                           std::to_string(files.size()) + " files hold " + std::to_string(bytes) +
                           " bytes and take " + std::to_string(clusters) + " clusters of " +
                           std::to_string(kClusterBytes) + " bytes (" +
                           std::to_string(clusters * kClusterBytes) + " bytes); a diskette has " +
                           std::to_string(kDisketteClusters) + " (" +
                           std::to_string(kDisketteClusters * kClusterBytes) +
                           " bytes of data space). Largest files:" + listed);
}
