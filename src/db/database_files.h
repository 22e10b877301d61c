// Creating, backing up and compacting a project's database file.
#pragma once

#include <functional>
#include <string>

#include "db/gateway.h"
#include "shell/port.h"

namespace tarne {

// path2root + sname + ".db"
std::string DatabaseFilePath(const std::string& root, const std::string& sname);

// The four tables, their indexes and the one trainsize row, on an open database.
bool CreateSchema(Database& db);

// Replaces root + sname + ".db" by an empty database with the schema and
// registers it under sname (where the configuration folder can be written).  The caller closes database 1 first when it is
// open on that file.
bool CreateProjectDatabase(const std::string& root, const std::string& sname,
                           const std::string& configFolder);

// root + sname + n + ".db" for the smallest n from 0 whose file does not exist.
std::string NextBackupPath(const std::string& root, const std::string& sname);

// Asks "Do you want to quickly back-up the database before proceeding?";
// on Yes writes a snapshot, tells where and logs it.  Answers the button.
Answer OfferBackup(Port& port, Database& db, const std::string& root, const std::string& sname,
                   const std::function<void(const std::string&)>& logLine);

// OfferBackup for project sname on the server db is connected to: the
// copy is the schema sname + n (see NextBackupSchema).
Answer OfferServerBackup(Port& port, Database& db, const std::string& sname,
                         const std::function<void(const std::string&)>& logLine);

// Compacts the open database in place; false when none is open.
bool CompactDatabase(Database& db);

}  // namespace tarne
