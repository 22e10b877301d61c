// A statement compiled once and run many times with bound values, for the
// work that runs one statement per token or per essay.  Failures go to the
// gateway's error sink and failure count like those of any other statement,
// so a run notices them the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace tarne {

class Database;

class PreparedStatement {
 public:
  PreparedStatement(Database& db, std::string sql);
  ~PreparedStatement();
  PreparedStatement(const PreparedStatement&) = delete;
  PreparedStatement& operator=(const PreparedStatement&) = delete;

  bool Ok() const { return stmt_ != nullptr; }

  // Parameters from 1; the text is copied.
  PreparedStatement& Bind(int index, std::int64_t value);
  PreparedStatement& Bind(int index, double value);
  PreparedStatement& Bind(int index, std::string_view text);
  PreparedStatement& BindNull(int index);

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
  sqlite3_stmt* stmt_ = nullptr;
  bool active_ = false;
};

}  // namespace tarne
