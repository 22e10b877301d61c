// One unit of work on a project kept on a server, which the project's other
// users see whole or not at all, and whose reads all see one state of the
// tables.  Other people's reports read a shared project at any time: a
// scoring run's recomputed probabilities and essay marks must not show half
// done, and a report of several statements must not mix the counts of
// before and after someone else's training batch.  On a file nothing is
// begun: there every run is the only one (see project/run_lock.h) and keeps
// the transactions of its own steps.
#pragma once

#include "db/gateway.h"

namespace tarne {

class ServerTransaction {
 public:
  enum class Kind {
    kWrite,     // writes and reads; the run lock keeps other writers out
    kSnapshot,  // reads only, all from the state of the first one
  };
  ServerTransaction(Database& db, Kind kind);
  // Rolls back what was not committed.
  ~ServerTransaction();
  ServerTransaction(const ServerTransaction&) = delete;
  ServerTransaction& operator=(const ServerTransaction&) = delete;

  // Makes the work visible to others; when a statement failed since the
  // start, rolls it back instead and answers false (nothing half written).
  // Answers true on a file and after an earlier Commit.
  bool Commit();

 private:
  Database& db_;
  FailureWatch watch_;
  bool open_ = false;
};

}  // namespace tarne
