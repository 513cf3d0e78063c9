// Changing the diskette in the drive as a person does at a prompt: the drive
// emptied as far as the running setup.exe allows, the next one's files put in.
#include "drive.h"

#include <filesystem>

namespace fs = std::filesystem;

// Names stay paths: a file name in the users' script (スーパー.tx_) has no
// narrow form the library would convert it to.
void ChangeDiskette(Drive* drive, const std::string& folder) {
    std::set<fs::path> kept;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(drive->driveDir, error)) {
        std::error_code removeError;
        fs::remove_all(entry.path(), removeError);
        if (removeError)
            kept.insert(entry.path().filename());
    }
    bool copied = !error;
    std::string keptJson;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        fs::path name = entry.path().filename();
        std::error_code copyError;
        if (!kept.count(name))
            fs::copy(entry.path(), fs::path(drive->driveDir) / name, fs::copy_options::recursive,
                     copyError);
        copied = copied && !copyError;
    }
    for (const fs::path& name : kept)
        keptJson += (keptJson.empty() ? "" : ",") + JsonString(name.u8string());
    Emit("diskette", {{"in", JsonString(folder)}, {"kept", "[" + keptJson + "]"},
                      {"copied", copied && !error ? "true" : "false"}});
}
