// Many rows written to a server table by one statement: the values of each
// column travel as one array parameter, and the statement takes them apart
// again with unnest(), so that a write of thousands of rows costs the
// server one statement instead of thousands, and the connection sends it
// ahead without waiting for an answer.  For server-only statements; the
// file engine knows no arrays.  Each array's type is named in the
// statement, as the one its values have, and the arrays are taken apart
// side by side in a select list (the server then keeps no copy of them):
//
//   UPDATE run1 AS t SET v1=t.v1+x.v FROM
//       (SELECT unnest(?::int8[]) AS r, unnest(?::int8[]) AS v) AS x
//       WHERE t.rowid=x.r
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarne {

class Database;
class PreparedStatement;

// An array parameter in the server's binary form, built value by value:
// no value is written out as text and read back, so reals keep their bits
// and texts their bytes (any but NUL), and neither side spends time on
// converting them.  Every value has the array's element type.
class ServerArray {
 public:
  enum class Type { kInt8, kFloat8, kText };  // bigint, double precision, text
  explicit ServerArray(Type type) : type_(type) {}

  void Add(std::int64_t value);
  void Add(std::optional<double> value);  // none for NULL
  void Add(std::string_view text);
  size_t Size() const { return size_; }
  // The array as bound (a one-dimensional array from 1, or an empty one).
  std::string Binary() const;

 private:
  Type type_;
  std::string elements_;  // each a length and the bytes
  size_t size_ = 0;
  bool nulls_ = false;
};

// Fresh row numbers of one table (run1, stem or calib), taken from the
// numbers the table gives its rows, so that no other connection gives them
// to a row of its own: for inserts that number their rows themselves.
class ServerRowids {
 public:
  ServerRowids(Database& db, const std::string& table);
  ServerRowids(const ServerRowids&) = delete;
  ServerRowids& operator=(const ServerRowids&) = delete;
  ~ServerRowids();
  // count numbers in ascending order; empty when that failed (reported as
  // any statement) or count is 0.
  std::vector<std::int64_t> Take(size_t count);

 private:
  std::string table_;
  std::unique_ptr<PreparedStatement> next_;  // prepared when first needed
  Database& db_;
};

}  // namespace tarne
