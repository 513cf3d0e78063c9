// What the system does with the program's files when it restarts: renames
// that put a new file in place of one in use, deletes of files that could not
// be deleted now, and the cleanup of what an earlier run left unfinished.
#pragma once

// Has the system put the temporary file in the target's place when it
// restarts, which the program requests anyway: through wininit.ini on the
// Windows 95 family, through MoveFileEx's delayed renames on the NT family.
// Renames at the restart run in the order they were asked for, so a file
// scheduled twice ends as the newer one.
bool ReplaceAtRestart(const char* tempPath, const char* targetPath);

// Deletes a file of this program, or has the system delete it at the
// restart when it is in use: the NT family lets a running program be renamed
// aside but not deleted.
void DeleteNowOrAtRestart(const char* path);

// Deletes the new files that an earlier run, cut off by a power failure for
// one, left unfinished in the Windows and System folders and their inf
// folders: kelXXXX.tmp files that the restart is not to rename. Deletes
// nothing when the restart's schedule cannot be read whole.
void DeleteUnfinishedFilesOfEarlierRuns();
