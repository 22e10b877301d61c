// Writing a new database file whole, away from its place, and putting it
// there in one step.  The engine would create it through its journals,
// syncing the disk at every stage (eight times for an empty project); a
// file nobody else can see yet needs no journal, and one sync before the
// rename makes it as safe: a crash leaves the file complete or not there.
#pragma once

#include <string>

namespace tarne {

// Creates the database file path (which must not exist) in the engine's
// write-ahead log mode with 16 KB pages, as Database::OpenFile sets a file
// up, runs sql in it and syncs it to disk.  false when any of it failed;
// the caller removes what was left.
bool WriteNewDatabaseFile(const std::string& path, const std::string& sql);

// Renames from to to, replacing any file there, and syncs the folder so that
// the new name survives a crash of the machine.  false when the rename
// failed (from is then left as it was).
bool RenameDurably(const std::string& from, const std::string& to);

}  // namespace tarne
