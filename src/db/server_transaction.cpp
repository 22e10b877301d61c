#include "db/server_transaction.h"

namespace tarne {

ServerTransaction::ServerTransaction(Database& db, Kind kind) : db_(db), watch_(db) {
  if (!db.IsServer() || db.InTransaction()) return;
  open_ = kind == Kind::kSnapshot
              ? db.Exec("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY")
              : db.Begin();
}

ServerTransaction::~ServerTransaction() {
  if (open_ && db_.InTransaction()) db_.Rollback();
}

bool ServerTransaction::Commit() {
  if (!open_) return true;
  open_ = false;
  // Committed by a step inside: its work is out already.
  if (!db_.InTransaction()) return !watch_.Failed();
  if (watch_.Failed()) {
    db_.Rollback();
    return false;
  }
  return db_.Commit();
}

}  // namespace tarne
