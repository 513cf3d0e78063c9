// The checker's host on Linux: the set is a folder of the file system, read
// as a diskette would be, and setup.dat's keyed values come from the reader
// that mirrors the profile functions.
#include "check_host.h"

#include <dirent.h>
#include <cerrno>
#include <iconv.h>
#include <sys/stat.h>

#include "profile_text.h"
#include "tools_common/code_pages.h"
#include "tools_common/tool_dirs.h"

// A code point as UTF-8; no text of a code page needs more than three bytes.
static void AppendUtf8(unsigned u, std::string* out) {
    if (u < 0x80) {
        *out += (char)u;
    } else if (u < 0x800) {
        *out += (char)(0xC0 | u >> 6);
        *out += (char)(0x80 | (u & 0x3F));
    } else {
        *out += (char)(0xE0 | u >> 12);
        *out += (char)(0x80 | (u >> 6 & 0x3F));
        *out += (char)(0x80 | (u & 0x3F));
    }
}

std::string ToUtf8(const std::string& text, int codePage) {
    const CodePage* page = FindCodePage(codePage);
    iconv_t cd = page ? iconv_open("UTF-8", page->iconvName) : (iconv_t)-1;
    std::string out;
    char* in = const_cast<char*>(text.data());
    size_t left = text.size();
    while (left > 0) {
        char buffer[256];
        char* put = buffer;
        size_t room = sizeof buffer;
        size_t done = cd == (iconv_t)-1 ? (size_t)-1 : iconv(cd, &in, &left, &put, &room);
        out.append(buffer, (size_t)(put - buffer));
        if (done != (size_t)-1 || (cd != (iconv_t)-1 && errno == E2BIG))
            continue;
        // A byte the converter refuses, or a character cut off by the end.
        bool singleByte = !page || page->lead.ranges[0] == 0;
        AppendUtf8(singleByte ? (unsigned char)*in : 0xFFFD, &out);
        in++;
        left--;
    }
    if (cd != (iconv_t)-1)
        iconv_close(cd);
    return out;
}

bool IsSetFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of folder whose name equals name without regard to the case of
// A to Z, with its status in *st; an exact match wins.
static std::string FindEntry(const std::string& folder, const std::string& name,
                             struct stat* st, const LeadBytes& lead) {
    if (stat((folder + "/" + name).c_str(), st) == 0)
        return folder + "/" + name;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return "";
    std::string found;
    while (struct dirent* entry = readdir(dir)) {
        if (TextEqualNoCase(entry->d_name, name.c_str(), lead)) {
            found = folder + "/" + entry->d_name;
            break;
        }
    }
    closedir(dir);
    if (!found.empty() && stat(found.c_str(), st) != 0)
        found.clear();
    return found;
}

// The first backslash or slash from start on, by characters; the end if none.
static size_t NextSeparator(const std::string& name, size_t start, const LeadBytes& lead) {
    const char* p = name.c_str() + start;
    while (*p && *p != '\\' && *p != '/')
        p += CharSizeOf(p, lead);
    return (size_t)(p - name.c_str());
}

std::string FindSetFile(const std::string& folder, const std::string& name, long long* size,
                        const LeadBytes& lead) {
    std::string path = folder;
    struct stat st;
    bool known = false;  // st belongs to path
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = NextSeparator(name, start, lead);
        std::string part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        known = part != "..";
        path = known ? FindEntry(path, part, &st, lead) : path + "/..";
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
                    const char* key, int cchBuffer, std::string* value, const LeadBytes& lead) {
    std::string buffer((size_t)cchBuffer, '\0');
    if (ReadProfileText(text.data(), (long)text.size(), section, key, &buffer[0], cchBuffer,
                        nullptr, lead) < 0)
        return false;
    *value = buffer.c_str();
    return true;
}

int ReadSetupNumber(const std::string&, const std::string& text, const char* section,
                    const char* key, const LeadBytes& lead) {
    return ReadProfileInt(text.data(), (long)text.size(), section, key, 0, nullptr, lead);
}

// A set checked on Linux is meant for a diskette in drive A: of a usual
// Windows 95 installation.
std::string DefaultSourceDir(const std::string&) { return kUsualSourceDir; }
std::string DefaultWindowsDir() { return kUsualWindowsDir; }
std::string DefaultSystemDir() { return kUsualSystemDir; }
