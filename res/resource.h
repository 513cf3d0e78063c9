// Resource ids of setup.exe, shared by setup.rc and the program.
#pragma once

#define IDD_WELCOME 101
#define IDD_FINISH 102

// The status lines IDC_SOURCE_STATUS and IDC_TARGET_STATUS: the copy phase
// writes them, so their ids stand with the names it shares.
#include "setupinfo/setup_vocabulary.h"

#define IDS_COMPLETE 1
#define IDS_INSTALL_NOTE 2

#define IDI_KELMO 300

// The bitmap is named, not numbered; the program loads it by this name too.
#define LOGO_RESOURCE_NAME "LOGO"
