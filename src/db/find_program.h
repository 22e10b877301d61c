// The project dialog's Find button: a search of folder trees for the
// database program's executable (MSACCESS.EXE), which a project file shared
// with Windows names by its folder.
#pragma once

#include <string>
#include <vector>

namespace tarne {

// Searches each root in turn, depth first: a folder's own files before its
// subfolders, both in name order; entries whose name begins with "." and
// symbolic links to folders are skipped.  The file name is compared without
// regard to letter case.  Answers the folder holding the first match, ending
// with "/", or "" when none does.  Unreadable folders are passed over.
std::string FindProgram(const std::vector<std::string>& roots, const std::string& fileName);

// Where a Linux machine keeps Windows programs: the user's Wine drive and
// the mounted disks.
std::vector<std::string> ProgramSearchRoots();

}  // namespace tarne
