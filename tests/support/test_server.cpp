#include "support/test_server.h"

#include <unistd.h>

#include <cstdlib>

#include "db/server_connection.h"
#include "db/server_project.h"

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

bool ProjectsOnServer() {
  const char* engine = std::getenv("TARNE_TEST_ENGINE");
  return engine && std::string(engine) == "server";
}

namespace {

// FORCE ends the connections still open on it, such as a test's own
// session or a tarne-cli it killed.
bool DropDatabase(Database& admin, const std::string& name) {
  return admin.Exec("DROP DATABASE IF EXISTS " + QuoteIdentifier(name) + " WITH (FORCE)");
}

}  // namespace

std::string ServerTestDatabase::Create(const std::string& sname) {
  if (TestServer().empty()) return "TARNE_TEST_ENGINE=server needs TARNE_TEST_PG";
  const std::string name = "tarne_test" + std::to_string(::getpid());
  Database admin;
  if (!admin.ConnectServer(TestServer()) || !DropDatabase(admin, name) ||
      !admin.Exec("CREATE DATABASE " + QuoteIdentifier(name)))
    return admin.LastError();
  name_ = name;
  // libpq takes the last of a repeated key.
  connection_ = TestServer() + " dbname=" + name;
  Database project;
  if (!project.ConnectServer(connection_) || !CreateServerProject(project, sname))
    return project.LastError();
  return "";
}

ServerTestDatabase::~ServerTestDatabase() {
  if (name_.empty()) return;
  Database admin;
  if (admin.ConnectServer(TestServer())) DropDatabase(admin, name_);
}

}  // namespace tarne::testing
