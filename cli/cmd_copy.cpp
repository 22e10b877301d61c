#include <filesystem>
#include <iostream>
#include <optional>
#include <system_error>

#include "args.h"
#include "commands.h"
#include "db/copy_tables.h"
#include "db/database_files.h"
#include "db/server_connection.h"
#include "db/server_project.h"
#include "project/run_lock.h"
#include "project/text_lines.h"
#include "project_command.h"

namespace fs = std::filesystem;

namespace tarne::cli {

namespace {

const char* kCopyUsage =
    "usage: tarne-cli copy PROJECT.trn --server \"host=H port=P dbname=D user=U\" [--yes]\n"
    "       tarne-cli copy PROJECT.trn --sqlite DIR [--yes]\n"
    "Copies the project's tables, as they are, to a new database: with --server to\n"
    "the schema SNAME of that PostgreSQL server database, and PROJECT.trn then names\n"
    "the server; with --sqlite to the file DIR/SNAME.db beside a new project file\n"
    "DIR/SNAME.trn.  The database copied from is left as it is.  A database already\n"
    "there is replaced only with --yes.\n";

// The empty project the tables go to, open in to; lock holds the target's
// run lock (on a server) while the copy is made.
bool OpenTarget(ProjectCommand& command, const std::string& server, const std::string& folder,
                bool replace, Database& lock, Database& to) {
  Session& session = command.session;
  const std::string sname = session.settings.sname;
  if (!server.empty()) {
    if (const std::string problem = ServerConnectionProblem(server); !problem.empty()) {
      std::cerr << "tarne-cli: " << problem << "\n";
      return false;
    }
    lock.SetPasswordPrompt([&command](const std::string& c) { return command.port.AskPassword(c); });
    to.SetPasswordPrompt([&command](const std::string& c) { return command.port.AskPassword(c); });
    if (!lock.ConnectServer(server)) {
      std::cerr << "Could not reach the database server: " << lock.LastError() << "\n";
      return false;
    }
    if (!TakeServerRunLock(lock, sname)) {
      std::cerr << "Project " << sname << " is in use by another Tarne run on the server.\n";
      return false;
    }
    if (ServerSchemaExists(lock, sname) && !replace) {
      std::cerr << "Project " << sname
                << " already has a database on the server; --yes replaces it.\n";
      return false;
    }
    if (!CreateServerProject(lock, sname) || !to.OpenServer(server, sname)) {
      std::cerr << "Could not create the database " << sname << " on the server: "
                << (lock.LastError().empty() ? to.LastError() : lock.LastError()) << "\n";
      return false;
    }
    return true;
  }
  const std::string file = DatabaseFilePath(folder, sname);
  std::error_code ec;
  if (session.db.FilePath() == file || fs::equivalent(session.db.FilePath(), file, ec)) {
    std::cerr << "tarne-cli: " << file << " is the database copied from\n";
    return false;
  }
  if (fs::exists(fs::symlink_status(file, ec)) && !replace) {
    std::cerr << file << " already exists; --yes replaces it.\n";
    return false;
  }
  fs::create_directories(folder, ec);
  if (!CreateProjectDatabase(folder, sname, session.configFolder) || !to.OpenFile(file)) {
    std::cerr << "Could not create the database " << file << "\n";
    return false;
  }
  return true;
}

}  // namespace

int RunCopy(const Args& a) {
  if (a.positional.size() != 1) return UsageError("give one project file", kCopyUsage);
  const bool toServer = !a.All("server").empty();
  if (toServer == !a.All("sqlite").empty())
    return UsageError("give --server or --sqlite, one of them", kCopyUsage);
  std::string folder;
  if (!toServer) {
    std::error_code ec;
    folder = fs::absolute(a.Value("sqlite"), ec).string();
    if (folder.empty() || a.Value("sqlite").empty())
      return UsageError("--sqlite needs a folder", kCopyUsage);
    if (folder.back() != '/') folder += '/';
  }

  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  Session& session = command.session;
  // No run changes the tables while they are read.
  RunLock source(session);
  if (!source.Held()) return 1;
  Database lock;
  Database to;
  if (!OpenTarget(command, a.Value("server"), folder, a.Has("yes"), lock, to)) return 1;
  if (!CopyProjectTables(session.db, to)) {
    std::cerr << "Database error: "
              << (to.LastError().empty() ? session.db.LastError() : to.LastError()) << "\n";
    return 1;
  }

  ProjectSettings s = session.settings;
  std::string where;
  if (toServer) {
    s.dbprogram = kServerProgram;
    s.dbserver = a.Value("server");
    where = "the server";
  } else {
    s.dbprogram = "MSACCESS";
    s.dbserver.clear();
    s.path2root = folder;
    where = DatabaseFilePath(folder, s.sname);
  }
  if (!project_text::WriteWholeFile(s.ProjectFilePath(), ProjectFileText(s))) {
    std::cerr << "Could not write file " << s.ProjectFilePath() << "\n";
    return 1;
  }
  session.Log("Database copied to " + where);
  std::cout << "Project " << s.sname << " copied to " << where << "\n";
  return command.Exit(0);
}

const Command kCopyCommand{
    "copy", "Projects",
    "  copy PROJECT.trn (--server \"host=.. dbname=..\" | --sqlite DIR) [--yes]\n",
    kCopyUsage,
    {"server", "sqlite"},
    {"yes"},
    RunCopy};

}  // namespace tarne::cli
