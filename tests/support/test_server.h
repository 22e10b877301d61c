// The PostgreSQL server the server-side tests run against, named by the
// environment variable TARNE_TEST_PG as a libpq connection text
// ("host=/tmp/pg port=5432 dbname=tarne user=tarne").  Without it those
// tests are skipped: scripts/test.sh starts a throwaway server and sets it.
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

}  // namespace tarne::testing
