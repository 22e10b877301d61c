// Checkpoints of a file database's write-ahead log, taken out of the commits
// by a long writer: SQLite's automatic checkpoint runs inside the commit that
// makes the log pass its limit, and cannot be given up there.
#include <sqlite3.h>

#include "db/gateway.h"

namespace tarne {

namespace {

// SQLite's own limit for its automatic checkpoint, in pages.
constexpr int kAutomaticCheckpointPages = 1000;

int RememberWalPages(void* pages, sqlite3*, const char*, int n) {
  static_cast<std::atomic<int>*>(pages)->store(n);
  return SQLITE_OK;
}

}  // namespace

void Database::SetAutomaticCheckpoints(bool on) {
  if (server_ || !db_) return;
  walPages_ = 0;
  if (on)
    sqlite3_wal_autocheckpoint(db_, kAutomaticCheckpointPages);
  else
    sqlite3_wal_hook(db_, RememberWalPages, &walPages_);
}

bool Database::Checkpoint(int pages) {
  if (server_ || !db_ || walPages_ < pages) return true;
  const int rc = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr,
                                           nullptr);
  if (rc == SQLITE_OK) walPages_ = 0;
  return rc == SQLITE_OK;
}

void Database::Interrupt() {
  if (!server_ && db_) sqlite3_interrupt(db_);
}

}  // namespace tarne
