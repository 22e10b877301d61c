#include "db/database_files.h"
#include "db/gateway.h"
#include "project/run_lock.h"
#include "project/session.h"
#include "shell/numbers.h"
#include "training/training.h"

namespace tarne {

namespace {

const char* KindWord(int kind) {
  switch (kind) {
    case 2: return "phrases";
    case 3: return "arguments";
    default: return "words";
  }
}

const char* PurgeKindClause(int kind) {
  switch (kind) {
    case 2: return " AND isphrase=1";
    case 3: return " AND isarg=1";
    default: return " AND isword=1";
  }
}

bool Confirm(Session& session, const std::string& text) {
  return session.Message(text, "Erase database", Buttons::OkCancel, Icon::Question) == Answer::Ok;
}

Answer Backup(Session& session) {
  return OfferBackup(session.port, session.db, session.settings.path2root, session.settings.sname,
                     [&session](const std::string& line) { session.Log(line); });
}

// Several statements that only make sense together: a kill between them
// would leave trained files recorded whose counts are gone.  Answers false,
// with nothing changed and the user told, when any of them failed.
bool RunTogether(Session& session, const std::vector<std::string>& statements) {
  Database& db = session.db;
  const FailureWatch watch(db);
  if (db.Begin()) {
    for (const std::string& sql : statements) db.Statement(1, sql);
    if (!watch.Failed() && db.Commit()) return true;
    if (db.InTransaction()) db.Rollback();
  }
  session.ReportDatabaseFailure();
  session.Message("Nothing was changed: the database could not be changed.\r\n" + db.LastError(),
                  kProgramName, Buttons::Ok, Icon::Exclamation);
  return false;
}

}  // namespace

bool PurgeInfrequent(Session& session, TokenKind tokenKind) {
  const int kind = Number(tokenKind);
  const std::string word = KindWord(kind);
  RunLock lock(session);
  if (!lock.Held()) return false;
  if (!Confirm(session, "This will purge infrequent " + word + " from the " + "\r\n" +
                            "database. " + "\r\n\r\n" + "Are you sure?"))
    return false;
  if (Backup(session) == Answer::Cancel) return false;

  Port& port = session.port;
  Database& db = session.db;
  ProgressHandle window = port.PROGRESS_INIT("Purging infrequent " + word);
  session.Log("Purge Infrequent " + word + " started");
  db.Statement(1, "Select * from trainsize");
  db.FetchResult(1, 0);
  if (db.EndOfData(1) != 0) {
    port.PROGRESS_SHUTDOWN(window);
    session.Message("Nothing happened. Database problem", "Purge", Buttons::Ok);
    session.Log("Purge failure");
    return false;
  }
  double total = 0;
  for (int c = 1; c <= 5; ++c) total += db.ColumnUInt(1, c);
  session.Log("Purge infrequent  -" + PlainNumber(total) + " " + word + " to purge");
  const std::string rare = PlainNumber(session.settings.rare);
  const bool purged =
      RunTogether(session, {"DELETE FROM run1 where 1000*(v1+v2+v3+v4+v5)/" + PlainNumber(total) +
                                "<" + rare + PurgeKindClause(kind),
                            "DELETE FROM stem where 1000*(v1+v2+v3+v4+v5)/" + PlainNumber(total) +
                                "< " + rare + PurgeKindClause(kind)});
  port.PROGRESS_SHUTDOWN(window);
  if (!purged) {
    session.Log("Purge failure");
    return false;
  }
  if (db.IsOpen()) {
    // The purge itself is done and kept; a compaction that fails only
    // leaves the file larger than it need be.
    if (CompactDatabase(db))
      session.Log("Database compacted");
    else
      session.Log("Could not compact the database: " + db.LastError());
  }
  session.Message("Purge complete", "Purge", Buttons::Ok);
  session.Log("Purge complete");
  session.Append("\r\n" + std::string("Purge infrequent ") + word + "\r\n");
  return true;
}

bool PurgeAllOfKind(Session& session, TokenKind kind) {
  const bool phrases = kind != TokenKind::Arguments;
  RunLock lock(session);
  if (!lock.Held()) return false;
  if (!Confirm(session, std::string("This will purge all ") + (phrases ? "phrases. " : "arguments. ") +
                            "\r\n\r\n" + "Are you sure?"))
    return false;
  const bool purged =
      phrases ? RunTogether(session, {"DELETE FROM run1 where isphrase=1",
                                      "DELETE FROM stem where isphrase=1",
                                      "UPDATE calib set isinphrases=0"})
              : RunTogether(session, {"DELETE FROM run1 where isarg=1",
                                      "DELETE FROM stem where isarg=1",
                                      "UPDATE calib set isinargs=0"});
  if (!purged) return false;
  session.Message("Purge complete", "Purge", Buttons::Ok);
  return true;
}

bool EraseDatabase(Session& session) {
  RunLock lock(session);
  if (!lock.Held()) return false;
  if (!Confirm(session, std::string("This will totally erase your ") + "\r\n" +
                            "database. Are you Sure?"))
    return false;
  if (Backup(session) == Answer::Cancel) return false;
  if (!RunTogether(session, {"DELETE FROM run1", "DELETE FROM stem", "DELETE FROM calib",
                             "update trainsize set g1=0, g2=0, g3=0, g4=0, g5=0"}))
    return false;
  session.Message("Database erased", "Erase database", Buttons::Ok);
  session.Log("Database erased");
  session.Append("\r\n" + std::string("Database erased ") + "\r\n");
  return true;
}

bool CompactCommand(Session& session) {
  if (!session.db.IsOpen()) return false;
  RunLock lock(session);
  if (!lock.Held()) return false;
  if (!CompactDatabase(session.db)) {
    session.Message("Could not compact the database: " + session.db.LastError(), kProgramName,
                    Buttons::Ok, Icon::Exclamation);
    return false;
  }
  session.Message("Database compacted", "", Buttons::Ok);
  return true;
}

}  // namespace tarne
