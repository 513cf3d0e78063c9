// The checker's host on Windows: the set's files through the platform, and
// setup.dat's keyed values from the profile functions themselves, as
// setup.exe reads them.
#include "check_host.h"

#include <windows.h>

#include "tools_common/tool_dirs.h"

std::string ToUtf8(const std::string& text, int codePage) {
    if (text.empty())
        return text;
    int cch = MultiByteToWideChar((UINT)codePage, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring wide((size_t)cch, L'\0');
    MultiByteToWideChar((UINT)codePage, 0, text.data(), (int)text.size(), &wide[0], cch);
    int cb = WideCharToMultiByte(CP_UTF8, 0, wide.data(), cch, nullptr, 0, nullptr, nullptr);
    std::string out((size_t)cb, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), cch, &out[0], cb, nullptr, nullptr);
    return out;
}

bool IsSetFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The platform reads names in the system's code page.
std::string FindSetFile(const std::string& folder, const std::string& name, long long* size,
                        const LeadBytes&) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += '\\';
    path += name;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return "";
    if (size)
        *size = (long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
    return path;
}

// No value holds these bytes, so getting them back means the key is absent.
static const char kAbsent[] = "\x7f\x01<absent>\x01\x7f";

bool ReadSetupValue(const std::string& path, const std::string&, const char* section,
                    const char* key, int cchBuffer, std::string* value, const LeadBytes&) {
    std::string buffer((size_t)cchBuffer, '\0');
    GetPrivateProfileStringA(section, key, kAbsent, &buffer[0], (DWORD)cchBuffer, path.c_str());
    if (std::string(buffer.c_str()) == std::string(kAbsent).substr(0, (size_t)cchBuffer - 1))
        return false;
    *value = buffer.c_str();
    return true;
}

int ReadSetupNumber(const std::string& path, const std::string&, const char* section,
                    const char* key, const LeadBytes&) {
    return (int)GetPrivateProfileIntA(section, key, 0, path.c_str());
}

std::string DefaultSourceDir(const std::string& folder) {
    char full[MAX_PATH];
    DWORD cch = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    if (cch == 0 || cch >= sizeof full)
        return folder;
    if (cch > 0 && full[cch - 1] == '\\')
        full[cch - 1] = '\0';
    return full;
}

std::string DefaultWindowsDir() {
    char dir[MAX_PATH];
    UINT cch = GetWindowsDirectoryA(dir, sizeof dir);
    return cch > 0 && cch < sizeof dir ? dir : kUsualWindowsDir;
}

std::string DefaultSystemDir() {
    char dir[MAX_PATH];
    UINT cch = GetSystemDirectoryA(dir, sizeof dir);
    return cch > 0 && cch < sizeof dir ? dir : kUsualSystemDir;
}
