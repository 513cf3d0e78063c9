// The checker's host on Linux: the set is a folder of the file system, read
// as a diskette would be, and setup.dat's keyed values come from the reader
// that mirrors the profile functions.
#include "check_host.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include "profile_text.h"

bool IsSetFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of folder whose name equals name without regard to case, with
// its status in *st; an exact match wins.
static std::string FindEntry(const std::string& folder, const std::string& name,
                             struct stat* st) {
    if (stat((folder + "/" + name).c_str(), st) == 0)
        return folder + "/" + name;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return "";
    std::string found;
    while (struct dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = folder + "/" + entry->d_name;
            break;
        }
    }
    closedir(dir);
    if (!found.empty() && stat(found.c_str(), st) != 0)
        found.clear();
    return found;
}

std::string FindSetFile(const std::string& folder, const std::string& name, long long* size) {
    std::string path = folder;
    struct stat st;
    bool known = false;  // st belongs to path
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = name.size();
        std::string part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        known = part != "..";
        path = known ? FindEntry(path, part, &st) : path + "/..";
        if (path.empty())
            return "";
    }
    if ((!known && stat(path.c_str(), &st) != 0) || !S_ISREG(st.st_mode))
        return "";
    if (size)
        *size = (long long)st.st_size;
    return path;
}

bool ReadSetupValue(const std::string&, const std::string& text, const char* section,
                    const char* key, int cchBuffer, std::string* value) {
    std::string buffer((size_t)cchBuffer, '\0');
    if (ReadProfileText(text.data(), (long)text.size(), section, key, &buffer[0], cchBuffer,
                        nullptr) < 0)
        return false;
    *value = buffer.c_str();
    return true;
}

int ReadSetupNumber(const std::string&, const std::string& text, const char* section,
                    const char* key) {
    return ReadProfileInt(text.data(), (long)text.size(), section, key, 0, nullptr);
}

// A set checked on Linux is meant for a diskette in drive A: of a usual
// Windows 95 installation.
std::string DefaultSourceDir(const std::string&) { return kUsualSourceDir; }
std::string DefaultWindowsDir() { return kUsualWindowsDir; }
std::string DefaultSystemDir() { return kUsualSystemDir; }
