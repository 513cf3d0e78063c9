// Changing the diskette in the drive as a person does at a prompt: the drive
// emptied as far as the running setup.exe allows, the next one's files put in.
#include "drive.h"

#include <filesystem>

namespace fs = std::filesystem;

void ChangeDiskette(Drive* drive, const std::string& folder) {
    std::set<std::string> kept;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(drive->driveDir, error)) {
        std::error_code removeError;
        fs::remove_all(entry.path(), removeError);
        if (removeError)
            kept.insert(entry.path().filename().string());
    }
    bool copied = !error;
    std::string keptJson;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        std::error_code copyError;
        if (!kept.count(name))
            fs::copy(entry.path(), fs::path(drive->driveDir) / name, fs::copy_options::recursive,
                     copyError);
        copied = copied && !copyError;
    }
    for (const std::string& name : kept)
        keptJson += (keptJson.empty() ? "" : ",") + JsonString(name);
    Emit("diskette", {{"in", JsonString(folder)}, {"kept", "[" + keptJson + "]"},
                      {"copied", copied && !error ? "true" : "false"}});
}
