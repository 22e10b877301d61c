// One vocabulary table's rows of one token kind, held in memory while a
// training run counts essays into it.  Essays are counted in memory; Flush
// writes what the essays counted since the last flush (new rows in the order
// the statements over IN lists would have inserted them, the additions to
// existing rows, and the work column as the last essay left it) inside the
// caller's transaction.  The table ends row for row as if every essay had
// been counted by statements of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "training/essay_tokens.h"

namespace tarne {

class Database;

class RunVocabulary {
 public:
  // stemmed 1 for stem, else run1.  A vocabulary that is not loaded looks
  // each token up in the table when first met (for one essay at a time).
  RunVocabulary(Database& db, int stemmed, int kind);
  ~RunVocabulary();

  // Reads every row of the kind (and for arguments the frequent words) and
  // forgets anything counted and not flushed.  False when a statement failed.
  bool Load();
  // For arguments without a full load: the frequent words only.
  bool LoadFrequentWords();

  // Counts one normalised essay text.
  void CountEssay(std::string_view normalised);
  bool HasCounted() const { return essays_ > 0; }
  // Writes the counted essays into group (text "1".."5").  After a failure
  // the memory no longer matches the table: Load again before going on.
  bool Flush(const std::string& group);

  size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    const std::string* text = nullptr;
    std::int64_t rowid = 0;  // 0 while the row is still to be inserted
    int essayCount = 0;      // in the essay being counted
    int dv = 0;              // added to v of the group at the next flush
    int dw = 0;              // added to w of the group
    bool stop = false;
    bool queued = false;     // listed for an update at the next flush
  };
  std::uint32_t Find(std::string_view token);  // kNone when the table lacks it
  std::uint32_t Add(std::string_view token, std::int64_t rowid);

  static constexpr std::uint32_t kNone = 0xffffffffu;

  Database& db_;
  std::string table_;
  int kind_;
  bool stemmed_;
  bool loaded_ = false;
  FrequentWords frequent_;
  std::unordered_map<std::string, std::uint32_t, TokenHash, std::equal_to<>> index_;
  std::vector<Entry> entries_;
  std::vector<std::uint32_t> essayTouched_;
  std::vector<std::uint32_t> updates_;   // existing rows with additions
  std::vector<std::uint32_t> inserts_;   // new rows, in the order they are inserted
  std::vector<std::pair<std::uint32_t, int>> lastEssay_;  // its work-column marks
  int essays_ = 0;
  struct Statements;
  std::unique_ptr<Statements> statements_;
};

}  // namespace tarne
