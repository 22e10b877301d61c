// The per-user data-source list (datasources.ini): which database file each
// project short name stands for.
#pragma once

#include <string>

namespace tarne {

// $XDG_CONFIG_HOME/tarne, else $HOME/.config/tarne; ends with "/".
std::string DefaultConfigFolder();

// The database file registered under name, or "" when the name is not listed.
std::string LookupDataSource(const std::string& configFolder, const std::string& name);

// Registers name -> absolute path of dbFile, replacing an earlier section.
bool RegisterDataSource(const std::string& configFolder, const std::string& name,
                        const std::string& dbFile);

}  // namespace tarne
