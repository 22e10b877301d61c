#include "support/test_server.h"

#include <cstdlib>

#include "db/server_connection.h"

namespace tarne::testing {

std::string TestServer() {
  const char* server = std::getenv("TARNE_TEST_PG");
  return server ? server : "";
}

void DropServerProject(const std::string& name) {
  Database db;
  if (!db.ConnectServer(TestServer())) return;
  for (const std::string& schema : {name, name + "0", name + "1", name + "2", name + "3"})
    db.Exec("DROP SCHEMA IF EXISTS " + QuoteIdentifier(schema) + " CASCADE");
}

}  // namespace tarne::testing
