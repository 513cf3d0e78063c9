// The files setupmake reads and the folders it writes. A set is written into
// a new folder beside OUT and takes OUT's place only once it is proven, so
// OUT never holds half a set.
#pragma once

#include <string>

// Reads a whole file of at most maxBytes. Returns false with a message.
bool ReadWholeFile(const std::string& path, size_t maxBytes, std::string* bytes,
                   std::string* error);
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error);

// The part of a path after its last slash or backslash.
std::string BaseName(const std::string& path);

// OUT may be absent, an empty folder, or a set setupmake made: only diskN
// folders, with setup.dat in disk1. Anything else is never touched.
bool CheckOutFolder(const std::string& out, std::string* error);

// Makes a new, empty folder beside out and returns its path, "" on failure.
std::string MakeStagingFolder(const std::string& out, std::string* error);
bool MakeFolder(const std::string& path, std::string* error);

// Puts staging in out's place; an earlier set there is removed only after.
bool ReplaceOutFolder(const std::string& staging, const std::string& out, std::string* error);

void RemoveFolder(const std::string& path);
