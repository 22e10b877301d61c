#include "project/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "db/prepared_statement.h"

#include "project/session.h"

namespace tarne {

std::string RunLockPath(const std::string& databaseFile) { return databaseFile + ".lock"; }

namespace {

// How long a run waits for another run's server-side lock.
constexpr auto kServerLockWait = std::chrono::seconds(3);
constexpr auto kServerLockPoll = std::chrono::milliseconds(100);

// The lock's two keys: one for Tarne's locks, one for the schema.
const char* const kLockKeys = "hashtext('tarne run'), hashtext(?)";

void TellInUse(Session& session, const std::string& sname) {
  session.Message("Project " + sname +
                      " is in use by another Tarne run.\r\nTry again when that run has "
                      "finished.",
                  kProgramName, Buttons::Ok, Icon::Exclamation);
}

}  // namespace

bool TakeServerRunLock(Database& db, const std::string& schema) {
  PreparedStatement take(db, std::string("SELECT pg_try_advisory_lock(") + kLockKeys + ")");
  const auto giveUp = std::chrono::steady_clock::now() + kServerLockWait;
  for (;;) {
    take.Bind(1, schema);
    if (!take.Step()) return false;
    const bool taken = take.Int(0) == 1;
    take.Reset();
    if (taken) return true;
    if (std::chrono::steady_clock::now() >= giveUp) return false;
    std::this_thread::sleep_for(kServerLockPoll);
  }
}

void ReleaseServerRunLock(Database& db, const std::string& schema) {
  if (!db.IsServer()) return;
  PreparedStatement release(db, std::string("SELECT pg_advisory_unlock(") + kLockKeys + ")");
  release.Bind(1, schema);
  release.Step();
}

RunLock::RunLock(Session& session) : session_(session) {
  if (session.runLockDepth > 0) {
    ++session.runLockDepth;
    held_ = true;
    return;
  }
  // Without an open database there is nothing to protect; the run finds the
  // database missing on its own and says so.
  if (!session.db.IsOpen()) {
    held_ = true;
    return;
  }
  if (session.db.IsServer()) {
    if (!TakeServerRunLock(session.db, session.db.Schema())) {
      TellInUse(session, session.settings.sname);
      return;
    }
    session.runLockDepth = 1;
    held_ = true;
    return;
  }
  if (!Take(session.db.FilePath(), session.settings.sname)) return;
  session.runLockFd = ownFd_;
  session.runLockDepth = 1;
  ownFd_ = -1;
  held_ = true;
}

RunLock::RunLock(Session& session, const std::string& databaseFile, const std::string& sname)
    : session_(session) {
  if (session.runLockDepth > 0 && session.db.IsOpen() &&
      session.db.FilePath() == databaseFile) {
    ++session.runLockDepth;
    held_ = true;
    return;
  }
  if (!Take(databaseFile, sname)) return;
  held_ = true;
}

bool RunLock::Take(const std::string& databaseFile, const std::string& sname) {
  const std::string path = RunLockPath(databaseFile);
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  // A folder where the lock cannot be made (a read-only copy of a project)
  // cannot be written by a second run either, so the run may go ahead.
  if (fd < 0) return true;
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    ::close(fd);
    TellInUse(session_, sname);
    return false;
  }
  // The lock file itself is left in place when the run ends: removing it
  // would let a third run lock a new file while the second still holds the
  // old one.
  ownFd_ = fd;
  return true;
}

RunLock::~RunLock() {
  if (ownFd_ >= 0) {
    ::close(ownFd_);  // releases the lock
    return;
  }
  if (!held_ || session_.runLockDepth == 0) return;
  if (--session_.runLockDepth == 0 && session_.db.IsServer()) {
    ReleaseServerRunLock(session_.db, session_.db.Schema());
    return;
  }
  if (session_.runLockDepth == 0 && session_.runLockFd >= 0) {
    ::close(session_.runLockFd);  // releases the lock
    session_.runLockFd = -1;
  }
}

}  // namespace tarne
