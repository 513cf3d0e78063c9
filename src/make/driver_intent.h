// What a driver's INF asks Windows to do for one model, as setupmake gathers
// it: the files with their folders and diskettes, the registry values and the
// names setup.dat carries; and what setupmake finds on the way.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "setupinfo/setup_vocabulary.h"
#include "tools_common/code_pages.h"
#include "tools_common/findings.h"

// The findings about one input file, each with its line there (0: none).
struct FindingSink {
    std::string file;
    std::vector<Finding> findings;

    void Error(int line, const std::string& text) { findings.push_back({kError, line, text}); }
    void Warning(int line, const std::string& text) { findings.push_back({kWarning, line, text}); }
};

// One file the set installs.
struct IntentFile {
    std::string name;  // the installed name; the driver INF's own name for the INF
    CopyTarget target;
    int diskette;      // index into DriverIntent::disks
    bool driverInf;    // the INF itself, installed into the inf folder
    std::string file;  // the file that names it, and the line there
    int line;
    long long size;    // bytes, -1 until the file is found
};

// One registry line: a key path to create, or a string value to store.
struct IntentValue {
    int line;
    std::string root;     // HKR, HKCR or HKLM
    std::string keyPath;  // names separated by one backslash; empty for the base key
    bool stores;
    std::string valueName;
    std::string value;
};

// A diskette of the set, in the order of the INF's disk ids.
struct IntentDisk {
    std::string id;
    std::string label;
    int line;
};

struct DriverIntent {
    const CodePage* codePage;  // of the INF and setup.dat
    std::string infName;  // the INF's file name
    std::string productName;
    std::string installSection;
    int modelLine;
    std::string mfg, vender;
    std::string loadProgram;
    int loadLine;
    std::vector<IntentDisk> disks;
    std::vector<IntentFile> files;  // the INF first
    std::vector<IntentValue> values;
    std::vector<std::pair<std::string, std::string>> banner;  // key, value
};
