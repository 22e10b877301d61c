// One run at a time per project database.  Training, removal, purges, erases,
// compaction and scoring all keep work state in the database (the thisessay
// column, the essay counts); two of them at once, from two processes or two
// windows, would count essays twice.  A run therefore holds an exclusive
// lock on a file beside the database for as long as it works.  A project on
// a database server is shared by several machines, so there the lock is the
// server's: an advisory lock named after the project's schema, held by the
// run's connection (and let go by the server should the run die).
#pragma once

#include <string>

namespace tarne {

class Database;
struct Session;

class RunLock {
 public:
  // Takes the lock of the session's open database, or joins the lock this
  // session already holds (a scoring run that goes on to untrain essays).
  // When another process holds it, the user is told and Held() is false.
  explicit RunLock(Session& session);
  // Takes the lock of databaseFile, the database of project sname, which
  // need not be open: replacing a project's database under a run that
  // writes into it would lose the run's work into a deleted file.
  RunLock(Session& session, const std::string& databaseFile, const std::string& sname);
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  bool Held() const { return held_; }

 private:
  // Locks path's lock file; false (the user told) when another run holds it.
  bool Take(const std::string& databaseFile, const std::string& sname);

  Session& session_;
  bool held_ = false;
  int ownFd_ = -1;  // a lock taken for a file the session has not open
};

// The lock file of a database file.
std::string RunLockPath(const std::string& databaseFile);

// Takes the server-side lock of project schema on db's connection, waiting
// a few seconds for a run that holds it; false when it stays taken (the
// caller tells the user) or the server cannot be asked.
bool TakeServerRunLock(Database& db, const std::string& schema);
void ReleaseServerRunLock(Database& db, const std::string& schema);

}  // namespace tarne
