#include "db/server_rows.h"

#include <bit>
#include <cassert>

#include "db/gateway.h"
#include "db/prepared_statement.h"

namespace tarne {

namespace {

// The server's numbers of the element types.
constexpr std::uint32_t kInt8Oid = 20;
constexpr std::uint32_t kTextOid = 25;
constexpr std::uint32_t kFloat8Oid = 701;

// value's bytes, most significant first, as the binary form has them.
void AppendBigEndian(std::string& out, std::uint64_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
    out += static_cast<char>((value >> shift) & 0xff);
}

}  // namespace

void ServerArray::Add(std::int64_t value) {
  assert(type_ == Type::kInt8);
  AppendBigEndian(elements_, 8, 4);
  AppendBigEndian(elements_, static_cast<std::uint64_t>(value), 8);
  ++size_;
}

void ServerArray::Add(std::optional<double> value) {
  assert(type_ == Type::kFloat8);
  ++size_;
  if (!value) {
    AppendBigEndian(elements_, 0xffffffffu, 4);  // length -1: NULL
    nulls_ = true;
    return;
  }
  AppendBigEndian(elements_, 8, 4);
  AppendBigEndian(elements_, std::bit_cast<std::uint64_t>(*value), 8);
}

void ServerArray::Add(std::string_view text) {
  assert(type_ == Type::kText);
  AppendBigEndian(elements_, text.size(), 4);
  elements_.append(text);
  ++size_;
}

std::string ServerArray::Binary() const {
  std::string out;
  out.reserve(20 + elements_.size());
  AppendBigEndian(out, size_ ? 1 : 0, 4);  // dimensions
  AppendBigEndian(out, nulls_ ? 1 : 0, 4);
  AppendBigEndian(out,
                  type_ == Type::kInt8 ? kInt8Oid : type_ == Type::kText ? kTextOid : kFloat8Oid,
                  4);
  if (size_) {
    AppendBigEndian(out, size_, 4);
    AppendBigEndian(out, 1, 4);  // lower bound
  }
  return out + elements_;
}

ServerRowids::ServerRowids(Database& db, const std::string& table) : table_(table), db_(db) {}

ServerRowids::~ServerRowids() = default;

std::vector<std::int64_t> ServerRowids::Take(size_t count) {
  std::vector<std::int64_t> ids;
  if (count == 0) return ids;
  // One block: the next number and the count - 1 after it, the table's
  // numbering moved past them in the same statement.  A row another
  // connection numbered meanwhile from the block (none does while a run
  // holds the project's lock) would clash with ours on the primary key, so
  // the insert fails rather than mixing rows.
  if (!next_)
    next_ = std::make_unique<PreparedStatement>(
        db_, "SELECT setval(s, nextval(s) + ?::int8 - 1) FROM "
             "CAST(pg_get_serial_sequence(?, 'rowid') AS regclass) AS s");
  next_->Bind(1, static_cast<std::int64_t>(count)).Bind(2, table_);
  const std::int64_t last = next_->Step() ? next_->Int(0) : 0;
  next_->Reset();
  if (last < static_cast<std::int64_t>(count)) return ids;
  ids.reserve(count);
  for (std::int64_t id = last - static_cast<std::int64_t>(count) + 1; id <= last; ++id)
    ids.push_back(id);
  return ids;
}

}  // namespace tarne
