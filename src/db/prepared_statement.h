// A statement compiled once and run many times with bound values, for the
// work that runs one statement per token or per essay.  Failures go to the
// gateway's error sink and failure count like those of any other statement,
// so a run notices them the same way.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace tarne {

class Database;
class ServerArray;
class ServerResult;

class PreparedStatement {
 public:
  PreparedStatement(Database& db, std::string sql);
  ~PreparedStatement();
  PreparedStatement(const PreparedStatement&) = delete;
  PreparedStatement& operator=(const PreparedStatement&) = delete;

  bool Ok() const { return stmt_ != nullptr || !serverName_.empty(); }

  // Parameters from 1; the text is copied.
  PreparedStatement& Bind(int index, std::int64_t value);
  PreparedStatement& Bind(int index, double value);
  PreparedStatement& Bind(int index, std::string_view text);
  PreparedStatement& BindNull(int index);
  // An array for a server's statement (db/server_rows.h); a file's
  // statements take no arrays.
  PreparedStatement& Bind(int index, const ServerArray& array);

  // Runs a statement that gives no rows; false when it failed.
  bool Run();
  // The next row of a query; false at the end (or on a failure, reported).
  bool Step();
  // Columns of the current row, from 0.
  std::int64_t Int(int column) const;
  double Real(int column) const;
  std::string_view Text(int column) const;
  bool IsNull(int column) const;
  bool IsReal(int column) const;

  // Ends the current result and clears the bindings for the next run.
  void Reset();

 private:
  Database& db_;
  std::string sql_;
  // Values bound for a server's statement; its rows once it has run.
  void BindServer(int index, std::optional<std::string> value, int format = 0);
  bool RunServer(std::shared_ptr<ServerResult>* rows);

  sqlite3_stmt* stmt_ = nullptr;
  bool active_ = false;
  // On a server: the name the statement was prepared under.
  std::string serverName_;
  std::vector<std::optional<std::string>> params_;
  std::vector<int> formats_;  // 1 for a parameter in binary form
  std::shared_ptr<ServerResult> rows_;
  int row_ = -1;
};

}  // namespace tarne
