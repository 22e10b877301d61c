#include "db/gateway.h"
#include "db/engine_setup.h"
#include "db/server_connection.h"
#include "db/sql_functions.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <system_error>
#include <vector>

namespace tarne {

namespace {

constexpr int kBusyTimeoutMs = 5000;

// A C-style truncation toward zero that stays defined for NaN and for reals
// beyond the 64-bit range.
std::int64_t TruncateToInt64(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
  if (d <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(d);
}

// fed(rowid, column): the value the running ExecFed's source holds.
void FedFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  FedValues* values = *static_cast<FedValues**>(sqlite3_user_data(context));
  const std::optional<double> value =
      values ? values->Value(sqlite3_value_int64(argv[0]), sqlite3_value_int(argv[1]))
             : std::nullopt;
  if (value)
    sqlite3_result_double(context, *value);
  else
    sqlite3_result_null(context);
}

std::int64_t ValueAsInt64(sqlite3_value* v) {
  if (!v) return 0;
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      return 0;
    case SQLITE_INTEGER:
      return sqlite3_value_int64(v);
    default:
      // Sums over REAL columns and numeric texts: their integer part.
      return TruncateToInt64(sqlite3_value_double(v));
  }
}

// A server's text form of a number, as the file engine would read the value.
double ServerReal(std::string_view text) {
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc() && end == text.data() + text.size()) return value;
  // "Infinity", "-Infinity", "NaN" and anything unusual.
  return text.empty() ? 0 : std::strtod(std::string(text).c_str(), nullptr);
}

// A real as the file engine gives it as text: 15 significant digits, and
// a whole number with ".0".
std::string RealText(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", value);
  std::string out = text;
  if (out.find_first_of(".ein") != std::string::npos) {
    if (const size_t e = out.find('e'); e != std::string::npos && out.find('.') == std::string::npos)
      out.insert(e, ".0");
    return out;
  }
  return out + ".0";
}

std::int64_t ServerInt(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc() && end == text.data() + text.size()) return value;
  return TruncateToInt64(ServerReal(text));
}

}  // namespace

// One statement number's result set.  The current row is copied out of the
// engine so that the statement can already be stepped to the next row: a
// result read to its end (a single-row sum, the last calib row) is then
// finalised at once instead of holding a read transaction open until the
// number is reused.
struct Database::Cursor {
  sqlite3_stmt* stmt = nullptr;
  bool pending = false;            // stmt has stepped onto a row not yet fetched
  int remaining = -1;              // rows this result may still give; -1 no limit
  int limit = 0;                   // StatementMode for later SELECTs; 0 no limit
  std::vector<sqlite3_value*> row;  // the current row
  bool hasRow = false;
  std::string sql;
  // A server's result, read whole; serverRow is the current row.
  std::shared_ptr<ServerResult> result;
  int serverRow = -1;

  void ClearRow() {
    for (sqlite3_value* v : row) sqlite3_value_free(v);
    row.clear();
    hasRow = false;
  }
  void Finish() {
    if (stmt) sqlite3_finalize(stmt);
    stmt = nullptr;
    pending = false;
    result.reset();
    serverRow = -1;
  }
  // The server's text of column (from 1) in the current row; nullopt for
  // NULL or no such column.
  std::optional<std::string_view> ServerColumn(int column) const {
    if (!hasRow || !result || column < 1 || column > result->Columns() ||
        result->IsNull(serverRow, column - 1))
      return std::nullopt;
    return result->Text(serverRow, column - 1);
  }
  void Release() {
    ClearRow();
    Finish();
    sql.clear();
  }
  sqlite3_value* Column(int column) const {
    if (!hasRow || column < 1 || column > static_cast<int>(row.size())) return nullptr;
    return row[column - 1];
  }
};

Database::Database() : cursors_(new Cursor[3]) {}

Database::~Database() { Close(); }

Database::Cursor& Database::CursorFor(int stmt) const {
  // Number 0 is never used by the program; it stands in for any number that
  // is not 1 or 2 and so never holds a result.
  if (stmt == 1 || stmt == 2) return cursors_[stmt];
  cursors_[0].Release();
  return cursors_[0];
}

void Database::Report(const std::string& engineMessage, const std::string& sql) {
  ++failures_;
  // On a server, every statement after a failed one of a transaction fails
  // too, saying only that; the user is told what went wrong first.
  if (!(server_ && server_->FailedAfterAnother()) || lastError_.empty())
    lastError_ = engineMessage;
  if (sink_) sink_("Database error: " + engineMessage + " in: " + sql);
}

bool Database::OpenWithFlags(const std::string& path, int flags) {
  Close();
  SetUpEngine();
  sqlite3* handle = nullptr;
  // A connection is used by one thread at a time (a training run's writer
  // has it only while the reading thread waits off it), so the engine's own
  // per-call locking buys nothing and costs a share of every row read.
  int rc = sqlite3_open_v2(path.c_str(), &handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    Report(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc), "open " + path);
    sqlite3_close_v2(handle);
    return false;
  }
  sqlite3_busy_timeout(handle, kBusyTimeoutMs);
  RegisterSqlFunctions(handle);
  sqlite3_create_function_v2(handle, "fed", 2, SQLITE_UTF8, &fed_, &FedFunction, nullptr, nullptr,
                             nullptr);
  // Reading the schema is what finds out that a file is no database at all;
  // the open itself succeeds on any file.  A 64 MB page cache holds the
  // vocabulary indexes of a large project, which a training run touches all
  // over; reading through a memory map of up to 256 MB spares a copy of
  // every page when a run reads a whole vocabulary.  A new database gets
  // 16 KB pages: a training batch touches rows all over a large table, and
  // a quarter as many pages means a quarter as many page writes and
  // shallower indexes.  The size must be set before WAL mode is; it is
  // ignored for a database that already exists.
  const char* setup =
      "PRAGMA page_size=16384; PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA cache_size=-65536; PRAGMA mmap_size=268435456; "
      "SELECT count(*) FROM sqlite_master;";
  char* error = nullptr;
  rc = sqlite3_exec(handle, setup, nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    Report(error ? error : sqlite3_errmsg(handle), "open " + path);
    sqlite3_free(error);
    sqlite3_close_v2(handle);
    return false;
  }
  db_ = handle;
  path_ = path;
  return true;
}

bool Database::OpenFile(const std::string& path) {
  return OpenWithFlags(path, SQLITE_OPEN_READWRITE);
}

bool Database::CreateNewFile(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
    Close();
    Report("file already exists", "create " + path);
    return false;
  }
  return OpenWithFlags(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

bool Database::ConnectServer(const std::string& connection) {
  Close();
  std::string error;
  server_ = ServerConnection::Connect(connection, passwordPrompt_, error);
  if (!server_) {
    Report(error, "connect " + connection);
    return false;
  }
  server_->SetLateErrorSink(
      [this](const std::string& message) { Report(message, "(statements sent ahead)"); });
  SetBusyTimeout(kBusyTimeoutMs);
  return server_ != nullptr;
}

bool Database::OpenServer(const std::string& connection, const std::string& schema) {
  if (!ConnectServer(connection)) return false;
  std::string error;
  if (!server_->UseSchema(schema, error)) {
    Report(error, "open " + schema);
    Close();
    return false;
  }
  schema_ = schema;
  return true;
}

void Database::Close() {
  for (int i = 0; i < 3; ++i) cursors_[i].Release();
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
  server_.reset();
  schema_.clear();
  path_.clear();
}

void Database::Statement(int stmt, const std::string& sql) {
  if (stmt != 1 && stmt != 2) {
    Report("no statement number " + std::to_string(stmt), sql);
    return;
  }
  Cursor& c = CursorFor(stmt);
  c.Release();
  if (server_) {
    std::shared_ptr<ServerResult> rows;
    std::string error;
    if (!server_->Run(sql, {}, &rows, error)) {
      Report(error, sql);
      return;
    }
    if (rows && rows->Rows() > 0) {
      c.result = std::move(rows);
      c.remaining = c.limit > 0 ? c.limit : -1;
      c.sql = sql;
    }
    return;
  }
  if (!db_) {
    Report("no database is open", sql);
    return;
  }
  sqlite3_stmt* handle = nullptr;
  // Only the first statement of the text runs; the program never sends more.
  int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &handle, nullptr);
  if (rc != SQLITE_OK) {
    Report(sqlite3_errmsg(db_), sql);
    sqlite3_finalize(handle);
    return;
  }
  if (!handle) return;  // only blanks or comments
  rc = sqlite3_step(handle);
  if (rc == SQLITE_ROW) {
    c.stmt = handle;
    c.pending = true;
    c.remaining = c.limit > 0 ? c.limit : -1;
    c.sql = sql;
    return;
  }
  if (rc != SQLITE_DONE) Report(sqlite3_errmsg(db_), sql);
  sqlite3_finalize(handle);
}

void Database::FetchResult(int stmt, int) {
  Cursor& c = CursorFor(stmt);
  c.ClearRow();
  if (c.result) {
    if (c.remaining == 0 || c.serverRow + 1 >= c.result->Rows()) {
      c.Finish();
      return;
    }
    ++c.serverRow;
    c.hasRow = true;
    if (c.remaining > 0) --c.remaining;
    return;
  }
  if (!c.stmt || !c.pending || c.remaining == 0) {
    c.Finish();
    return;
  }
  int columns = sqlite3_column_count(c.stmt);
  c.row.reserve(columns);
  for (int i = 0; i < columns; ++i) c.row.push_back(sqlite3_value_dup(sqlite3_column_value(c.stmt, i)));
  c.hasRow = true;
  c.pending = false;
  if (c.remaining > 0 && --c.remaining == 0) {
    c.Finish();
    return;
  }
  int rc = sqlite3_step(c.stmt);
  if (rc == SQLITE_ROW) {
    c.pending = true;
  } else {
    // The row just fetched stays readable; the next fetch ends the result.
    if (rc != SQLITE_DONE) Report(sqlite3_errmsg(db_), c.sql);
    c.Finish();
  }
}

int Database::EndOfData(int stmt) const { return CursorFor(stmt).hasRow ? 0 : -1; }

bool Database::ExecFed(const std::string& sql, FedValues& values) {
  if (server_) {
    Report("the server has no fed(); write the rows with bound values", sql);
    return false;
  }
  fed_ = &values;
  const bool ok = Exec(sql);
  fed_ = nullptr;
  return ok;
}

std::uint32_t RealAsUInt(double value) {
  return static_cast<std::uint32_t>(TruncateToInt64(value));
}

std::uint32_t Database::ColumnUInt(int stmt, int column) const {
  if (const Cursor& c = CursorFor(stmt); c.result)
    return static_cast<std::uint32_t>(ServerInt(c.ServerColumn(column).value_or("")));
  return static_cast<std::uint32_t>(ValueAsInt64(CursorFor(stmt).Column(column)));
}

std::int32_t Database::ColumnSInt(int stmt, int column) const {
  if (const Cursor& c = CursorFor(stmt); c.result)
    return static_cast<std::int32_t>(ServerInt(c.ServerColumn(column).value_or("")));
  return static_cast<std::int32_t>(ValueAsInt64(CursorFor(stmt).Column(column)));
}

double Database::ColumnFloat(int stmt, int column) const {
  if (const Cursor& c = CursorFor(stmt); c.result)
    return ServerReal(c.ServerColumn(column).value_or(""));
  sqlite3_value* v = CursorFor(stmt).Column(column);
  return v ? sqlite3_value_double(v) : 0.0;
}

std::string Database::ColumnText(int stmt, int column) const {
  if (const Cursor& c = CursorFor(stmt); c.result) {
    const std::optional<std::string_view> text = c.ServerColumn(column);
    if (!text) return {};
    if (c.result->IsReal(column - 1)) return RealText(ServerReal(*text));
    return std::string(*text);
  }
  sqlite3_value* v = CursorFor(stmt).Column(column);
  if (!v) return {};
  const void* bytes = nullptr;
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      return {};
    case SQLITE_TEXT:
    case SQLITE_BLOB:
      // As stored, embedded NULs and all: no re-encoding of the bytes.
      bytes = sqlite3_value_blob(v);
      break;
    default:
      bytes = sqlite3_value_text(v);
      break;
  }
  int n = sqlite3_value_bytes(v);
  if (!bytes || n <= 0) return {};
  return std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(n));
}

void Database::StatementMode(int stmt, int rows) {
  if (stmt != 1 && stmt != 2) return;
  CursorFor(stmt).limit = rows > 0 ? rows : 0;
}

void Database::SetOptionSInt(int, int) {}

void Database::SetBusyTimeout(int milliseconds) {
  // On a server: a lock on a table or row that another connection (not a
  // Tarne run, which keeps to the project's run lock) holds.
  if (server_) Exec("SET lock_timeout = " + std::to_string(std::max(milliseconds, 1)));
  if (db_) sqlite3_busy_timeout(db_, milliseconds);
}

bool Database::Exec(const std::string& sql) {
  if (server_) {
    std::string error;
    if (server_->Run(sql, {}, nullptr, error)) return true;
    Report(error, sql);
    return false;
  }
  if (!db_) {
    Report("no database is open", sql);
    return false;
  }
  char* error = nullptr;
  int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    Report(error ? error : sqlite3_errmsg(db_), sql);
    sqlite3_free(error);
    return false;
  }
  return true;
}

std::int64_t Database::LastInsertRowid() const {
  if (server_) return server_->LastInsertRowid();
  return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

bool Database::Begin() { return Exec("BEGIN IMMEDIATE"); }
bool Database::Commit() { return Exec("COMMIT"); }
bool Database::CommitInterim() {
  if (!server_) return Commit();
  std::string error;
  if (server_->CommitInterim(error)) return true;
  Report(error, "COMMIT");
  return false;
}
bool Database::Rollback() { return Exec("ROLLBACK"); }

void Database::AwaitAnswers() {
  if (server_) server_->Drain();
}

bool Database::InTransaction() const {
  if (server_) return server_->InTransaction();
  return db_ && !sqlite3_get_autocommit(db_);
}

bool Database::Vacuum() {
  if (server_) {
    for (int i = 0; i < 3; ++i) cursors_[i].Release();
    // The project's own tables; the rest of the server database is not ours.
    return Exec("VACUUM run1, stem, calib, trainsize");
  }
  if (!db_) {
    Report("no database is open", "VACUUM");
    return false;
  }
  for (int i = 0; i < 3; ++i) cursors_[i].Release();
  if (!Exec("VACUUM")) return false;
  // In WAL mode the compacted pages sit in the log until a checkpoint; move
  // them into the file now so the file itself shrinks.
  sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  return true;
}

bool Database::BackupTo(const std::string& path) {
  const std::string what = "backup to " + path;
  if (server_) {
    Report("a server database is backed up as a schema on the server", what);
    return false;
  }
  if (!db_) {
    Report("no database is open", what);
    return false;
  }
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
    Report("file already exists", what);
    return false;
  }
  SetUpEngine();
  sqlite3* target = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                           nullptr);
  std::string error;
  if (rc == SQLITE_OK) {
    // One step over all pages under one read lock: a consistent snapshot even
    // while result sets are open on this connection.
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", db_, "main");
    if (!backup) {
      error = sqlite3_errmsg(target);
    } else {
      rc = sqlite3_backup_step(backup, -1);
      if (rc != SQLITE_DONE) error = sqlite3_errstr(rc);
      rc = sqlite3_backup_finish(backup);
      if (error.empty() && rc != SQLITE_OK) error = sqlite3_errmsg(target);
    }
  } else {
    error = target ? sqlite3_errmsg(target) : sqlite3_errstr(rc);
  }
  rc = sqlite3_close_v2(target);
  if (error.empty() && rc != SQLITE_OK) error = sqlite3_errstr(rc);
  if (!error.empty()) {
    Report(error, what);
    std::filesystem::remove(path, ec);
    std::filesystem::remove(path + "-journal", ec);
    return false;
  }
  return true;
}

std::string SqlQuote(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    out += ch;
    if (ch == '\'') out += '\'';
  }
  return out;
}

}  // namespace tarne
