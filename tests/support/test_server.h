// The PostgreSQL server the server-side tests run against, named by the
// environment variable TARNE_TEST_PG as a libpq connection text
// ("host=/tmp/pg port=5432 dbname=tarne user=tarne").  Without it those
// tests are skipped: scripts/test.sh starts a throwaway server and sets it.
//
// With TARNE_TEST_ENGINE=server as well, the database, training and scoring
// fixtures put their projects on that server instead of in SQLite files, so
// that the same suites check both engines.
#pragma once

#include <string>

#include "db/gateway.h"

namespace tarne::testing {

// The connection text, or "" when no server is given.
std::string TestServer();

inline constexpr const char* kNoTestServer =
    "TARNE_TEST_PG is not set: no PostgreSQL server to test against";

// Drops the project schema (and its backups name0..name3) from the server.
void DropServerProject(const std::string& name);

// Whether the fixtures' projects live on the test server (TARNE_TEST_ENGINE
// is "server").
bool ProjectsOnServer();

inline constexpr const char* kSqliteFilesOnly =
    "about SQLite files: not run with the projects on the server";

// A database of its own on the test server for one test, named after the
// process, so that tests run side by side never share a project schema or a
// run lock.  Create() replaces any left over from a killed run; the
// destructor drops it, closing whatever connections are still on it.
class ServerTestDatabase {
 public:
  ServerTestDatabase() = default;
  ~ServerTestDatabase();
  ServerTestDatabase(const ServerTestDatabase&) = delete;
  ServerTestDatabase& operator=(const ServerTestDatabase&) = delete;

  // Creates the database and in it the empty project schema sname; "" when
  // that worked, else what went wrong.
  std::string Create(const std::string& sname);
  // The connection text for this database (TARNE_TEST_PG with its dbname).
  const std::string& Connection() const { return connection_; }

 private:
  std::string name_;
  std::string connection_;
};

}  // namespace tarne::testing
