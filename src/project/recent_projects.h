// The recent-project list kept in tarne.ini in the configuration folder.
#pragma once

#include <string>
#include <vector>

namespace tarne {

// Puts projectFile at the head of the list (at most 6 entries).
void AddRecentProject(const std::string& configFolder, const std::string& projectFile);

// The File menu texts of the listed projects: "&1 /path/x.trn", ...
std::vector<std::string> LoadRecentProjects(const std::string& configFolder);

}  // namespace tarne
