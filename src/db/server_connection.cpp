#include "db/server_connection.h"
#include "db/libpq_library.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tarne {

namespace {

bool IsWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The statement's first words, lower-cased, for the rewrites that concern
// a whole statement.
std::vector<std::string> LeadingWords(std::string_view sql, size_t count) {
  std::vector<std::string> words;
  size_t i = 0;
  while (words.size() < count) {
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
    const size_t start = i;
    while (i < sql.size() && IsWordChar(sql[i])) ++i;
    if (i == start) break;
    words.push_back(Lower(sql.substr(start, i - start)));
  }
  return words;
}

// Whether an INSERT leaves its row ids to the table and lists its values
// (INSERT ... (columns) VALUES): the INSERTs whose row id a caller may ask
// for.  One that numbers its rows or takes them from a query answers none.
bool GivesRowid(std::string_view insert) {
  const size_t open = insert.find('(');
  if (open == std::string_view::npos) return false;
  const std::vector<std::string> first = LeadingWords(insert.substr(open + 1), 1);
  if (!first.empty() && first[0] == "rowid") return false;
  const size_t close = insert.find(')', open);
  const std::vector<std::string> next =
      close == std::string_view::npos ? std::vector<std::string>{}
                                      : LeadingWords(insert.substr(close + 1), 1);
  return !next.empty() && next[0] == "values";
}

bool IsKindFlag(const std::string& word) {
  return word == "isword" || word == "isphrase" || word == "isarg";
}

void Discard(PGresult* result) { PQclear(result); }

std::string ErrorText(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text.empty() ? "the server gave no answer" : text;
}

void IgnoreNotice(void*, const char*) {}

}  // namespace

ServerResult::ServerResult(pg_result* result) : result_(result) {}
ServerResult::~ServerResult() { PQclear(result_); }
int ServerResult::Rows() const { return PQntuples(result_); }
int ServerResult::Columns() const { return PQnfields(result_); }
bool ServerResult::IsNull(int row, int column) const {
  return PQgetisnull(result_, row, column) != 0;
}
bool ServerResult::IsReal(int column) const {
  constexpr Oid kFloat8 = 701;
  return PQftype(result_, column) == kFloat8;
}
std::string_view ServerResult::Text(int row, int column) const {
  constexpr Oid kBool = 16;
  if (PQftype(result_, column) == kBool) return *PQgetvalue(result_, row, column) == 't' ? "1" : "0";
  return std::string_view(PQgetvalue(result_, row, column),
                          static_cast<size_t>(PQgetlength(result_, row, column)));
}

std::string ServerSql(std::string_view sql) {
  const std::vector<std::string> lead = LeadingWords(sql, 3);
  if (lead.size() == 2 && lead[0] == "begin" && lead[1] == "immediate") return "BEGIN";
  if (lead.size() == 2 && lead[0] == "pragma" && lead[1] == "data_version") return "SELECT 0";

  std::string out;
  out.reserve(sql.size() + 32);
  int parameter = 0;
  const size_t n = sql.size();
  for (size_t i = 0; i < n;) {
    const char c = sql[i];
    if (c == '$' && i + 1 < n && sql[i + 1] == '$') {
      // A function body between $$ marks, as it stands.
      const size_t end = sql.find("$$", i + 2);
      const size_t j = end == std::string_view::npos ? n : end + 2;
      out.append(sql.substr(i, j - i));
      i = j;
    } else if (c == '\'' || c == '"') {
      // A quoted text or name, its doubled quotes included, as it stands.
      size_t j = i + 1;
      for (; j < n; ++j) {
        if (sql[j] != c) continue;
        if (j + 1 < n && sql[j + 1] == c) {
          ++j;
          continue;
        }
        break;
      }
      j = j < n ? j + 1 : n;
      out.append(sql.substr(i, j - i));
      i = j;
    } else if (c == '?') {
      // "?" takes the next number, "?N" names its own.
      size_t j = i + 1;
      while (j < n && IsDigit(sql[j])) ++j;
      if (j > i + 1) {
        out += "$";
        out.append(sql.substr(i + 1, j - i - 1));
        parameter = std::max(parameter, std::atoi(std::string(sql.substr(i + 1, j - i - 1)).c_str()));
      } else {
        out += '$';
        out += std::to_string(++parameter);
      }
      i = j;
    } else if (IsWordStart(c)) {
      size_t j = i;
      while (j < n && IsWordChar(sql[j])) ++j;
      const std::string_view word = sql.substr(i, j - i);
      out.append(word);
      if (IsKindFlag(Lower(word))) {
        // A flag standing alone between parentheses is a condition.
        size_t before = out.size() - word.size();
        while (before > 0 && out[before - 1] == ' ') --before;
        size_t after = j;
        while (after < n && sql[after] == ' ') ++after;
        if (before > 0 && out[before - 1] == '(' && after < n && sql[after] == ')') out += "<>0";
      }
      i = j;
    } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(sql[i + 1]))) {
      size_t j = i;
      bool real = false;
      while (j < n && IsDigit(sql[j])) ++j;
      if (j < n && sql[j] == '.' && !(j + 1 < n && sql[j + 1] == '.')) {
        real = true;
        ++j;
        while (j < n && IsDigit(sql[j])) ++j;
      }
      if (j + 1 < n && (sql[j] == 'e' || sql[j] == 'E') &&
          (IsDigit(sql[j + 1]) ||
           ((sql[j + 1] == '+' || sql[j + 1] == '-') && j + 2 < n && IsDigit(sql[j + 2])))) {
        real = true;
        j += 2;
        while (j < n && IsDigit(sql[j])) ++j;
      }
      out.append(sql.substr(i, j - i));
      if (real) out += "::float8";
      i = j;
    } else {
      out += c;
      ++i;
    }
  }
  if (lead.size() == 3 && lead[0] == "insert" && lead[1] == "into" &&
      (lead[2] == "run1" || lead[2] == "stem" || lead[2] == "calib") && GivesRowid(out))
    out += " RETURNING rowid";
  return out;
}

std::string ServerConnectionProblem(const std::string& connection) {
  if (connection.find_first_not_of(" \t") == std::string::npos)
    return "You need to specify the database server (host=... dbname=... user=...)";
  if (const std::string& problem = LibpqProblem(); !problem.empty()) return problem;
  char* message = nullptr;
  PQconninfoOption* options = PQconninfoParse(connection.c_str(), &message);
  if (!options) {
    std::string problem = "The database server cannot be read: " + ErrorText(message);
    PQfreemem(message);
    return problem;
  }
  bool password = false;
  for (PQconninfoOption* o = options; o->keyword; ++o)
    if (std::string_view(o->keyword) == "password" && o->val && *o->val) password = true;
  PQconninfoFree(options);
  if (password)
    return "A password is never kept in the project file: leave it out of the server's "
           "connection and give it in ~/.pgpass, in PGPASSWORD or when asked";
  return {};
}

std::string QuoteIdentifier(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

ServerConnection::~ServerConnection() {
  Drain();
  if (notDurable_ && PQstatus(conn_) == CONNECTION_OK) {
    // The last commits did not wait for the server's disk.  A transaction
    // that writes to the server's log and waits for it, as commits do by
    // default, takes them along: the log reaches the disk in order.  A
    // transaction left open is given up first, as the connection's end
    // would.  Nothing is reported: the commits are in the server already.
    if (PQtransactionStatus(conn_) != PQTRANS_IDLE) Discard(PQexec(conn_, "ROLLBACK"));
    Discard(PQexec(conn_, "SELECT pg_logical_emit_message(true, 'tarne', 'durable')"));
  }
  PQfinish(conn_);
}

std::unique_ptr<ServerConnection> ServerConnection::Connect(const std::string& connection,
                                                             const PasswordPrompt& prompt,
                                                             std::string& error) {
  if (const std::string& problem = LibpqProblem(); !problem.empty()) {
    error = problem;
    return nullptr;
  }
  // The connection text is expanded as libpq's own "key=value" list; a
  // password asked for is handed over beside it, never written into it.
  auto open = [&connection](const std::string* password) {
    const char* keys[] = {"dbname", "fallback_application_name", password ? "password" : nullptr,
                          nullptr};
    const char* values[] = {connection.c_str(), "tarne", password ? password->c_str() : nullptr,
                            nullptr};
    return PQconnectdbParams(keys, values, 1);
  };
  PGconn* conn = open(nullptr);
  if (conn && PQstatus(conn) == CONNECTION_BAD && PQconnectionNeedsPassword(conn) && prompt) {
    const std::string password = prompt(connection);
    if (!password.empty()) {
      PQfinish(conn);
      conn = open(&password);
    }
  }
  if (!conn || PQstatus(conn) != CONNECTION_OK) {
    error = ErrorText(conn ? PQerrorMessage(conn) : "out of memory");
    PQfinish(conn);
    return nullptr;
  }
  PQsetNoticeProcessor(conn, IgnoreNotice, nullptr);
  std::unique_ptr<ServerConnection> server(new ServerConnection(conn));
  // Texts travel as the bytes Tarne holds: a database kept as SQL_ASCII
  // takes any bytes, any other one takes UTF-8.  Reals come back in their
  // shortest exact form.
  const char* encoding = PQparameterStatus(conn, "server_encoding");
  const std::string client =
      encoding && std::string(encoding) == "SQL_ASCII" ? "SQL_ASCII" : "UTF8";
  if (!server->Run("SET client_encoding TO '" + client +
                       "'; SET extra_float_digits TO 3; SET client_min_messages TO warning",
                   {}, nullptr, error))
    return nullptr;
  return server;
}

bool ServerConnection::UseSchema(const std::string& schema, std::string& error) {
  std::shared_ptr<ServerResult> rows;
  if (!Run("SELECT 1 FROM pg_namespace WHERE nspname=$1", {schema}, &rows, error)) return false;
  if (rows->Rows() == 0) {
    error = "the server holds no project " + schema;
    return false;
  }
  // pg_catalog after the project, so that its log() (the natural
  // logarithm) and its "/" (NULL for a division by zero) come first.
  return Run("SET search_path TO " + QuoteIdentifier(schema) + ", pg_catalog", {}, nullptr, error);
}

bool ServerConnection::Finish(PGresult* result, std::shared_ptr<ServerResult>* rows,
                              std::string& error) {
  failedAfterAnother_ = false;
  const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK) {
    // A COMMIT of a transaction a failed statement spoilt undoes it instead.
    const char* command = PQcmdStatus(result);
    const bool undone = expectCommit_ && command && std::string_view(command) == "ROLLBACK";
    Discard(result);
    if (undone) error = "the transaction failed and was rolled back";
    if (expectCommit_ && !undone) notDurable_ = false;
    failedAfterAnother_ = undone;
    return !undone;
  }
  if (status != PGRES_TUPLES_OK) {
    error = ErrorText(result ? PQresultErrorMessage(result) : PQerrorMessage(conn_));
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    // in_failed_sql_transaction: not run because an earlier statement failed.
    failedAfterAnother_ = state && std::string_view(state) == "25P02";
    Discard(result);
    return false;
  }
  const char* command = PQcmdStatus(result);
  if (command && std::string_view(command).starts_with("INSERT")) {
    if (PQntuples(result) > 0) lastInsert_ = std::strtoll(PQgetvalue(result, 0, 0), nullptr, 10);
    Discard(result);
    return true;
  }
  if (rows)
    *rows = std::make_shared<ServerResult>(result);
  else
    Discard(result);
  return true;
}

namespace {

std::vector<const char*> Values(const ServerConnection::Params& params,
                                std::vector<int>& lengths) {
  std::vector<const char*> values;
  values.reserve(params.size());
  lengths.clear();
  for (const std::optional<std::string>& p : params) {
    values.push_back(p ? p->c_str() : nullptr);
    lengths.push_back(p ? static_cast<int>(p->size()) : 0);
  }
  return values;
}

// formats as libpq takes them: one per parameter, or none for all text.
std::vector<int> FormatList(const ServerConnection::Formats& formats, size_t params) {
  if (formats.empty()) return {};
  std::vector<int> list(formats.begin(), formats.end());
  list.resize(params, 0);
  return list;
}

}  // namespace

bool ServerConnection::Run(const std::string& sql, const Params& params,
                           std::shared_ptr<ServerResult>* rows, std::string& error) {
  Drain();
  const std::string text = ServerSql(sql);
  const std::vector<std::string> lead = LeadingWords(text, 1);
  expectCommit_ = lead.size() == 1 && (lead[0] == "commit" || lead[0] == "end");
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{expectCommit_};
  if (params.empty()) {
    // Several statements may share one text here (the schema is made so).
    PGresult* result = PQexec(conn_, text.c_str());
    // Only the last result comes back; an earlier failure stops the rest.
    return Finish(result, rows, error);
  }
  std::vector<int> lengths;
  const std::vector<const char*> values = Values(params, lengths);
  PGresult* result = PQexecParams(conn_, text.c_str(), static_cast<int>(params.size()), nullptr,
                                  values.data(), lengths.data(), nullptr, 0);
  return Finish(result, rows, error);
}

bool ServerConnection::Prepare(const std::string& sql, std::string& name, std::string& error) {
  Drain();
  name = "tarne_" + std::to_string(++prepared_);
  std::string text = ServerSql(sql);
  const std::vector<std::string> lead = LeadingWords(text, 3);
  const std::string returning = " RETURNING rowid";
  const size_t open = text.find('(');
  const size_t values = Lower(text).find("values");
  const size_t valuesOpen = values == std::string::npos ? values : text.find('(', values);
  const std::vector<std::string> firstColumn =
      open == std::string::npos ? std::vector<std::string>{}
                                : LeadingWords(std::string_view(text).substr(open + 1), 1);
  const bool ownIds = !firstColumn.empty() && firstColumn[0] == "rowid";
  if (lead.size() == 3 && lead[0] == "insert" && !ownIds &&
      text.ends_with(returning) && text.find('$') != std::string::npos &&
      open != std::string::npos && valuesOpen != std::string::npos && open < values) {
    // The INSERT gets its row id as one more parameter (see Numbered).
    int parameters = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i)
      if (text[i] == '$' && IsDigit(text[i + 1]))
        parameters = std::max(parameters, std::atoi(text.c_str() + i + 1));
    const int id = parameters + 1;
    text.resize(text.size() - returning.size());
    text.insert(valuesOpen + 1, '$' + std::to_string(id) + ", ");
    text.insert(open + 1, "rowid, ");
    numbered_[name] = {lead[2], id};
  }
  PGresult* result = PQprepare(conn_, name.c_str(), text.c_str(), 0, nullptr);
  return Finish(result, nullptr, error);
}

bool ServerConnection::Reserve(const std::string& table, std::string& error) {
  std::shared_ptr<ServerResult> ids;
  if (!Run("SELECT nextval(pg_get_serial_sequence($1, 'rowid')) FROM generate_series(1, 512)",
           {table}, &ids, error))
    return false;
  Reserved& r = reserved_[table];
  r.ids.clear();
  r.next = 0;
  for (int i = 0; ids && i < ids->Rows(); ++i)
    r.ids.push_back(std::strtoll(std::string(ids->Text(i, 0)).c_str(), nullptr, 10));
  return !r.ids.empty();
}

bool ServerConnection::SendAhead(const std::string& name, const Params& params,
                                 const Formats& formats, std::string& error) {
  if (PQpipelineStatus(conn_) == PQ_PIPELINE_OFF && !PQenterPipelineMode(conn_)) {
    error = ErrorText(PQerrorMessage(conn_));
    return false;
  }
  std::vector<int> lengths;
  const std::vector<const char*> values = Values(params, lengths);
  const std::vector<int> format = FormatList(formats, params.size());
  if (!PQsendQueryPrepared(conn_, name.c_str(), static_cast<int>(params.size()), values.data(),
                           lengths.data(), format.empty() ? nullptr : format.data(), 0)) {
    error = ErrorText(PQerrorMessage(conn_));
    Drain();
    return false;
  }
  // The answers wait in the server's buffer meanwhile; a few hundred of
  // them stay far below what it holds without blocking.
  if (++ahead_ >= 256) Drain();
  return true;
}

void ServerConnection::Drain() {
  if (PQpipelineStatus(conn_) == PQ_PIPELINE_OFF) return;
  std::string first;
  if (PQpipelineSync(conn_)) {
    int ended = 0;  // queries whose results have all been read
    for (;;) {
      PGresult* result = PQgetResult(conn_);
      if (!result) {
        if (PQstatus(conn_) == CONNECTION_BAD || ++ended > ahead_) break;
        continue;
      }
      const ExecStatusType status = PQresultStatus(result);
      if (status == PGRES_FATAL_ERROR && first.empty())
        first = ErrorText(PQresultErrorMessage(result));
      PQclear(result);
      if (status == PGRES_PIPELINE_SYNC) break;
    }
  } else {
    first = ErrorText(PQerrorMessage(conn_));
  }
  PQexitPipelineMode(conn_);
  ahead_ = 0;
  failedAfterAnother_ = false;
  if (!first.empty() && lateError_) lateError_(first);
}

bool ServerConnection::RunPrepared(const std::string& name, const Params& params,
                                   std::shared_ptr<ServerResult>* rows, std::string& error,
                                   const Formats& formats) {
  if (const auto numbered = numbered_.find(name); numbered != numbered_.end()) {
    Reserved& r = reserved_[numbered->second.table];
    if (r.next >= r.ids.size() && !Reserve(numbered->second.table, error)) return false;
    lastInsert_ = r.ids[r.next++];
    Params with = params;
    with.resize(std::max<size_t>(with.size(), static_cast<size_t>(numbered->second.parameter)));
    with[static_cast<size_t>(numbered->second.parameter) - 1] = std::to_string(lastInsert_);
    return SendAhead(name, with, formats, error);
  }
  if (!rows) return SendAhead(name, params, formats, error);
  Drain();
  std::vector<int> lengths;
  const std::vector<const char*> values = Values(params, lengths);
  const std::vector<int> format = FormatList(formats, params.size());
  PGresult* result =
      PQexecPrepared(conn_, name.c_str(), static_cast<int>(params.size()), values.data(),
                     lengths.data(), format.empty() ? nullptr : format.data(), 0);
  return Finish(result, rows, error);
}

void ServerConnection::Deallocate(const std::string& name) {
  // Inside a failed transaction the server takes no statement at all; the
  // name then goes with the connection.
  Drain();
  if (PQtransactionStatus(conn_) == PQTRANS_INERROR) return;
  PQclear(PQexec(conn_, ("DEALLOCATE " + name).c_str()));
}

bool ServerConnection::CommitInterim(std::string& error) {
  if (!Run("SET LOCAL synchronous_commit TO off", {}, nullptr, error) ||
      !Run("COMMIT", {}, nullptr, error))
    return false;
  notDurable_ = true;
  return true;
}

bool ServerConnection::InTransaction() {
  Drain();
  const PGTransactionStatusType status = PQtransactionStatus(conn_);
  return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

}  // namespace tarne
