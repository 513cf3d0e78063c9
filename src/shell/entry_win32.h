// The program's entry: startup settings, the main window, the message loop.
#pragma once

// What the process needs before its first window: critical errors, such as
// an empty drive, fail to the program instead of showing a system box.
void ApplyStartupSettings();
