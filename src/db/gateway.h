// The SQL gateway: database 1 of the program, reached by statement texts
// built by concatenation.  Two engines lie under it: an SQLite file beside
// the project (the default) or a project schema on a PostgreSQL server
// (db/server_connection.h); callers see no difference between them.
// Statement numbers 1 and 2 hold result sets at the same time.  A failed
// statement has no effect and yields no rows, and is reported to the error
// sink with the engine's message and the statement text, so no failure goes
// unnoticed.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

struct sqlite3;
struct sqlite3_stmt;

namespace tarne {

class ServerConnection;

// Values held in memory that a statement reads through fed(rowid, column):
// so that one UPDATE can write what the caller worked out row by row.
class FedValues {
 public:
  virtual ~FedValues() = default;
  // The value for column (the caller's numbering) of the row; none for NULL.
  virtual std::optional<double> Value(std::int64_t rowid, int column) = 0;
};

class Database {
 public:
  using ErrorSink = std::function<void(const std::string& message)>;

  Database();
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Receives "Database error: " + engine message + " in: " + statement.
  void SetErrorSink(ErrorSink sink) { sink_ = std::move(sink); }
  // Hands message to the error sink as a failure of this connection would.
  void ReportToSink(const std::string& message) const {
    if (sink_) sink_(message);
  }
  // Puts sink in place and gives back the one it replaces.
  ErrorSink ReplaceErrorSink(ErrorSink sink) {
    std::swap(sink, sink_);
    return sink;
  }

  // Opens an existing database file as database 1, replacing any open one.
  // WAL journal, normal synchronisation, the natural-log function log().
  bool OpenFile(const std::string& path);
  // Creates a new, empty database file at path (which must not exist yet)
  // and opens it as this database, set up as OpenFile does.
  bool CreateNewFile(const std::string& path);
  // Opens "DSN=" + name through the data-source list; when the name is not
  // listed or its file is gone and fallbackPath exists, opens fallbackPath and
  // registers it under the name.
  bool OpenDataSource(const std::string& connection, const std::string& fallbackPath,
                      const std::string& configFolder);
  // Connects to the server named by connection (libpq's "key=value" list)
  // and opens the project schema there as this database.
  bool OpenServer(const std::string& connection, const std::string& schema);
  // Connects to the server without a project schema: for creating one.
  bool ConnectServer(const std::string& connection);
  // Asked for a password when a server wants one nothing else supplied.
  void SetPasswordPrompt(std::function<std::string(const std::string&)> prompt) {
    passwordPrompt_ = std::move(prompt);
  }
  void Close();
  bool IsOpen() const { return db_ != nullptr || server_ != nullptr; }
  bool IsServer() const { return server_ != nullptr; }
  // The project schema a server database is open on ("" for a file).
  const std::string& Schema() const { return schema_; }
  // How long a statement waits for a database another connection is
  // writing (on a server: for a lock another connection holds) before it
  // fails as busy (5 seconds unless changed).
  void SetBusyTimeout(int milliseconds);
  const std::string& FilePath() const { return path_; }

  // Executes sql at once on statement number stmt (1 or 2).  A SELECT's rows
  // become readable there; a statement that fails leaves no rows.
  void Statement(int stmt, const std::string& sql);
  // Makes the next row current; the row selector is accepted and ignored.
  void FetchResult(int stmt, int row = 0);
  // -1 when the last fetch found no row, 0 when a row is current.
  int EndOfData(int stmt) const;
  // Column reads of the current row, columns from 1; NULL or no row reads 0 / "".
  std::uint32_t ColumnUInt(int stmt, int column) const;
  std::int32_t ColumnSInt(int stmt, int column) const;
  double ColumnFloat(int stmt, int column) const;
  std::string ColumnText(int stmt, int column) const;
  std::string ColumnStr(int stmt, int column) const { return ColumnText(stmt, column); }
  // Limits the rows a SELECT on stmt gives to n; 0 removes the limit.
  void StatementMode(int stmt, int rows);
  // Accepted for the library option calls of the training run; no effect.
  void SetOptionSInt(int option, int value);

  // The row id the last INSERT on this connection gave its row.
  std::int64_t LastInsertRowid() const;

  // Transactions, for making one essay's update atomic.
  bool Begin();
  bool Commit();
  // A commit that a later Commit of the same run will follow.  On a server
  // it does not wait for the server's log to reach its disk: the log is
  // written in order, so the later commit's wait covers this one too, and a
  // server that stops before then loses the run's last commits whole, as a
  // kill of the run would.  A file's commits never wait for the disk (its
  // log is synced at checkpoints), so there it is Commit.
  bool CommitInterim();
  bool Rollback();
  bool InTransaction() const;
  // Waits until a server has answered every statement sent ahead (see
  // ServerConnection), so that their failures are counted before a watch
  // is asked; a file runs every statement at once anyway.
  void AwaitAnswers();

  // Checkpoints of a file's write-ahead log (nothing on a server).  Turned
  // off, a commit no longer copies the log into the file once it has grown
  // (and waits for that): the caller does it with Checkpoint when it suits
  // it, and turns them back on when done.
  void SetAutomaticCheckpoints(bool on);
  // Copies the log into the file when it holds at least pages pages; false
  // when that was interrupted or failed (the log stays valid either way).
  bool Checkpoint(int pages);
  // Stops what the connection is running on another thread (a statement
  // or a checkpoint fails as interrupted); safe from any thread.
  void Interrupt();

  // Compacts the open database in place.  Result sets still open on either
  // statement number are released first (the engine cannot compact under
  // them); a compaction inside a transaction fails.
  bool Vacuum();
  // Writes a consistent snapshot of the open database to path, which must not
  // exist yet.  The open database stays usable meanwhile.
  bool BackupTo(const std::string& path);

  // Runs sql with fed(rowid, column) answering from values; false when it
  // failed (reported as any statement).  A file's engine only: a server
  // takes such values as array parameters (db/server_rows.h).
  bool ExecFed(const std::string& sql, FedValues& values);

  // Runs sql (several statements allowed) and reports failure; for schema work.
  bool Exec(const std::string& sql);

  // Number of statements that failed since opening.  Callers do not compare
  // it by hand: a FailureWatch over the unit of work does.
  int FailureCount() const { return failures_; }
  // The engine's message for the last failure ("" before any); on a server,
  // within a transaction, for the failure that spoilt it.
  const std::string& LastError() const { return lastError_; }

 private:
  friend class PreparedStatement;
  struct Cursor;
  bool OpenWithFlags(const std::string& path, int flags);
  void Report(const std::string& engineMessage, const std::string& sql);
  Cursor& CursorFor(int stmt) const;

  sqlite3* db_ = nullptr;
  std::unique_ptr<ServerConnection> server_;
  std::string schema_;
  std::function<std::string(const std::string&)> passwordPrompt_;
  std::string path_;
  ErrorSink sink_;
  FedValues* fed_ = nullptr;  // while ExecFed runs
  std::unique_ptr<Cursor[]> cursors_;  // statement numbers 1 and 2 (index 0 unused)
  int failures_ = 0;
  std::string lastError_;
  // Pages in the write-ahead log after the last commit, while automatic
  // checkpoints are off.
  std::atomic<int> walPages_{0};
};

// Whether a statement failed on db while the watch was on.  A failed
// statement has no effect and yields no rows, so a report or a run that
// reads on after one would present zeros and empty lists as results; every
// unit of work that must not do so keeps a watch and asks it at the end.
class FailureWatch {
 public:
  explicit FailureWatch(const Database& db) : db_(db), start_(db.FailureCount()) {}
  [[nodiscard]] bool Failed() const { return db_.FailureCount() != start_; }
  // Starts watching afresh, as a new watch would.
  void Restart() { start_ = db_.FailureCount(); }

 private:
  const Database& db_;
  int start_;
};

// What a column read as an unsigned integer gives for a real value.
std::uint32_t RealAsUInt(double value);

// Doubles the single quotes of a text put between single quotes in SQL.
std::string SqlQuote(const std::string& text);

}  // namespace tarne
