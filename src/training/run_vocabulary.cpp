#include "training/run_vocabulary.h"

#include <algorithm>

#include "db/gateway.h"
#include "db/prepared_statement.h"
#include "text/word_lists.h"
#include "training/server_vocabulary_writes.h"
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

// New rows are inserted kRowsPerStatement at a time: one statement over
// many rows spares SQLite the per-statement work (binding, stepping,
// resetting) that costs as much as the row itself.
constexpr size_t kRowsPerStatement = 64;

// "(?,1,?,?,?,?),(?,1,?,?,?,?)..." : rows copies of one row's value list.
std::string ValueRows(const char* row, size_t rows) {
  std::string text;
  for (size_t i = 0; i < rows; ++i) {
    if (i > 0) text += ',';
    text += row;
  }
  return text;
}

// New rows with values in every group: held rows counted in several groups
// go in with the others, many to a statement.  A 0 written is what the
// column's default gives.
std::string InsertAllGroupsSql(const std::string& table, const char* flag, size_t rows) {
  return "INSERT INTO " + table + " (Vocab," + flag +
         ",IsStop,v1,w1,v2,w2,v3,w3,v4,w4,v5,w5) VALUES " +
         ValueRows("(?,1,?,?,?,?,?,?,?,?,?,?,?)", rows);
}

// Additions to one row in the groups of mask (bit g-1 for group g), in group
// order: "UPDATE run1 SET v1=v1+?2, w1=w1+?3, v3=v3+?4, w3=w3+?5 WHERE rowid=?1".
std::string AddSql(const std::string& table, unsigned mask) {
  std::string sql = "UPDATE " + table + " SET ";
  int p = 2;
  for (int g = 1; g <= 5; ++g) {
    if (!(mask & (1u << (g - 1)))) continue;
    const std::string n = std::to_string(g);
    if (p > 2) sql += ", ";
    sql += "v" + n + "=v" + n + "+?" + std::to_string(p) + ", w" + n + "=w" + n + "+?" +
           std::to_string(p + 1);
    p += 2;
  }
  return sql + " WHERE rowid=?1";
}

}  // namespace

struct RunVocabulary::Statements {
  Statements(Database& db, const std::string& table)
      : // The rows whose work column holds a count, found through the index on the
        // work column instead of a scan of the whole table.
        clearMarks(db, "UPDATE " + table +
                           " SET thisessay=0 WHERE thisessay>0 OR thisessay<0"),
        mark(db, "UPDATE " + table + " SET thisessay=? WHERE rowid=?"),
        lastRowid(db, "SELECT max(rowid) FROM " + table) {}
  bool Ok() const {
    return clearMarks.Ok() && mark.Ok() && lastRowid.Ok();
  }
  PreparedStatement clearMarks, mark, lastRowid;
};

RunVocabulary::RunVocabulary(Database& db, int stemmed, int kind, const CountingRules& rules)
    : db_(db), table_(TableName(stemmed)), kind_(kind), stemmed_(stemmed == 1), rules_(rules) {
  if (db_.IsServer())
    server_ = std::make_unique<ServerVocabularyWrites>(db_, table_, KindFlag(kind_));
}

RunVocabulary::~RunVocabulary() = default;

bool RunVocabulary::LoadFrequentWords() {
  return kind_ != 3 || frequent_.Load(db_, table_.c_str());
}

bool RunVocabulary::Load() {
  index_.Clear();
  pairs_.Clear();
  newTexts_.Clear();
  byPairs_ = false;
  entries_.clear();
  rowids_.clear();
  essayTouched_.clear();
  updates_.clear();
  inserts_.clear();
  lastEssay_.clear();
  marked_.clear();
  pending_.clear();
  pendingIds_.clear();
  pendingGroup_ = 0;
  spilled_.clear();
  held_.clear();
  lastMarks_.clear();
  marksPending_ = false;
  marksKnown_ = false;
  essays_ = 0;
  loaded_ = false;
  if (!LoadFrequentWords()) return false;
  PreparedStatement rows(db_, "SELECT rowid, Vocab FROM " + table_ + " WHERE " +
                                  KindFlag(kind_) + "=1 ORDER BY rowid");
  if (!rows.Ok()) return false;
  PreparedStatement size(db_, "SELECT max(rowid) FROM " + table_);
  if (size.Step()) {
    const auto rows = static_cast<size_t>(std::max<std::int64_t>(size.Int(0), 0));
    // Reserved room costs nothing until used; the index grows with the
    // rows of the kind, a small part of the table for words.
    entries_.reserve(rows);
    rowids_.reserve(rows);
  }
  const bool byPairs = kind_ == kArguments && frequent_.Blankless();
  const FailureWatch watch(db_);
  while (rows.Step()) {
    const std::string_view text = rows.Text(1);
    if (!byPairs) {
      // A second row of the same text (never written by Tarne) keeps the first.
      const auto [id, added] = Add(text);
      if (added) SetRowid(id, rows.Int(0));
      continue;
    }
    // Only pairs of frequent words are counted; other rows are never met.
    const size_t blank = text.find(' ');
    if (blank == std::string_view::npos) continue;
    const std::uint32_t first = frequent_.Number(text.substr(0, blank));
    const std::uint32_t second = frequent_.Number(text.substr(blank + 1));
    if (first == FrequentWords::kNone || second == FrequentWords::kNone) continue;
    const auto id = static_cast<std::uint32_t>(entries_.size());
    if (pairs_.Add(PairIndex::Key(first, second), id) != id) continue;
    entries_.emplace_back();
    SetRowid(id, rows.Int(0));
  }
  loaded_ = !watch.Failed();
  byPairs_ = byPairs && loaded_;
  return loaded_;
}

std::pair<std::uint32_t, bool> RunVocabulary::Add(std::string_view token) {
  const auto added = index_.Add(token);
  if (added.second) entries_.emplace_back();
  return added;
}

void RunVocabulary::SetRowid(std::uint32_t id, std::int64_t rowid) {
  if (rowids_.size() <= id) rowids_.resize(id + 1, 0);
  rowids_[id] = rowid;
}

std::uint32_t RunVocabulary::Find(std::string_view token) {
  const std::uint32_t known = index_.Find(token);
  if (known != kNone || loaded_) return known;
  PreparedStatement row(db_, "SELECT rowid FROM " + table_ + " WHERE Vocab=? AND " +
                                 KindFlag(kind_) + "=1 ORDER BY rowid LIMIT 1");
  row.Bind(1, token);
  if (!row.Step()) return kNone;
  const std::uint32_t id = Add(token).first;
  SetRowid(id, row.Int(0));
  return id;
}

void RunVocabulary::CountEssay(std::string_view normalised) {
  SentenceWords words;
  CutEssay(normalised, rules_, stemmed_ ? nullptr : &words, stemmed_ ? &words : nullptr, stems_);
  CountEssay(words);
}

void RunVocabulary::AddNew(std::uint32_t id, std::string_view text) {
  Entry& e = entries_[id];
  e.stop = IsStopToken(text);
  e.inserting = true;
  e.essayCount = 1;
  essayTouched_.push_back(id);
  inserts_.push_back({id, text});
}

void RunVocabulary::CountKnown(std::uint32_t id, int occurrences) {
  Entry& e = entries_[id];
  if (e.essayCount == 0) essayTouched_.push_back(id);
  e.essayCount += std::min(occurrences, kMaxOccurrences);
}

void RunVocabulary::CountArgumentsByNumber(const SentenceWords& sentences) {
  struct Word {
    std::string_view text;
    std::uint32_t number;
  };
  struct Token {
    std::string_view text;
    std::uint64_t key;
  };
  std::vector<Word> words;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> fresh;  // new tokens, as (i, j)
  std::vector<Token> texts;
  std::string buffer;
  for (size_t s = 0; s < sentences.Sentences(); ++s) {
    // The sentence's distinct frequent words in byte order, as ArgumentTokens
    // takes them; fewer than two give no token.
    const std::span<const std::string_view> kept = sentences.Sentence(s);
    words.clear();
    if (kept.size() >= 2)
      for (std::string_view w : kept)
        if (const std::uint32_t n = frequent_.Number(w); n != FrequentWords::kNone)
          words.push_back({w, n});
    std::sort(words.begin(), words.end(),
              [](const Word& a, const Word& b) { return a.text < b.text; });
    words.erase(std::unique(words.begin(), words.end(),
                            [](const Word& a, const Word& b) { return a.text == b.text; }),
                words.end());
    if (words.size() < 2) {
      if (rules_.allSentences) continue;
      break;
    }
    // Each pair occurs once in the sentence.
    fresh.clear();
    for (std::uint32_t i = 0; i + 1 < words.size(); ++i)
      for (std::uint32_t j = i + 1; j < words.size(); ++j) {
        const std::uint32_t id = pairs_.Find(PairIndex::Key(words[i].number, words[j].number));
        if (id == PairIndex::kNone)
          fresh.emplace_back(i, j);
        else
          CountKnown(id, 1);
      }
    if (fresh.empty()) continue;
    // New tokens get their rows in the order of their quoted texts, as the
    // sentence's inserts would have given them.  Sized first, so that the
    // views stay put.
    size_t size = 0;
    for (const auto& [i, j] : fresh) size += words[i].text.size() + 1 + words[j].text.size();
    buffer.clear();
    buffer.reserve(size);
    texts.clear();
    for (const auto& [i, j] : fresh) {
      const size_t start = buffer.size();
      buffer.append(words[i].text).append(1, ' ').append(words[j].text);
      texts.push_back({std::string_view(buffer.data() + start, buffer.size() - start),
                       PairIndex::Key(words[i].number, words[j].number)});
    }
    const auto quoted = [](const Token& a, const Token& b) { return QuotedLess(a.text, b.text); };
    if (!std::is_sorted(texts.begin(), texts.end(), quoted))
      std::sort(texts.begin(), texts.end(), quoted);
    for (const Token& t : texts) {
      const auto id = static_cast<std::uint32_t>(entries_.size());
      pairs_.Add(t.key, id);
      entries_.emplace_back();
      AddNew(id, newTexts_.Keep(t.text));
    }
  }
}

void RunVocabulary::CountEssay(const SentenceWords& sentences) {
  if (byPairs_) {
    CountArgumentsByNumber(sentences);
  } else {
    ForEachCountedSentence(
        sentences, kind_, &frequent_, rules_, [this](const std::vector<TokenRun>& runs) {
          // Tokens are met in quoted order, so new ones get their rows in the
          // order the sentence's inserts would have given them.
          for (const TokenRun& run : runs) {
            const std::uint32_t id = Find(run.token);
            if (id != kNone) {
              CountKnown(id, run.occurrences);
              continue;
            }
            // A new token counts once in the sentence that brings it.
            const std::uint32_t added = Add(run.token).first;
            AddNew(added, index_.Text(added));
          }
        });
  }
  lastEssay_.clear();
  for (std::uint32_t id : essayTouched_) {
    Entry& e = entries_[id];
    e.dv += e.essayCount;
    e.dw += 1;
    lastEssay_.emplace_back(id, e.essayCount);
    e.essayCount = 0;
    if (!e.inserting && !e.queued) {
      e.queued = true;
      updates_.push_back(id);
    }
  }
  essayTouched_.clear();
  ++essays_;
}

VocabularyWrites RunVocabulary::TakeWrites() {
  VocabularyWrites writes;
  writes.inserts.reserve(inserts_.size());
  for (const NewRow& row : inserts_) {
    Entry& e = entries_[row.id];
    writes.inserts.push_back({row.id, row.text, e.stop, e.dv, e.dw});
    e.dv = e.dw = 0;
    e.inserting = false;
  }
  writes.updates.reserve(updates_.size());
  for (std::uint32_t id : updates_) {
    Entry& e = entries_[id];
    writes.updates.push_back({id, e.dv, e.dw});
    e.dv = e.dw = 0;
    e.queued = false;
  }
  writes.marks = lastEssay_;
  writes.essays = essays_;
  inserts_.clear();
  updates_.clear();
  essays_ = 0;
  return writes;
}

bool RunVocabulary::Write(const VocabularyWrites& writes, const std::string& group) {
  if (writes.Empty()) return true;
  const FailureWatch watch(db_);
  // Rows not written have no row number to add to or mark; the run's
  // transaction is given up.
  if (server_ && !InsertRowsOnServer(writes.inserts, group[0] - '0')) return false;
  // Held back over many writes; summed by entry as they come, they grow with
  // the rows written to, not with the essays written.  A new row's own
  // values are held with them: a row new in a transaction and met again by
  // later writes goes in once, with all they counted.
  if (group[0] != pendingGroup_) SpillPending();
  pendingGroup_ = group[0];
  const auto hold = [this](std::uint32_t id, int v, int w) {
    if (pending_.size() <= id) pending_.resize(id + 1);
    Pending& p = pending_[id];
    if (p.v == 0 && p.w == 0) pendingIds_.push_back(id);
    p.v += v;
    p.w += w;
  };
  if (!server_)
    for (const VocabularyWrites::Insert& row : writes.inserts) {
      held_.push_back({row.id, row.text, row.stop});
      hold(row.id, row.v, row.w);
    }
  for (const VocabularyWrites::Update& row : writes.updates) hold(row.id, row.v, row.w);
  // The work column is written once per commit, as the last essay written
  // left it: an essay of many tokens would otherwise have its marks cleared
  // and set again by every batch.
  lastMarks_ = writes.marks;
  marksPending_ = true;
  marksGroup_ = group[0];
  return !watch.Failed();
}

RunVocabulary::Statements& RunVocabulary::StatementsFor(char group) {
  std::unique_ptr<Statements>& s = statements_[(group - '1') & 7];
  if (!s) s = std::make_unique<Statements>(db_, table_);
  return *s;
}

bool RunVocabulary::WriteMarks() {
  if (!marksPending_) return true;
  if (server_) return WriteMarksOnServer();
  Statements& s = StatementsFor(marksGroup_);
  const FailureWatch watch(db_);
  bool ok = s.clearMarks.Ok() && s.mark.Ok();
  // After a write of this run only the rows it marked can hold anything there.
  if (ok && marksKnown_) {
    for (std::int64_t rowid : marked_) {
      if (!ok || GivingUp()) {
        ok = false;
        break;
      }
      ok = s.mark.Bind(1, std::int64_t{0}).Bind(2, rowid).Run();
    }
  } else if (ok) {
    ok = s.clearMarks.Run();
  }
  marksKnown_ = false;
  marked_.clear();
  for (const auto& [id, count] : lastMarks_) {
    if (!ok || GivingUp()) {
      ok = false;
      break;
    }
    const std::int64_t rowid = rowids_[id];
    ok = s.mark.Bind(1, std::int64_t{count}).Bind(2, rowid).Run();
    marked_.push_back(rowid);
  }
  lastMarks_.clear();
  marksPending_ = false;
  marksKnown_ = ok && !watch.Failed();
  return marksKnown_;
}

void RunVocabulary::SpillPending() {
  // Entries are numbered in row order (loaded by row, new ones numbered as
  // they are inserted).  On a server, where the rows are known, the rows
  // decide.
  if (pendingIds_.size() > pending_.size() / 16) {
    // Many: a walk over all entries costs less than sorting them.
    pendingIds_.clear();
    for (std::uint32_t id = 0; id < pending_.size(); ++id)
      if (pending_[id].v != 0 || pending_[id].w != 0) pendingIds_.push_back(id);
  } else {
    std::sort(pendingIds_.begin(), pendingIds_.end());
  }
  const auto byRow = [this](std::uint32_t a, std::uint32_t b) { return rowids_[a] < rowids_[b]; };
  if (server_ && !std::is_sorted(pendingIds_.begin(), pendingIds_.end(), byRow))
    std::sort(pendingIds_.begin(), pendingIds_.end(), byRow);
  for (std::uint32_t id : pendingIds_) {
    Pending& p = pending_[id];
    spilled_.push_back({pendingGroup_, id, p.v, p.w});
    p = Pending();
  }
  pendingIds_.clear();
}

PreparedStatement& RunVocabulary::AddStatement(unsigned mask) {
  std::unique_ptr<PreparedStatement>& s = addStatements_[mask & 31];
  if (!s) s = std::make_unique<PreparedStatement>(db_, AddSql(table_, mask));
  return *s;
}

namespace {

// One row's values in each group, from the additions of one entry.
struct GroupValues {
  unsigned mask = 0;  // bit g-1 for group g
  std::int64_t v[5] = {};
  std::int64_t w[5] = {};
};

}  // namespace

bool RunVocabulary::WriteAdditions() {
  SpillPending();
  if (server_) return WriteAdditionsOnServer();
  const FailureWatch watch(db_);
  // By entry, which is row order for the rows in the file; mostly so already.
  const auto byEntry = [](const Addition& a, const Addition& b) { return a.id < b.id; };
  if (!std::is_sorted(spilled_.begin(), spilled_.end(), byEntry))
    std::sort(spilled_.begin(), spilled_.end(), byEntry);
  const auto heldOrder = [](const HeldRow& a, const HeldRow& b) { return a.id < b.id; };
  if (!std::is_sorted(held_.begin(), held_.end(), heldOrder))
    std::sort(held_.begin(), held_.end(), heldOrder);

  bool ok = true;
  // Held rows go in in the order they were met, which is entry order,
  // kRowsPerStatement to a statement, numbered one after the file's last
  // row as the table numbers them.
  std::int64_t next = 1;
  if (!held_.empty()) {
    Statements& s = StatementsFor('1');
    ok = s.lastRowid.Ok();
    if (ok && s.lastRowid.Step()) next = s.lastRowid.Int(0) + 1;
    s.lastRowid.Reset();
    if (!insertAll_) {
      insertAll_ =
          std::make_unique<PreparedStatement>(db_, InsertAllGroupsSql(table_, KindFlag(kind_), 1));
      insertAllMany_ = std::make_unique<PreparedStatement>(
          db_, InsertAllGroupsSql(table_, KindFlag(kind_), kRowsPerStatement));
    }
  }
  std::vector<std::pair<const HeldRow*, GroupValues>> chunk;
  const auto insertChunk = [&] {
    const bool many = chunk.size() == kRowsPerStatement;
    PreparedStatement& insert = many ? *insertAllMany_ : *insertAll_;
    for (size_t k = 0; k < chunk.size() && ok; ++k) {
      const auto& [row, values] = chunk[k];
      const int p = static_cast<int>(12 * (many ? k : 0));
      insert.Bind(p + 1, row->text).Bind(p + 2, std::int64_t{row->stop ? 1 : 0});
      for (int g = 0; g < 5; ++g)
        insert.Bind(p + 3 + 2 * g, values.v[g]).Bind(p + 4 + 2 * g, values.w[g]);
      SetRowid(row->id, next++);
      if (!many) ok = insert.Ok() && insert.Run() && db_.LastInsertRowid() == next - 1;
    }
    if (many) ok = ok && insert.Ok() && insert.Run() && db_.LastInsertRowid() == next - 1;
    chunk.clear();
  };
  const auto insert = [&](const HeldRow& row, const GroupValues& values) {
    chunk.emplace_back(&row, values);
    if (chunk.size() == kRowsPerStatement) insertChunk();
  };
  size_t h = 0;  // the next held row
  for (size_t i = 0, rows = 0; i < spilled_.size() && ok; ++rows) {
    // The clock is read every kRowsPerStatement rows, as often as the
    // statements over many rows would.
    if (rows % kRowsPerStatement == 0 && GivingUp()) {
      ok = false;
      break;
    }
    // The entry's additions by group: a transaction that went from a group
    // to another and back holds two for the first.
    GroupValues values;
    const std::uint32_t id = spilled_[i].id;
    for (; i < spilled_.size() && spilled_[i].id == id; ++i) {
      const int g = (spilled_[i].group - '1') & 7;
      if (g > 4) continue;
      values.mask |= 1u << g;
      values.v[g] += spilled_[i].v;
      values.w[g] += spilled_[i].w;
    }
    for (; h < held_.size() && held_[h].id < id; ++h) insert(held_[h], GroupValues());
    if (h < held_.size() && held_[h].id == id) {
      insert(held_[h++], values);
      continue;
    }
    // A row in the file gets one statement for all its groups: SQLite's
    // work per row (reading and writing all its columns) is most of the
    // cost, the columns added to little.  One statement a row, stepped in
    // row order, costs less than a join with a list of rows.
    if (values.mask == 0) continue;
    PreparedStatement& update = AddStatement(values.mask);
    update.Bind(1, rowids_[id]);
    for (int g = 0, p = 2; g < 5; ++g)
      if (values.mask & (1u << g)) {
        update.Bind(p, values.v[g]).Bind(p + 1, values.w[g]);
        p += 2;
      }
    ok = update.Ok() && update.Run();
  }
  for (; ok && h < held_.size(); ++h) insert(held_[h], GroupValues());
  if (ok && !chunk.empty()) insertChunk();
  held_.clear();
  spilled_.clear();
  spilled_.shrink_to_fit();
  return ok && !watch.Failed() && WriteMarks();
}

}  // namespace tarne
