#include "db/gateway.h"
#include "db/prepared_statement.h"
#include "project/run_lock.h"
#include "project/session.h"
#include "shell/numbers.h"
#include "text/tokenizer.h"
#include "text/word_lists.h"
#include "training/essay_tokens.h"
#include "training/training.h"
#include "training/training_internal.h"

namespace tarne {

namespace {

struct RemovalCode {
  int kind;
  int stemmed;
  const char* kindClause;
};

RemovalCode CodeOf(int code) {
  switch (code) {
    case 2: return {2, 0, " AND isphrase=1"};
    case 3: return {1, 1, " AND isword=1"};
    case 4: return {2, 1, " AND isphrase=1"};
    case 5: return {3, 0, " AND isarg=1"};
    case 6: return {3, 1, " AND isarg=1"};
    default: return {1, 0, " AND isword=1"};
  }
}

}  // namespace

void RemoveEssay(Session& session, std::string& text, const std::string& group, int code) {
  LoadWordLists();
  Database& db = session.db;
  const RemovalCode rc = CodeOf(code);
  const std::string table = TableName(rc.stemmed);
  std::string normalised = text;
  NormalizeEssayText(normalised);
  // The project's counting rules, as training counted the essay.
  MarkEssayTokens(db, table.c_str(), rc.kind, rc.stemmed == 1, session.settings.rules,
                  normalised);

  // The guards keep every count at 0 or above, whatever the table holds.
  db.Statement(1, "Update " + table + " set v" + group + "= v" + group + " - thisessay " +
                      "WHERE thisessay>0 AND v" + group + ">=thisessay" + rc.kindClause);
  db.Statement(1, "Update " + table + " set w" + group + "= w" + group + " -1 " +
                      "WHERE thisessay>0 AND w" + group + ">0" + rc.kindClause);
}

int RemoveFlaggedFiles(Session& session, const std::vector<std::string>& flagged) {
  LoadWordLists();
  Port& port = session.port;
  Database& db = session.db;
  RunLock lock(session);
  if (!lock.Held()) return -1;
  ProgressHandle window = port.PROGRESS_INIT("Removing");
  if (window == 0) return -1;
  db.SetOptionSInt(60, 100);
  const int n = static_cast<int>(flagged.size());
  session.Log("Remove files started" + PlainNumber(n) + " files flagged");

  int removed = 0;
  bool failed = false;
  for (int i = 1; i <= n; ++i) {
    int percent = (i * 100) / n + 1;
    if (port.PROGESS_IS_CANCELLED(window)) break;
    port.ProcessPendingMessages();
    port.PROGRESS_SET(window, percent, "Working on file " + TrimmedNumber(i) + " of " +
                                           PlainNumber(n));
    if (port.PROGESS_IS_CANCELLED(window)) break;
    port.ProcessPendingMessages();

    const std::string& entry = flagged[i - 1];
    const std::string path = entry.size() > 2 ? entry.substr(2) : std::string();
    const FailureWatch lookup(db);
    // The training record says which group the file was counted in; the
    // group of the list entry may be another (a file given with the wrong
    // group), and subtracting it there would corrupt both groups' counts.
    PreparedStatement record(db,
                             "select isinwords, isinphrases, isinargs, gr from calib WHERE filen=?"
                             " AND (isinwords<>0 OR isinphrases<>0 OR isinargs<>0) ORDER BY rowid");
    const bool trained = record.Bind(1, path).Step();
    if (lookup.Failed()) {
      // No row because the records could not be read says nothing about
      // whether the file is trained.
      failed = true;
      break;
    }
    if (!trained) {
      session.Log("Not trained: " + path);
      session.Append("Not trained: " + path + "\r\n");
      continue;
    }
    const int words = static_cast<int>(record.Int(0));
    const int phrases = static_cast<int>(record.Int(1));
    const int args = static_cast<int>(record.Int(2));
    const int g = static_cast<int>(record.Int(3));
    record.Reset();
    if (g < 1 || g > 5) continue;
    const std::string group = TrimmedNumber(g);

    std::string text;
    // Clearing the flags without subtracting would leave the counts in
    // while the file looks untrained; a later run would count it twice.
    if (ReadEssay(session, path, text, true) != EssayRead::kRead) continue;
    const std::string where = " where gr=" + group + " AND filen=?";
    auto clearFlag = [&db, &where, &path](const char* flag) {
      PreparedStatement(db, std::string("Update calib set ") + flag + "=0" + where)
          .Bind(1, path)
          .Run();
    };
    const FailureWatch watch(db);
    if (!db.Begin()) {
      failed = true;
      break;
    }
    if (phrases != 0) {
      RemoveEssay(session, text, group, 2);
      RemoveEssay(session, text, group, 4);
      clearFlag("isinphrases");
    }
    if (args != 0) {
      RemoveEssay(session, text, group, 5);
      RemoveEssay(session, text, group, 6);
      clearFlag("isinargs");
    }
    if (words != 0) {
      RemoveEssay(session, text, group, 1);
      RemoveEssay(session, text, group, 3);
      clearFlag("isinwords");
      db.Statement(1, "Update trainsize set g" + group + " = g" + group + "-1");
    }
    if (watch.Failed() || !db.Commit()) {
      if (db.InTransaction()) db.Rollback();
      failed = true;
      break;
    }
    ++removed;
    session.Append("Removed: " + path + "\r\n");
  }

  port.PROGRESS_SHUTDOWN(window);
  if (failed) {
    // The essay in progress was rolled back; those before it stay removed.
    session.ReportDatabaseFailure();
    session.Log("Removal stopped: the database could not be changed");
    session.Message("Removal stopped: the database could not be changed.\r\n" + db.LastError() +
                        "\r\n" + TrimmedNumber(removed) + " of" + PlainNumber(n) +
                        " files were removed before it stopped.",
                    kProgramName, Buttons::Ok, Icon::Exclamation);
  } else {
    session.Message("Done removing" + PlainNumber(n) + " files.", "", Buttons::Ok);
  }
  session.Log("Done removing" + PlainNumber(removed) + " files");
  session.Append("\r\n" + PlainNumber(removed) + " files removed" + "\r\n");
  return failed ? -1 : removed;
}

}  // namespace tarne
