#include "training/run_vocabulary.h"

#include <algorithm>

#include "db/gateway.h"
#include "db/prepared_statement.h"
#include "text/word_lists.h"
#include "training/training_internal.h"

namespace tarne {

namespace {

const char* KindFlag(int kind) {
  switch (kind) {
    case 2: return "IsPhrase";
    case 3: return "IsArg";
    default: return "IsWord";
  }
}

// A token is a stop token when it is a stop word or either word of its pair is.
bool IsStopToken(std::string_view token) {
  const size_t blank = token.find(' ');
  if (blank == std::string_view::npos) return IsStopWord(token);
  return IsStopWord(token.substr(0, blank)) || IsStopWord(token.substr(blank + 1));
}

}  // namespace

struct RunVocabulary::Statements {
  Statements(Database& db, const std::string& table, const char* flag, const std::string& g)
      : insert(db, "INSERT INTO " + table + " (Vocab," + flag + ",IsStop,v" + g + ",w" + g +
                       ") VALUES (?,1,?,?,?)"),
        update(db, "UPDATE " + table + " SET v" + g + "=v" + g + "+?, w" + g + "=w" + g +
                       "+? WHERE rowid=?"),
        clearMarks(db, ClearThisEssay(table)),
        mark(db, "UPDATE " + table + " SET thisessay=? WHERE rowid=?"),
        group(g) {}
  PreparedStatement insert, update, clearMarks, mark;
  std::string group;
};

RunVocabulary::RunVocabulary(Database& db, int stemmed, int kind)
    : db_(db), table_(TableName(stemmed)), kind_(kind), stemmed_(stemmed == 1) {}

RunVocabulary::~RunVocabulary() = default;

bool RunVocabulary::LoadFrequentWords() {
  return kind_ != 3 || frequent_.Load(db_, table_.c_str());
}

bool RunVocabulary::Load() {
  index_.clear();
  entries_.clear();
  essayTouched_.clear();
  updates_.clear();
  inserts_.clear();
  lastEssay_.clear();
  essays_ = 0;
  loaded_ = false;
  if (!LoadFrequentWords()) return false;
  PreparedStatement rows(db_, "SELECT rowid, Vocab FROM " + table_ + " WHERE " +
                                  KindFlag(kind_) + "=1 ORDER BY rowid");
  if (!rows.Ok()) return false;
  const int failures = db_.FailureCount();
  while (rows.Step()) {
    // A second row of the same text (never written by Tarne) keeps the first.
    if (index_.find(rows.Text(1)) == index_.end()) Add(rows.Text(1), rows.Int(0));
  }
  loaded_ = db_.FailureCount() == failures;
  return loaded_;
}

std::uint32_t RunVocabulary::Add(std::string_view token, std::int64_t rowid) {
  const auto id = static_cast<std::uint32_t>(entries_.size());
  auto [it, fresh] = index_.emplace(std::string(token), id);
  Entry e;
  e.text = &it->first;
  e.rowid = rowid;
  entries_.push_back(e);
  return id;
}

std::uint32_t RunVocabulary::Find(std::string_view token) {
  auto it = index_.find(token);
  if (it != index_.end()) return it->second;
  if (loaded_) return kNone;
  PreparedStatement row(db_, "SELECT rowid FROM " + table_ + " WHERE Vocab=? AND " +
                                 KindFlag(kind_) + "=1 ORDER BY rowid LIMIT 1");
  row.Bind(1, token);
  if (!row.Step()) return kNone;
  return Add(token, row.Int(0));
}

void RunVocabulary::CountEssay(std::string_view normalised) {
  ForEachCountedSentence(
      normalised, kind_, stemmed_, &frequent_, [this](const std::vector<TokenRun>& runs) {
        // Tokens are met in quoted order, so new ones get their rows in the
        // order the sentence's inserts would have given them.
        for (const TokenRun& run : runs) {
          std::uint32_t id = Find(run.token);
          if (id == kNone) {
            // A new token counts once in the sentence that brings it.
            id = Add(run.token, 0);
            entries_[id].stop = IsStopToken(run.token);
            entries_[id].essayCount = 1;
            essayTouched_.push_back(id);
            inserts_.push_back(id);
            continue;
          }
          Entry& e = entries_[id];
          if (e.essayCount == 0) essayTouched_.push_back(id);
          e.essayCount += std::min(run.occurrences, kMaxOccurrences);
        }
      });
  lastEssay_.clear();
  for (std::uint32_t id : essayTouched_) {
    Entry& e = entries_[id];
    e.dv += e.essayCount;
    e.dw += 1;
    lastEssay_.emplace_back(id, e.essayCount);
    e.essayCount = 0;
    if (e.rowid != 0 && !e.queued) {
      e.queued = true;
      updates_.push_back(id);
    }
  }
  essayTouched_.clear();
  ++essays_;
}

bool RunVocabulary::Flush(const std::string& group) {
  if (essays_ == 0) return true;
  if (!statements_ || statements_->group != group)
    statements_ = std::make_unique<Statements>(db_, table_, KindFlag(kind_), group);
  Statements& s = *statements_;
  const int failures = db_.FailureCount();
  bool ok = s.insert.Ok() && s.update.Ok() && s.clearMarks.Ok() && s.mark.Ok();

  for (std::uint32_t id : inserts_) {
    if (!ok) break;
    Entry& e = entries_[id];
    ok = s.insert.Bind(1, std::string_view(*e.text))
             .Bind(2, std::int64_t{e.stop ? 1 : 0})
             .Bind(3, std::int64_t{e.dv})
             .Bind(4, std::int64_t{e.dw})
             .Run();
    e.rowid = db_.LastInsertRowid();
    e.dv = e.dw = 0;
  }
  // In row order, so that the updates walk the table once.
  std::sort(updates_.begin(), updates_.end(),
            [this](std::uint32_t a, std::uint32_t b) { return entries_[a].rowid < entries_[b].rowid; });
  for (std::uint32_t id : updates_) {
    if (!ok) break;
    Entry& e = entries_[id];
    ok = s.update.Bind(1, std::int64_t{e.dv}).Bind(2, std::int64_t{e.dw}).Bind(3, e.rowid).Run();
    e.dv = e.dw = 0;
    e.queued = false;
  }
  // The work column holds the last essay's counts, as its own statements
  // would have left it.
  if (ok) ok = s.clearMarks.Run();
  for (const auto& [id, count] : lastEssay_) {
    if (!ok) break;
    ok = s.mark.Bind(1, std::int64_t{count}).Bind(2, entries_[id].rowid).Run();
  }
  inserts_.clear();
  updates_.clear();
  essays_ = 0;
  return ok && db_.FailureCount() == failures;
}

}  // namespace tarne
