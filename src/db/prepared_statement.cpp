#include "db/prepared_statement.h"

#include <sqlite3.h>

#include "db/gateway.h"
#include "db/server_connection.h"
#include "db/server_rows.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace tarne {

PreparedStatement::PreparedStatement(Database& db, std::string sql)
    : db_(db), sql_(std::move(sql)) {
  if (db_.server_) {
    std::string error;
    std::string name;
    if (db_.server_->Prepare(sql_, name, error))
      serverName_ = std::move(name);
    else
      db_.Report(error, sql_);
    return;
  }
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

PreparedStatement::~PreparedStatement() {
  sqlite3_finalize(stmt_);
  if (!serverName_.empty() && db_.server_) db_.server_->Deallocate(serverName_);
}

void PreparedStatement::BindServer(int index, std::optional<std::string> value, int format) {
  if (index < 1) return;
  if (params_.size() < static_cast<size_t>(index)) params_.resize(index);
  params_[index - 1] = std::move(value);
  if (format == 0 && formats_.size() < static_cast<size_t>(index)) return;
  if (formats_.size() < static_cast<size_t>(index)) formats_.resize(index, 0);
  formats_[index - 1] = format;
}

PreparedStatement& PreparedStatement::Bind(int index, const ServerArray& array) {
  if (!serverName_.empty()) BindServer(index, array.Binary(), 1);
  if (stmt_) db_.Report("an array can only be bound on a server", sql_);
  return *this;
}

bool PreparedStatement::RunServer(std::shared_ptr<ServerResult>* rows) {
  std::string error;
  if (db_.server_ && db_.server_->RunPrepared(serverName_, params_, rows, error, formats_))
    return true;
  db_.Report(db_.server_ ? error : "no database is open", sql_);
  return false;
}

PreparedStatement& PreparedStatement::Bind(int index, std::int64_t value) {
  if (!serverName_.empty()) BindServer(index, std::to_string(value));
  if (stmt_) sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

PreparedStatement& PreparedStatement::Bind(int index, double value) {
  if (!serverName_.empty()) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    BindServer(index, text);
  }
  if (stmt_) sqlite3_bind_double(stmt_, index, value);
  return *this;
}

PreparedStatement& PreparedStatement::Bind(int index, std::string_view text) {
  if (!serverName_.empty()) BindServer(index, std::string(text));
  if (stmt_)
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

bool PreparedStatement::Run() {
  if (!serverName_.empty()) {
    const bool ok = RunServer(nullptr);
    Reset();
    return ok;
  }
  if (!stmt_) return false;
  const int rc = sqlite3_step(stmt_);
  const bool ok = rc == SQLITE_DONE || rc == SQLITE_ROW;
  if (!ok) db_.Report(sqlite3_errmsg(db_.db_), sql_);
  Reset();
  return ok;
}

bool PreparedStatement::Step() {
  if (!serverName_.empty()) {
    if (!active_) {
      active_ = true;
      rows_.reset();
      row_ = -1;
      if (!RunServer(&rows_)) {
        Reset();
        return false;
      }
    }
    if (rows_ && row_ + 1 < rows_->Rows()) {
      ++row_;
      return true;
    }
    Reset();
    return false;
  }
  if (!stmt_) return false;
  active_ = true;
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) db_.Report(sqlite3_errmsg(db_.db_), sql_);
  Reset();
  return false;
}

PreparedStatement& PreparedStatement::BindNull(int index) {
  if (!serverName_.empty()) BindServer(index, std::nullopt);
  if (stmt_) sqlite3_bind_null(stmt_, index);
  return *this;
}

bool PreparedStatement::IsNull(int column) const {
  if (rows_)
    return row_ < 0 || row_ >= rows_->Rows() || column < 0 || column >= rows_->Columns() ||
           rows_->IsNull(row_, column);
  return !stmt_ || sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::int64_t PreparedStatement::Int(int column) const {
  if (rows_) {
    const std::string_view text = Text(column);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && end == text.data() + text.size()) return value;
    const double real = Real(column);
    return real == real ? static_cast<std::int64_t>(real) : 0;
  }
  return stmt_ ? sqlite3_column_int64(stmt_, column) : 0;
}

double PreparedStatement::Real(int column) const {
  if (rows_) {
    const std::string_view text = Text(column);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && end == text.data() + text.size()) return value;
    return text.empty() ? 0 : std::strtod(std::string(text).c_str(), nullptr);
  }
  return stmt_ ? sqlite3_column_double(stmt_, column) : 0.0;
}

std::string_view PreparedStatement::Text(int column) const {
  if (rows_) {
    if (row_ < 0 || row_ >= rows_->Rows() || column < 0 || column >= rows_->Columns() ||
        rows_->IsNull(row_, column))
      return {};
    return rows_->Text(row_, column);
  }
  if (!stmt_) return {};
  const void* bytes = sqlite3_column_blob(stmt_, column);
  const int n = sqlite3_column_bytes(stmt_, column);
  if (!bytes || n <= 0) return {};
  return std::string_view(static_cast<const char*>(bytes), static_cast<size_t>(n));
}

bool PreparedStatement::IsReal(int column) const {
  if (rows_) return !IsNull(column) && rows_->IsReal(column);
  return stmt_ && sqlite3_column_type(stmt_, column) == SQLITE_FLOAT;
}

void PreparedStatement::Reset() {
  if (!serverName_.empty()) {
    rows_.reset();
    row_ = -1;
    params_.clear();
    formats_.clear();
    active_ = false;
    return;
  }
  if (!stmt_) return;
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  active_ = false;
}

}  // namespace tarne
