// kelmo_drive works setup.exe through its windows, as a person would, and
// prints one event per line: a name and a JSON object.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "message_box.h"

// setup.exe as the driver sees it.
struct Drive {
    PROCESS_INFORMATION process;
    std::string driveDir;  // the folder setup.exe starts in: the diskette drive
    DWORD startTicks;
    HWND wizard;  // none until its sheet is on screen
    std::vector<std::string> answers;  // in turn, OK beyond; "disk:FOLDER" changes it, then OK
    size_t nextAnswer;
    std::set<HWND> answered;  // boxes answered that have not closed yet
    bool person;  // works the wizard and boxes; the driver changes diskettes, with no limit
};

// Each field's value is JSON text already.
void Emit(const char* event, const std::vector<std::pair<const char*, std::string>>& fields);
std::string JsonString(const std::string& text);

// Finds the wizard among setup.exe's windows; answers each new box once.
void WatchDialogs(Drive* drive);

// Takes out what is in the drive and puts the folder's files in.
void ChangeDiskette(Drive* drive, const std::string& folder);
