#include "training/server_vocabulary_writes.h"

#include "db/gateway.h"
#include "db/prepared_statement.h"

namespace tarne {

namespace {

constexpr size_t kSetWork = 10;
constexpr size_t kClearWork = 11;
constexpr size_t kHashJoinOff = 12;
constexpr size_t kMergeJoinOff = 13;
constexpr size_t kHashJoinBack = 14;
constexpr size_t kMergeJoinBack = 15;

}  // namespace

ServerVocabularyWrites::ServerVocabularyWrites(Database& db, const std::string& table,
                                               const char* kindFlag)
    : db_(db), table_(table), flag_(kindFlag), rowids_(db, table) {}

ServerVocabularyWrites::~ServerVocabularyWrites() = default;

PreparedStatement& ServerVocabularyWrites::Statement(size_t slot, const std::string& sql) {
  std::unique_ptr<PreparedStatement>& s = statements_[slot];
  if (!s) s = std::make_unique<PreparedStatement>(db_, sql);
  return *s;
}

bool ServerVocabularyWrites::ByKey(PreparedStatement& update) {
  // Within this transaction only, and back to what the connection started
  // with once the statement is sent.
  const bool ok = Statement(kHashJoinOff, "SET LOCAL enable_hashjoin TO off").Run() &&
                  Statement(kMergeJoinOff, "SET LOCAL enable_mergejoin TO off").Run() &&
                  update.Run();
  return Statement(kHashJoinBack, "SET LOCAL enable_hashjoin TO DEFAULT").Run() &&
         Statement(kMergeJoinBack, "SET LOCAL enable_mergejoin TO DEFAULT").Run() && ok;
}

bool ServerVocabularyWrites::Insert(int group, const NewRows& rows) {
  if (rows.rowid.Size() == 0) return true;
  const std::string g = std::to_string(group);
  PreparedStatement& insert = Statement(
      static_cast<size_t>(group - 1),
      "INSERT INTO " + table_ + " (rowid, Vocab, " + flag_ + ", IsStop, v" + g + ", w" + g +
          ") SELECT unnest(?::int8[]), unnest(?::text[]), 1, unnest(?::int8[]), "
          "unnest(?::int8[]), unnest(?::int8[])");
  return insert.Bind(1, rows.rowid)
      .Bind(2, rows.text)
      .Bind(3, rows.stop)
      .Bind(4, rows.v)
      .Bind(5, rows.w)
      .Run();
}

bool ServerVocabularyWrites::Add(int group, const Additions& rows) {
  if (rows.rowid.Size() == 0) return true;
  const std::string g = std::to_string(group);
  PreparedStatement& add = Statement(
      static_cast<size_t>(5 + group - 1),
      "UPDATE " + table_ + " AS t SET v" + g + "=t.v" + g + "+x.v, w" + g + "=t.w" + g +
          "+x.w FROM (SELECT unnest(?::int8[]) AS r, unnest(?::int8[]) AS v, "
          "unnest(?::int8[]) AS w) AS x WHERE t.rowid=x.r");
  return ByKey(add.Bind(1, rows.rowid).Bind(2, rows.v).Bind(3, rows.w));
}

bool ServerVocabularyWrites::SetWork(const ServerArray& rowids, const ServerArray& counts) {
  if (rowids.Size() == 0) return true;
  PreparedStatement& set =
      Statement(kSetWork, "UPDATE " + table_ +
                              " AS t SET thisessay=x.c FROM (SELECT unnest(?::int8[]) AS r, "
                              "unnest(?::int8[]) AS c) AS x WHERE t.rowid=x.r");
  return ByKey(set.Bind(1, rowids).Bind(2, counts));
}

bool ServerVocabularyWrites::ClearWork() {
  // Through the index on the work column, as the file engine does.
  return Statement(kClearWork, "UPDATE " + table_ +
                                   " SET thisessay=0 WHERE thisessay>0 OR thisessay<0")
      .Run();
}

}  // namespace tarne
