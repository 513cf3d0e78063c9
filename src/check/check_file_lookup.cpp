// A listed file found on the set's folders as the LZ library opens it: under
// its own name or, when that is missing, its compressed name; and what the
// compressed file's header says about it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "check_copy_parts.h"
#include "check_host.h"
#include "tools_common/szdd_format.h"

namespace {

// The length of a full extension in a short (8.3) name.
const size_t kExtensionChars = 3;

// The name LZOpenFileA tries when the listed one is missing: after the first
// '.' of the file name, the last character becomes '_' (a text shorter than
// three gets a '_' appended); a name without '.' gets "._". The library
// finds the last backslash and replaces the last byte as bytes, whatever the
// code page.
std::string CompressedAlternative(const std::string& name) {
    size_t base = name.find_last_of("\\/");
    base = base == std::string::npos ? 0 : base + 1;
    size_t dot = name.find('.', base);
    if (dot == std::string::npos)
        return name + "._";
    if (name.size() - dot - 1 < kExtensionChars)
        return name + "_";
    std::string alternative = name;
    alternative.back() = '_';
    return alternative;
}

}  // namespace

// Size after expansion from a compressed file's header, or the file's own
// size, which the host gave when it found the file. Only the header is read.
void ReadStoredFile(const std::string& path, long long storedSize, PlannedFile* file,
                    char* headerLetter) {
    *headerLetter = 0;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return;
    setvbuf(f, nullptr, _IONBF, 0);
    unsigned char header[kSzddHeaderSize] = {0};
    size_t got = fread(header, 1, sizeof header, f);
    fclose(f);
    file->size = storedSize;
    if (got == sizeof header && memcmp(header, kSzddMagic, sizeof kSzddMagic) == 0) {
        file->compressed = true;
        *headerLetter = (char)header[kSzddLastLetterAt];
        file->size = 0;
        for (int i = 0; i < kSzddSizeBytes; i++)
            file->size |= (long long)header[kSzddSizeAt + i] << (8 * i);
    }
}

// The listed name as the system resolves it below the source directory:
// "." and ".." taken out, a ".." at a drive's root staying there. Empty when
// it leads out of a source directory below a root, off the set's folders.
static std::string ResolveDots(const std::string& sourceDir, const std::string& listed,
                               const LeadBytes& lead) {
    bool atRoot = sourceDir.size() == 2 && sourceDir[1] == ':';
    std::vector<std::string> parts;
    for (size_t start = 0, end; start <= listed.size(); start = end + 1) {
        for (end = start; end < listed.size() && listed[end] != '\\' && listed[end] != '/';)
            end += (size_t)CharSizeOf(&listed[end], lead);
        std::string part = listed.substr(start, end - start);
        if (part == ".." && parts.empty() && !atRoot)
            return "";
        if (part == "..")
            parts.resize(parts.empty() ? 0 : parts.size() - 1);
        else if (part != "." && !part.empty())
            parts.push_back(part);
    }
    std::string name;
    for (const std::string& part : parts)
        name += (name.empty() ? "" : "\\") + part;
    return name;
}

// Looks for the file on the folder in the drive first, then on the others.
void LocateFile(const CheckInput& input, const std::string& given, size_t drive,
                PlannedFile* file, long long* storedSize) {
    file->diskette = -1;
    std::string listed = ResolveDots(input.sourceDir, given, input.lead);
    for (size_t n = 0; n < input.folders.size() && !listed.empty(); n++) {
        size_t i = n == 0 ? drive : (n <= drive ? n - 1 : n);
        std::string path = FindSetFile(input.folders[i], listed, storedSize, input.lead);
        if (path.empty())
            path = FindSetFile(input.folders[i], CompressedAlternative(listed), storedSize,
                               input.lead);
        if (!path.empty()) {
            file->hostPath = path;
            file->diskette = (int)i;
            return;
        }
    }
}
