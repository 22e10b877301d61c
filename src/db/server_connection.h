// The PostgreSQL engine under the gateway: one libpq connection to a server
// database, with the project's schema first on the search path so that the
// program's statements (run1, stem, calib, trainsize, log(), gain()) name the
// project's own tables and functions.  Statements are rewritten where the two
// engines read SQL differently (see ServerSql); every value a caller binds
// travels apart from the statement text.  Results are read whole into memory,
// so two result sets can be open at once on the one connection.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct pg_conn;
struct pg_result;

namespace tarne {

// The rows of one query, as the server's text forms.
class ServerResult {
 public:
  explicit ServerResult(pg_result* result);
  ~ServerResult();
  ServerResult(const ServerResult&) = delete;
  ServerResult& operator=(const ServerResult&) = delete;

  int Rows() const;
  int Columns() const;
  bool IsNull(int row, int column) const;
  // Whether column holds reals (double precision).
  bool IsReal(int column) const;
  // The value as the server sends it, except that a truth value reads "1"
  // or "0", as the file engine gives a comparison.
  std::string_view Text(int row, int column) const;

 private:
  pg_result* result_;
};

class ServerConnection {
 public:
  // Asked for a password when the server wants one that neither the
  // connection text, libpq's password file nor its environment gave; answers
  // "" to give up.  The password is used for this connection only.
  using PasswordPrompt = std::function<std::string(const std::string& connection)>;

  ~ServerConnection();
  ServerConnection(const ServerConnection&) = delete;
  ServerConnection& operator=(const ServerConnection&) = delete;

  // Connects; nullptr with error set when the server cannot be reached.
  static std::unique_ptr<ServerConnection> Connect(const std::string& connection,
                                                   const PasswordPrompt& prompt,
                                                   std::string& error);

  // Puts schema first on the search path; false when it does not exist.
  bool UseSchema(const std::string& schema, std::string& error);

  // Runs one statement with text parameters ($1, $2, ... or ? in sql).  A
  // query's rows land in rows (when given); an INSERT into a table with row
  // ids keeps the new row's id for LastInsertRowid.
  // A parameter without a value is NULL.
  using Params = std::vector<std::optional<std::string>>;
  bool Run(const std::string& sql, const Params& params,
           std::shared_ptr<ServerResult>* rows, std::string& error);
  // Prepares sql under a fresh name, given back in name.
  bool Prepare(const std::string& sql, std::string& name, std::string& error);
  // formats: 1 for a parameter given in the server's binary form, 0 (or
  // none listed) for text.
  using Formats = std::vector<int>;
  bool RunPrepared(const std::string& name, const Params& params,
                   std::shared_ptr<ServerResult>* rows, std::string& error,
                   const Formats& formats = {});
  void Deallocate(const std::string& name);

  bool InTransaction();
  // Commits the open transaction without waiting for the server's log to
  // reach its disk.  A later COMMIT that waits makes it durable with
  // everything before it; failing that, the connection's end does.
  bool CommitInterim(std::string& error);
  std::int64_t LastInsertRowid() const { return lastInsert_; }
  // Waits for the answers of the statements sent ahead (see SendAhead).
  void Drain();
  // Whether the statement that failed last was only refused (or the COMMIT
  // turned into a rollback) because an earlier statement of its transaction
  // had failed: that one's message says why.
  bool FailedAfterAnother() const { return failedAfterAnother_; }

  // Receives the failure of a statement that was sent ahead (see below).
  void SetLateErrorSink(std::function<void(const std::string&)> sink) {
    lateError_ = std::move(sink);
  }

 private:
  // A prepared INSERT into a table with row ids, which the connection
  // numbers itself from ids it reserves in blocks, so that it need not wait
  // for the server's answer.
  struct Numbered {
    std::string table;
    int parameter = 0;  // the row id's parameter number
  };
  struct Reserved {
    std::vector<std::int64_t> ids;
    size_t next = 0;
  };

  explicit ServerConnection(pg_conn* conn) : conn_(conn) {}
  bool Finish(pg_result* result, std::shared_ptr<ServerResult>* rows, std::string& error);
  // Statements that give no rows are sent ahead without waiting for their
  // answers (libpq's pipeline); anything that needs an answer first waits
  // for all of them.  A failure among them goes to the late-error sink.
  bool SendAhead(const std::string& name, const Params& params, const Formats& formats,
                 std::string& error);
  bool Reserve(const std::string& table, std::string& error);

  pg_conn* conn_;
  std::int64_t lastInsert_ = 0;
  int prepared_ = 0;
  int ahead_ = 0;  // statements sent ahead and not yet answered
  bool expectCommit_ = false;  // the statement running is a COMMIT
  bool notDurable_ = false;    // a commit since the last one that waited
  bool failedAfterAnother_ = false;
  std::function<void(const std::string&)> lateError_;
  std::unordered_map<std::string, Numbered> numbered_;  // by prepared name
  std::unordered_map<std::string, Reserved> reserved_;  // by table
};

// sql as the server is to read it: "?" parameters numbered $1, $2, ...;
// decimal literals as double precision (the server would otherwise work
// them out as exact decimals, giving other last digits than the file
// engine); a kind flag alone in parentheses, "(isword)", compared with 0;
// "BEGIN IMMEDIATE" as "BEGIN"; "PRAGMA data_version" as a constant (a
// run holds the project's server-side lock, so no other writer changes the
// tables under it); an INSERT ... VALUES into run1, stem or calib that
// leaves the row id to the table returning it.
std::string ServerSql(std::string_view sql);

// What keeps connection from naming a server: "" when libpq reads it as a
// connection text that holds no password (a project file keeps no password).
std::string ServerConnectionProblem(const std::string& connection);

// name as a quoted identifier: "name", inner double quotes doubled.
std::string QuoteIdentifier(const std::string& name);

}  // namespace tarne
