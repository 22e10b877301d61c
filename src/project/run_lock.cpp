#include "project/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "project/session.h"

namespace tarne {

std::string RunLockPath(const std::string& databaseFile) { return databaseFile + ".lock"; }

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
  const std::string path = RunLockPath(session.db.FilePath());
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    // A folder where the lock cannot be made (a read-only copy of a project)
    // cannot be written by a second run either, so the run may go ahead.
    held_ = true;
    return;
  }
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    ::close(fd);
    session.Message("Project " + session.settings.sname +
                        " is in use by another Tarne run.\r\nTry again when that run has "
                        "finished.",
                    kProgramName, Buttons::Ok, Icon::Exclamation);
    return;
  }
  // The lock file itself is left in place when the run ends: removing it
  // would let a third run lock a new file while the second still holds the
  // old one.
  session.runLockFd = fd;
  session.runLockDepth = 1;
  held_ = true;
}

RunLock::~RunLock() {
  if (!held_ || session_.runLockDepth == 0) return;
  if (--session_.runLockDepth == 0 && session_.runLockFd >= 0) {
    ::close(session_.runLockFd);  // releases the lock
    session_.runLockFd = -1;
  }
}

}  // namespace tarne
