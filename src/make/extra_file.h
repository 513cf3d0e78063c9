// The author's side file: what setup.dat can say and an INF cannot. It is
// read as an INF is and holds
//   [Banner]      FontHi=, StartX=, StartY= (numbers) for the wizard's banner
//   [WindowsDir]  one file name a line: files installed into the Windows folder
//   [SystemDir]   the same for the System folder
// The extra files come from the driver files' folder and go on the first
// diskette, after the INF's own.
#pragma once

#include "driver_intent.h"
#include "inf_text.h"

void ApplyExtraFile(const InfText& extra, DriverIntent* intent, FindingSink* findings);
