// setup.dat as the checker reads it: the raw bytes for the profile functions,
// and the text without comments, through the program's own filter, for the
// list readers.
#include <cstdio>
#include <cstring>

#include "base/text.h"
#include "check_host.h"
#include "check_internal.h"
#include "setupinfo/setup_sizes.h"
#include "setupinfo/setup_text.h"
#include "setupinfo/setup_vocabulary.h"

namespace {

struct MemoryFile {
    const std::string* bytes;
    size_t offset;
};

long ReadMemory(void* context, unsigned char* buffer, long cb) {
    MemoryFile* file = (MemoryFile*)context;
    size_t left = file->bytes->size() - file->offset;
    size_t n = (size_t)cb < left ? (size_t)cb : left;
    memcpy(buffer, file->bytes->data() + file->offset, n);
    file->offset += n;
    return (long)n;
}

bool ReadHostFile(const std::string& path, std::string* bytes) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes->clear();
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->append(chunk, got);
    bool ok = !ferror(file);
    fclose(file);
    return ok;
}

}  // namespace

bool LoadSetFile(const std::string& folder, SetFile* set, std::string* error,
                 const LeadBytes& lead) {
    set->lead = lead;
    set->path = FindSetFile(folder, kSetupDatName, nullptr, lead);
    if (set->path.empty()) {
        *error = std::string("no ") + kSetupDatName + " in " + folder;
        return false;
    }
    if (!ReadHostFile(set->path, &set->raw) || set->raw.size() >= (size_t)kMaxInt32) {
        *error = "cannot read " + set->path;
        return false;
    }
    long size = (long)set->raw.size();
    set->text.assign((size_t)size + 1, 0);
    set->lineOf.assign((size_t)size + 1, 0);
    unsigned char readBuffer[kReadBufferSize];
    MemoryFile file = {&set->raw, 0};
    set->length = FilterSetupText(ReadMemory, &file, readBuffer, size, set->text.data(),
                                  set->lineOf.data());
    return true;
}

void CheckEndOfFileByte(Checker* checker) {
    const std::string& raw = checker->set.raw;
    size_t at = raw.find((char)EndMarker);
    if (at == std::string::npos ||
        raw.find_first_not_of(std::string(" \t\r\n") + (char)EndMarker, at) == std::string::npos)
        return;
    AddFinding(checker, kWarning, LineAtOffset(raw.data(), (long)at),
               Format("a byte 0x%02X ends setup.dat for the list readers: the lists and registry "
                      "lines after it are not read", EndMarker));
}
