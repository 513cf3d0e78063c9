// The program's temporary files in a target's folder: the new file while it
// is expanded, and the old one moved aside. A new one left by a run that was
// cut off is of no use; an old one may be all that is left of the user's file.
#pragma once

inline constexpr char kNewFilePrefix[] = "kel";
inline constexpr char kOldFilePrefix[] = "keo";

// A new empty file with a short name (prefix and up to four hex digits, .tmp)
// in the target's folder; its path goes to tempPath (kPathSize characters).
bool MakeTempFile(const char* targetPath, const char* prefix, char* tempPath);

// Whether the file name is one GetTempFileNameA gives with the prefix.
bool IsTempName(const char* name, const char* prefix);
