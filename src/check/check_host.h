// What the checker needs from the machine it runs on: the set's files, and
// the keyed values of setup.dat as setup.exe would get them there.
#pragma once

#include <string>

#include "base/code_page.h"

bool IsSetFolder(const std::string& path);

// The host path of the file the program opens as <folder>\<name>, where a
// backslash or a slash separates folders. Names match without regard to
// the case of A to Z, as on a diskette, read by characters of the code page
// of lead. Empty when there is no such file; otherwise *size (when given)
// gets the file's size.
std::string FindSetFile(const std::string& folder, const std::string& name, long long* size,
                        const LeadBytes& lead);

// The value of section/key in setup.dat, cut to cchBuffer - 1 characters as
// the profile functions cut it. text is the file's bytes, path its host path.
// Returns false when the key is absent.
bool ReadSetupValue(const std::string& path, const std::string& text, const char* section,
                    const char* key, int cchBuffer, std::string* value, const LeadBytes& lead);

// The number GetPrivateProfileIntA gives for a present key.
int ReadSetupNumber(const std::string& path, const std::string& text, const char* section,
                    const char* key, const LeadBytes& lead);

// The text of a set, written in the code page of that number, as UTF-8,
// through the system's converter. A byte the converter refuses is shown as
// the code point of its own value on a single-byte code page (0x81, 0x8D,
// 0x8F, 0x90 and 0x9D in 1252), else as U+FFFD.
std::string ToUtf8(const std::string& text, int codePage);

// Defaults for the directories of an install: the start directory for a set
// in folder, and the Windows and System directories, the usual ones of
// tool_dirs.h where the host cannot tell.
std::string DefaultSourceDir(const std::string& folder);
std::string DefaultWindowsDir();
std::string DefaultSystemDir();
