#include "db/server_rows.h"

#include <algorithm>
#include <cstdio>

#include "db/gateway.h"
#include "db/prepared_statement.h"

namespace tarne {

void ServerArray::Next() {
  text_ += size_ == 0 ? '{' : ',';
  ++size_;
}

void ServerArray::Add(std::int64_t value) {
  Next();
  text_ += std::to_string(value);
}

void ServerArray::Add(std::optional<double> value) {
  Next();
  if (!value) {
    text_ += "NULL";
    return;
  }
  // 17 significant digits name every double exactly.
  char number[40];
  std::snprintf(number, sizeof number, "%.17g", *value);
  text_ += number;
}

void ServerArray::Add(std::string_view text) {
  Next();
  // Inside double quotes only '"' and '\' need a backslash; a quoted
  // element is never read as NULL, whatever it holds.
  text_ += '"';
  for (char c : text) {
    if (c == '"' || c == '\\') text_ += '\\';
    text_ += c;
  }
  text_ += '"';
}

ServerRowids::ServerRowids(Database& db, const std::string& table) : table_(table), db_(db) {}

ServerRowids::~ServerRowids() = default;

std::vector<std::int64_t> ServerRowids::Take(size_t count) {
  std::vector<std::int64_t> ids;
  if (count == 0) return ids;
  if (!next_)
    next_ = std::make_unique<PreparedStatement>(
        db_, "SELECT nextval(pg_get_serial_sequence(?, 'rowid')) FROM generate_series(1, ?)");
  next_->Bind(1, table_).Bind(2, static_cast<std::int64_t>(count));
  ids.reserve(count);
  while (next_->Step()) ids.push_back(next_->Int(0));
  if (ids.size() != count) ids.clear();
  // A sequence hands out rising numbers; sorted all the same, so that rows
  // numbered in the order they are listed stay in that order.
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace tarne
