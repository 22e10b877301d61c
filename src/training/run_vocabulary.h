// One vocabulary table's rows of one token kind, held in memory while a
// training run counts essays into it.  Essays are counted in memory;
// TakeWrites hands over what the essays counted since the last take (new
// rows in the order the statements over IN lists would have inserted them,
// the additions to existing rows, and the work column as the last essay left
// it), and Write and WriteAdditions put that into the table inside the
// caller's transaction.
// The table ends row for row as if every essay had been counted by
// statements of its own.
//
// Counting and writing may run on two threads, one batch being written while
// the next is counted: CountEssay and TakeWrites belong to one thread, Write
// to the other, and Load only while no Write is under way.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/token_index.h"
#include "training/essay_tokens.h"
#include "training/pair_index.h"

namespace tarne {

class Database;
class PreparedStatement;
class ServerVocabularyWrites;

// What a batch of essays adds to one table.  The texts stay valid while the
// vocabulary that handed them over is neither loaded again nor destroyed.
struct VocabularyWrites {
  struct Insert {
    std::uint32_t id;
    std::string_view text;
    bool stop;
    int v;
    int w;
  };
  struct Update {
    std::uint32_t id;
    int v;
    int w;
  };
  std::vector<Insert> inserts;  // in the order the rows are inserted
  std::vector<Update> updates;
  std::vector<std::pair<std::uint32_t, int>> marks;  // the last essay's work column
  int essays = 0;
  bool Empty() const { return essays == 0; }
};

// A moment after which a write under way gives up: set from one thread
// (a Cancel) and read between statements by the writing one.  Never, until
// set.
class WriteDeadline {
 public:
  using Clock = std::chrono::steady_clock;
  void Set(Clock::time_point at) { at_ = at.time_since_epoch().count(); }
  void Clear() { at_ = kNever; }
  bool Armed() const { return at_.load() != kNever; }
  bool Passed() const {
    const auto at = at_.load();
    return at != kNever && Clock::now().time_since_epoch().count() >= at;
  }

 private:
  static constexpr Clock::rep kNever = std::numeric_limits<Clock::rep>::max();
  std::atomic<Clock::rep> at_{kNever};
};

class RunVocabulary {
 public:
  // stemmed 1 for stem, else run1; essays are counted under rules.  A
  // vocabulary that is not loaded looks each token up in the table when
  // first met (for one essay at a time).
  RunVocabulary(Database& db, int stemmed, int kind, const CountingRules& rules);
  // Writes stop (and answer false) at the first statement after deadline
  // has passed; the caller rolls its transaction back.
  void SetDeadline(const WriteDeadline* deadline) { deadline_ = deadline; }
  ~RunVocabulary();

  // Reads every row of the kind (and for arguments the frequent words) and
  // forgets anything counted and not flushed.  False when a statement failed.
  bool Load();
  // For arguments without a full load: the frequent words only.
  bool LoadFrequentWords();

  // Counts one normalised essay text.
  void CountEssay(std::string_view normalised);
  // Counts one essay cut into its kept words, in this table's form
  // (stemmed for stem, as written for run1).
  void CountEssay(const SentenceWords& sentences);
  // The essays counted since the last take, as writes; nothing is counted
  // afterwards.
  VocabularyWrites TakeWrites();
  // Writes writes (taken from this vocabulary, in the order taken) into group
  // (text "1".."5").  The new rows, the additions to existing rows and the
  // work column are held back until WriteAdditions, which must come before
  // the transaction commits: the new rows go in with everything the writes
  // counted for them in any group, the additions of many writes as one pass
  // over the table, in row order, a row added to by several of them once,
  // and the work column is set once, as the last essay written left it.  (On
  // a server the new rows go in at once.)  After a failure, or the
  // rollback of a transaction that held a Write, the memory no longer
  // matches the table: Load again before going on.
  bool Write(const VocabularyWrites& writes, const std::string& group);
  bool WriteAdditions();
  // TakeWrites, Write and WriteAdditions at once.
  bool Flush(const std::string& group) {
    return Write(TakeWrites(), group) && WriteAdditions();
  }

  size_t Size() const { return entries_.size(); }
  // The rows TakeWrites would hand over now, new and added to.
  size_t PendingRows() const { return inserts_.size() + updates_.size(); }

 private:
  struct Entry {
    int essayCount = 0;      // in the essay being counted
    int dv = 0;              // added to v of the group at the next take
    int dw = 0;              // added to w of the group
    bool stop = false;
    bool queued = false;     // listed for an update at the next take
    bool inserting = false;  // new since the last take
  };
  std::uint32_t Find(std::string_view token);  // kNone when the table lacks it
  // The entry of token, and whether it is new.
  std::pair<std::uint32_t, bool> Add(std::string_view token);
  // A token the table lacks, met in the essay being counted: it counts once
  // in the sentence that brings it, and is inserted at the next take.
  void AddNew(std::uint32_t id, std::string_view text);
  // One occurrence (or more) of a known token in a sentence.
  void CountKnown(std::uint32_t id, int occurrences);
  // Arguments counted through pairs_ instead of texts, with the same result
  // as CountEssay's walk over each sentence's argument tokens.
  void CountArgumentsByNumber(const SentenceWords& sentences);
  void SetRowid(std::uint32_t id, std::int64_t rowid);
  // Sets the work column as lastMarks_ says, clearing what the last call set.
  bool WriteMarks();
  // The same on a server (server_ not null), with row ids reserved first.
  bool InsertRowsOnServer(const std::vector<VocabularyWrites::Insert>& rows, int group);
  bool WriteAdditionsOnServer();
  bool WriteMarksOnServer();

  static constexpr std::uint32_t kNone = TokenIndex::kNone;

  bool GivingUp() const { return deadline_ && deadline_->Passed(); }

  Database& db_;
  const WriteDeadline* deadline_ = nullptr;
  std::string table_;
  int kind_;
  bool stemmed_;
  CountingRules rules_;
  bool loaded_ = false;
  FrequentWords frequent_;
  StemCache stems_;  // for essays given as text
  TokenIndex index_;  // numbers the entries
  // Loaded arguments are numbered by their words instead (byPairs_): every
  // token this run can count is a pair of frequent words, and only a new
  // token's text is ever needed, kept in newTexts_ until the next Load.
  bool byPairs_ = false;
  PairIndex pairs_;
  TokenStore newTexts_;
  std::vector<Entry> entries_;
  // The row of each entry, by entry number.  Rows inserted by the writer
  // are known to the writer only, so that counting never waits for the
  // table.
  std::vector<std::int64_t> rowids_;
  std::vector<std::uint32_t> essayTouched_;
  std::vector<std::uint32_t> updates_;   // existing rows with additions
  struct NewRow {
    std::uint32_t id;
    std::string_view text;
  };
  std::vector<NewRow> inserts_;  // new rows, in the order they are inserted
  std::vector<std::pair<std::uint32_t, int>> lastEssay_;  // its work-column marks
  // The rows whose work column the last Write set; known only after a Write
  // of this run that did not fail.
  std::vector<std::int64_t> marked_;
  // Sums of what a commit's essays counted: a commit holds far fewer than
  // 2^31 essays and sentences.  Kept small, as a commit of long essays'
  // arguments holds a million of them.
  struct Addition {
    char group;  // '1'..'5'
    std::uint32_t id;  // the entry
    std::int32_t v, w;
  };
  // The new rows written and not yet in the file, in the order met, which
  // is entry order.
  struct HeldRow {
    std::uint32_t id;
    std::string_view text;
    bool stop;
  };
  std::vector<HeldRow> held_;
  // The additions held back by Write, summed by entry as they come for the
  // group of pendingGroup_, so that a row added to by many writes is one
  // addition without sorting them all: pending_ by entry, pendingIds_ the
  // entries that hold one.  A write for another group first moves them to
  // spilled_.
  struct Pending {
    std::int32_t v = 0;
    std::int32_t w = 0;
  };
  std::vector<Pending> pending_;
  std::vector<std::uint32_t> pendingIds_;
  char pendingGroup_ = 0;
  std::vector<Addition> spilled_;
  // Moves the pending additions to spilled_, in entry order (row order).
  void SpillPending();
  // The work column of the last essay written, by entry, held back by Write.
  std::vector<std::pair<std::uint32_t, int>> lastMarks_;
  bool marksPending_ = false;
  char marksGroup_ = '1';  // the group of the write that held them back
  bool marksKnown_ = false;
  int essays_ = 0;
  struct Statements;
  // The statements of each group, prepared when first needed.
  Statements& StatementsFor(char group);
  std::array<std::unique_ptr<Statements>, 8> statements_;
  // The statement adding to one row in the groups of mask (bit g-1 for group
  // g), prepared when first needed.
  PreparedStatement& AddStatement(unsigned mask);
  std::array<std::unique_ptr<PreparedStatement>, 32> addStatements_;
  // Held rows into the file, with values in every group, one or
  // kRowsPerStatement at a time; prepared when first needed.
  std::unique_ptr<PreparedStatement> insertAll_;
  std::unique_ptr<PreparedStatement> insertAllMany_;
  // Its writes when the table is on a server, where they go as statements
  // over whole arrays of rows.
  std::unique_ptr<ServerVocabularyWrites> server_;
};

}  // namespace tarne
