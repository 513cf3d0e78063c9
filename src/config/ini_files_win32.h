// The edits of system.ini and win.ini.
#pragma once

// Sets the boot description of the display driver, adds the load program to
// the load line of win.ini and removes "RefreshProgramming".
void UpdateIniFiles();

// Adds program to the load line of win.ini unless it is already there.
void AddToLoadLine(const char* program);
