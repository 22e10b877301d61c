// What a training run writes into one vocabulary table on a server, each
// write one statement over many rows (db/server_rows.h), sent ahead without
// waiting for an answer: new rows numbered from row ids reserved first, the
// additions to existing rows' counts, and the work column.  The rows end as
// the file engine's statements over 64 rows at a time leave them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/server_rows.h"

namespace tarne {

class Database;
class PreparedStatement;

class ServerVocabularyWrites {
 public:
  // table run1 or stem; kindFlag the flag column new rows get 1 in.
  ServerVocabularyWrites(Database& db, const std::string& table, const char* kindFlag);
  ~ServerVocabularyWrites();

  // Row ids for count new rows, ascending; empty when that failed.
  std::vector<std::int64_t> Reserve(size_t count) { return rowids_.Take(count); }

  // New rows of group (1-5): one entry per row in each array (rowid, Vocab,
  // IsStop 0 or 1, v and w of the group).
  struct NewRows {
    ServerArray rowid{ServerArray::Type::kInt8}, text{ServerArray::Type::kText},
        stop{ServerArray::Type::kInt8}, v{ServerArray::Type::kInt8}, w{ServerArray::Type::kInt8};
  };
  bool Insert(int group, const NewRows& rows);
  // Adds v and w to the group's counts of the rows listed (each once).
  struct Additions {
    ServerArray rowid{ServerArray::Type::kInt8}, v{ServerArray::Type::kInt8},
        w{ServerArray::Type::kInt8};
  };
  bool Add(int group, const Additions& rows);
  // Sets the work column of the rows listed (each once) to the counts
  // (both arrays of integers).
  bool SetWork(const ServerArray& rowids, const ServerArray& counts);
  // Sets the work column to 0 wherever it holds anything else.
  bool ClearWork();

 private:
  // The statement for slot, prepared from sql when first needed.
  PreparedStatement& Statement(size_t slot, const std::string& sql);
  // Runs update, an UPDATE of listed rows joined to the table by row id,
  // with the server finding each row through the primary key.  Left to
  // itself the planner hashes or sorts the whole table to meet a list of a
  // few thousand rows (its estimate of a table kept half empty for updates
  // counts every page), which takes about twice as long.
  bool ByKey(PreparedStatement& update);

  Database& db_;
  std::string table_;
  std::string flag_;
  ServerRowids rowids_;
  // Inserts and additions of groups 1-5, the two work-column writes, then
  // the planner settings of ByKey.
  std::array<std::unique_ptr<PreparedStatement>, 16> statements_;
};

}  // namespace tarne
