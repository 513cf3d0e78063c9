#include "set_output.h"

#include <cstdio>
#include <filesystem>

#include "diskette_layout.h"
#include "setupinfo/setup_vocabulary.h"

namespace fs = std::filesystem;

bool ReadWholeFile(const std::string& path, size_t maxBytes, std::string* bytes,
                   std::string* error) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        *error = "cannot open " + path;
        return false;
    }
    bytes->clear();
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0 && bytes->size() <= maxBytes)
        bytes->append(chunk, got);
    bool ok = !ferror(file) && bytes->size() <= maxBytes;
    fclose(file);
    if (!ok)
        *error = bytes->size() > maxBytes
                     ? path + " is larger than " + std::to_string(maxBytes) + " bytes: not read"
                     : "cannot read " + path;
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error) {
    FILE* file = fopen(path.c_str(), "wb");
    bool ok = file && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = file && fclose(file) == 0 && ok;
    if (!ok)
        *error = "cannot write " + path;
    return ok;
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folders a set may hold at most beside OUT while it is made.
static const int kStagingFolders = 99;

static bool IsEarlierSet(const std::string& out) {
    std::error_code ec;
    const size_t prefix = sizeof kDisketteFolder - 1;
    for (const fs::directory_entry& entry : fs::directory_iterator(out, ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() <= prefix || name.compare(0, prefix, kDisketteFolder) != 0 ||
            name.find_first_not_of("0123456789", prefix) != std::string::npos ||
            !entry.is_directory(ec))
            return false;
    }
    return !ec && fs::is_regular_file(fs::path(out) / DisketteName(1) / kSetupDatName, ec);
}

bool CheckOutFolder(const std::string& out, std::string* error) {
    std::error_code ec;
    fs::file_status status = fs::symlink_status(out, ec);
    if (!fs::exists(status))
        return true;
    if (fs::is_directory(status) && (fs::is_empty(out, ec) || IsEarlierSet(out)))
        return true;
    *error = out + " exists and is not an empty folder or a set setupmake made (" +
             DisketteName(1) + " with setup.dat and more " + kDisketteFolder +
             "N folders only): not touching it";
    return false;
}

bool MakeFolder(const std::string& path, std::string* error) {
    std::error_code ec;
    if (fs::create_directory(path, ec))
        return true;
    *error = "cannot make the folder " + path + (ec ? ": " + ec.message() : ": it exists");
    return false;
}

std::string MakeStagingFolder(const std::string& out, std::string* error) {
    for (int n = 1; n <= kStagingFolders; n++) {
        std::string path = out + ".new" + std::to_string(n);
        std::error_code ec;
        if (fs::create_directory(path, ec))
            return path;
        if (ec) {
            *error = "cannot make a folder beside " + out + ": " + ec.message();
            return "";
        }
    }
    *error = "the folders " + out + ".new1 to .new" + std::to_string(kStagingFolders) +
             " all exist: remove them";
    return "";
}

bool ReplaceOutFolder(const std::string& staging, const std::string& out, std::string* error) {
    std::error_code ec;
    std::string old;
    if (fs::exists(out, ec) && fs::is_empty(out, ec)) {
        fs::remove(out, ec);
    } else if (fs::exists(out, ec)) {
        old = staging + ".old";
        fs::rename(out, old, ec);
    }
    if (!ec)
        fs::rename(staging, out, ec);
    if (ec) {
        *error = "cannot put the new set in the place of " + out + ": " + ec.message();
        if (!old.empty())
            fs::rename(old, out, ec);
        return false;
    }
    if (!old.empty())
        fs::remove_all(old, ec);
    return true;
}

void RemoveFolder(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
}
