// Resource ids of setup.exe, shared by setup.rc and the program.
#pragma once

#define IDD_WELCOME 101
#define IDD_FINISH 102

#define IDC_SOURCE_STATUS 1001
#define IDC_TARGET_STATUS 1002

#define IDS_COMPLETE 1
#define IDS_INSTALL_NOTE 2

#define IDI_KELMO 300

// The bitmap is named, not numbered; resource names are matched without
// regard to case, and the program loads it as "logo".
#define LOGO_RESOURCE_NAME "LOGO"
