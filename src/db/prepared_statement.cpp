#include "db/prepared_statement.h"

#include <sqlite3.h>

#include "db/gateway.h"

namespace tarne {

PreparedStatement::PreparedStatement(Database& db, std::string sql)
    : db_(db), sql_(std::move(sql)) {
  if (!db_.db_) {
    db_.Report("no database is open", sql_);
    return;
  }
  if (sqlite3_prepare_v2(db_.db_, sql_.data(), static_cast<int>(sql_.size()), &stmt_, nullptr) !=
      SQLITE_OK) {
    db_.Report(sqlite3_errmsg(db_.db_), sql_);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
}

PreparedStatement::~PreparedStatement() { sqlite3_finalize(stmt_); }

PreparedStatement& PreparedStatement::Bind(int index, std::int64_t value) {
  if (stmt_) sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

PreparedStatement& PreparedStatement::Bind(int index, double value) {
  if (stmt_) sqlite3_bind_double(stmt_, index, value);
  return *this;
}

PreparedStatement& PreparedStatement::Bind(int index, std::string_view text) {
  if (stmt_)
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

PreparedStatement& PreparedStatement::BindNull(int index) {
  if (stmt_) sqlite3_bind_null(stmt_, index);
  return *this;
}

bool PreparedStatement::Run() {
  if (!stmt_) return false;
  const int rc = sqlite3_step(stmt_);
  const bool ok = rc == SQLITE_DONE || rc == SQLITE_ROW;
  if (!ok) db_.Report(sqlite3_errmsg(db_.db_), sql_);
  Reset();
  return ok;
}

bool PreparedStatement::Step() {
  if (!stmt_) return false;
  active_ = true;
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) db_.Report(sqlite3_errmsg(db_.db_), sql_);
  Reset();
  return false;
}

std::int64_t PreparedStatement::Int(int column) const {
  return stmt_ ? sqlite3_column_int64(stmt_, column) : 0;
}

double PreparedStatement::Real(int column) const {
  return stmt_ ? sqlite3_column_double(stmt_, column) : 0.0;
}

std::string_view PreparedStatement::Text(int column) const {
  if (!stmt_) return {};
  const void* bytes = sqlite3_column_blob(stmt_, column);
  const int n = sqlite3_column_bytes(stmt_, column);
  if (!bytes || n <= 0) return {};
  return std::string_view(static_cast<const char*>(bytes), static_cast<size_t>(n));
}

bool PreparedStatement::IsNull(int column) const {
  return !stmt_ || sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

bool PreparedStatement::IsReal(int column) const {
  return stmt_ && sqlite3_column_type(stmt_, column) == SQLITE_FLOAT;
}

void PreparedStatement::Reset() {
  if (!stmt_) return;
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  active_ = false;
}

}  // namespace tarne
