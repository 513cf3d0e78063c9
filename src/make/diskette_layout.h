// Where each file of a set goes: the diskette, the name it is stored under
// and whether it is compressed, the lines of setup.dat's copy lists, and the
// space each diskette has.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "driver_intent.h"
#include "tools_common/szdd_format.h"

// A set's diskettes are the folders disk1, disk2, ... of its folder.
const char kDisketteFolder[] = "disk";

// The folder of the diskette of that number, counted from 1.
std::string DisketteName(int number);

// Data space of a FAT12 1.44 MB diskette: 2847 clusters of 512 bytes.
const long long kClusterBytes = 512;
const long long kDisketteClusters = 2847;

struct StoredFile {
    std::string name;  // on the diskette
    int file;          // index into DriverIntent::files of the file it holds
    bool compressed;
};

// One line of [WindowsDir] or [SystemDir].
struct ListLine {
    CopyTarget target;
    int diskette;
    std::string stored;
    int file;
};

struct DisketteSet {
    std::string driverInf;    // the INF's name after expansion
    std::string oemsetupInf;  // its name in the inf folder
    std::vector<std::vector<StoredFile>> diskettes;
    std::vector<ListLine> lines;  // in the order of the lists, each by diskette
};

// Lays out the intent's files (their sizes known) on the diskettes of their
// disk ids; the first also holds setup.dat and setup.exe. Names that would
// meet on a diskette or in a folder are reported.
DisketteSet LayOutDiskettes(const DriverIntent& intent, FindingSink* findings);

// "oem" and the first five letters or digits of the INF's name, ".inf".
std::string OemsetupName(const std::string& infName);

// Clusters a file of that many bytes takes.
long long ClustersOf(long long bytes);

// Reports a diskette (number from 1) whose files, name and size each, take
// more clusters than a 1.44 MB diskette has.
void CheckDisketteSpace(int number, const std::vector<std::pair<std::string, long long>>& files,
                        FindingSink* findings);
