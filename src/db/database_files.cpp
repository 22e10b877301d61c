#include "db/database_files.h"

#include <filesystem>
#include <system_error>

#include "db/datasources.h"
#include "db/new_database_file.h"
#include "db/server_project.h"

namespace fs = std::filesystem;

namespace tarne {

namespace {

bool Exists(const std::string& path) {
  std::error_code ec;
  // A dangling link counts as taken: writing through it would land elsewhere.
  return fs::exists(fs::symlink_status(path, ec));
}

const char* const kVocabularyColumns =
    "(Vocab TEXT,"
    " v1 REAL DEFAULT 0, v2 REAL DEFAULT 0, v3 REAL DEFAULT 0, v4 REAL DEFAULT 0,"
    " v5 REAL DEFAULT 0,"
    " w1 REAL DEFAULT 0, w2 REAL DEFAULT 0, w3 REAL DEFAULT 0, w4 REAL DEFAULT 0,"
    " w5 REAL DEFAULT 0,"
    " p1 REAL DEFAULT 0, p2 REAL DEFAULT 0, p3 REAL DEFAULT 0, p4 REAL DEFAULT 0,"
    " p5 REAL DEFAULT 0,"
    " sum REAL DEFAULT 0, entropy REAL DEFAULT 0,"
    " isword INTEGER DEFAULT 0, isphrase INTEGER DEFAULT 0, isarg INTEGER DEFAULT 0,"
    " isstop INTEGER DEFAULT 0, keep INTEGER DEFAULT 0, thisessay INTEGER DEFAULT 0)";

std::string VocabularyTable(const std::string& table) {
  // Counts are REAL so that "/" between them divides as real numbers.  Rows
  // are found by their text and kind, and the per-essay work only touches
  // rows with a count in thisessay.  The kind flags get no index of their
  // own: most rows of a table share a kind, so a scan serves "where isword=1"
  // better than an index would.
  return "CREATE TABLE " + table + " " + kVocabularyColumns + ";" +
         "CREATE INDEX " + table + "_vocab ON " + table + " (Vocab, isword, isphrase, isarg);" +
         "CREATE INDEX " + table + "_thisessay ON " + table + " (thisessay);";
}

std::string SchemaSql() {
  return "BEGIN;" + VocabularyTable("run1") + VocabularyTable("stem") +
         "CREATE TABLE calib (filen TEXT, gr INTEGER, isinwords INTEGER DEFAULT 0,"
         " isinphrases INTEGER DEFAULT 0, isinargs INTEGER DEFAULT 0);"
         "CREATE INDEX calib_filen ON calib (filen, gr);"
         "CREATE INDEX calib_gr ON calib (gr);"
         "CREATE TABLE trainsize (g1 INTEGER DEFAULT 0, g2 INTEGER DEFAULT 0,"
         " g3 INTEGER DEFAULT 0, g4 INTEGER DEFAULT 0, g5 INTEGER DEFAULT 0);"
         "INSERT INTO trainsize DEFAULT VALUES;"
         "COMMIT;";
}

void RemoveWithCompanions(const std::string& file) {
  std::error_code ec;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(file + suffix, ec);
}

}  // namespace

std::string DatabaseFilePath(const std::string& root, const std::string& sname) {
  return root + sname + ".db";
}

bool CreateSchema(Database& db) {
  if (db.Exec(SchemaSql())) return true;
  if (db.InTransaction()) db.Rollback();
  return false;
}

bool CreateProjectDatabase(const std::string& root, const std::string& sname,
                           const std::string& configFolder) {
  const std::string file = DatabaseFilePath(root, sname);
  // The new database is written whole beside its place, synced once and
  // renamed into it: a crash leaves either the old file or the complete new
  // one, never a file without its tables, and the creation syncs the disk
  // twice (the file, the folder) where writing it in place through the
  // engine's journals would sync it eight times.
  const std::string staged = file + ".new";
  RemoveWithCompanions(staged);
  if (!WriteNewDatabaseFile(staged, SchemaSql())) {
    RemoveWithCompanions(staged);
    return false;
  }
  std::error_code ec;
  // The log and shared-memory files of an earlier database would be replayed
  // into the new one, so they go first; the earlier file itself is replaced
  // by the rename.
  for (const char* suffix : {"-wal", "-shm", "-journal"}) {
    fs::remove(file + suffix, ec);
    if (ec) {
      RemoveWithCompanions(staged);
      return false;
    }
  }
  if (!RenameDurably(staged, file)) {
    RemoveWithCompanions(staged);
    return false;
  }
  // The registration only serves a project whose own file has gone missing
  // (opening a project looks for its own file first and registers it again);
  // a configuration folder that cannot be written does not undo the database.
  RegisterDataSource(configFolder, sname, file);
  return true;
}

std::string NextBackupPath(const std::string& root, const std::string& sname) {
  for (unsigned long n = 0;; ++n) {
    std::string path = root + sname + std::to_string(n) + ".db";
    if (!Exists(path)) return path;
  }
}

Answer OfferServerBackup(Port& port, Database& db, const std::string& sname,
                         const std::function<void(const std::string&)>& logLine) {
  Answer answer = port.MessageBox("Do you want to quickly back-up the database before proceeding?",
                                  "Checking", Buttons::YesNoCancel, Icon::Question);
  if (answer != Answer::Yes) return answer;
  const std::string name = NextBackupSchema(db, sname);
  if (!BackupServerProject(db, sname, name)) {
    port.MessageBox("Could not back up the database to " + name, "Checking", Buttons::Ok,
                    Icon::Exclamation);
    return Answer::Cancel;
  }
  port.MessageBox("Backed up as \r\n" + name, "", Buttons::Ok, Icon::None);
  if (logLine) logLine("Database backed up as " + name);
  return answer;
}

Answer OfferBackup(Port& port, Database& db, const std::string& root, const std::string& sname,
                   const std::function<void(const std::string&)>& logLine) {
  if (db.IsServer()) return OfferServerBackup(port, db, sname, logLine);
  Answer answer = port.MessageBox("Do you want to quickly back-up the database before proceeding?",
                                  "Checking", Buttons::YesNoCancel, Icon::Question);
  if (answer != Answer::Yes) return answer;
  const std::string path = NextBackupPath(root, sname);
  if (!db.BackupTo(path)) {
    // The caller is about to change the database for good; going on after a
    // backup that was promised but not made would lose the user's data.
    port.MessageBox("Could not back up the database to " + path, "Checking", Buttons::Ok,
                    Icon::Exclamation);
    return Answer::Cancel;
  }
  port.MessageBox("Backed up as \r\n" + path, "", Buttons::Ok, Icon::None);
  if (logLine) logLine("Database backed up as " + path);
  return answer;
}

bool CompactDatabase(Database& db) {
  if (!db.IsOpen()) return false;
  return db.Vacuum();
}

}  // namespace tarne
