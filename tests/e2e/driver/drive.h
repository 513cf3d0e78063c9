// kelmo_drive works setup.exe through its real windows, as a person would,
// and prints one event per line: a name and a JSON object. The end-to-end
// tests read its events; the demo runs the wizard with it.
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
    // To the message boxes in turn, OK beyond the list; "disk:FOLDER" changes
    // the diskette to FOLDER's files, then presses OK.
    std::vector<std::string> answers;
    size_t nextAnswer;
    std::set<HWND> answered;  // boxes answered that have not closed yet
    // A person works the wizard and answers the boxes; the driver only
    // changes the diskette at a prompt, and waits as long as the person.
    bool person;
};

// kelmo_drive.cpp. Each field's value is JSON text already.
void Emit(const char* event, const std::vector<std::pair<const char*, std::string>>& fields);
std::string JsonString(const std::string& text);

// dialogs.cpp. Finds the wizard among setup.exe's windows and answers each
// new message box once.
void WatchDialogs(Drive* drive);

// diskettes.cpp. Empties the drive as far as the system lets it and copies
// folder's files into it; false when they could not all be copied.
bool ChangeDiskette(Drive* drive, const std::string& folder);
