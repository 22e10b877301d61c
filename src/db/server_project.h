// A project's tables on a PostgreSQL server: one schema per project, named
// after its short name, holding the four tables with the same columns as a
// project file has (plus a row id column, which the file engine keeps
// implicitly) and the two functions the statements call.
#pragma once

#include <string>

#include "db/gateway.h"

namespace tarne {

// Whether the server db is connected to holds a schema named schema.
bool ServerSchemaExists(Database& db, const std::string& schema);

// Replaces schema on the server db is connected to by an empty project:
// the tables, their indexes, the one trainsize row and the functions, all
// in one transaction.
bool CreateServerProject(Database& db, const std::string& schema);

// sname + n for the smallest n from 0 with no schema of that name.
std::string NextBackupSchema(Database& db, const std::string& sname);

// Copies the tables of project schema from into a new project schema to,
// as one snapshot.
bool BackupServerProject(Database& db, const std::string& from, const std::string& to);

}  // namespace tarne
