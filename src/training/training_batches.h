// The essays of a training run, counted in memory and written several at a
// time: one transaction holds the vocabulary rows, calib records and
// trainsize counts of every essay it writes, so that an essay is kept whole
// or not at all, whatever stops the program.  A batch may hold essays of
// several groups.
//
// Batches are written on a second thread, the only user of the database
// meanwhile, while the next batch is counted.  A batch is handed over as
// soon as the writer is free, and before it holds more than 80 ms of
// writing, so that what is counted is never far ahead of what is
// written.  The writer keeps its transaction open across batches and
// commits less often the longer a commit takes: a commit into a large table
// writes most of its pages whatever the number of essays, so fewer commits
// serve more essays each.  Commit writes the rest and commits at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "db/gateway.h"
#include "training/run_vocabulary.h"

namespace tarne {

class Database;
class PreparedStatement;

class TrainingBatches {
 public:
  // Essays are counted under the project's counting rules.
  TrainingBatches(Database& db, int kind, const CountingRules& rules);
  ~TrainingBatches();

  // Reads both tables' rows of the kind; false when that failed.  The
  // database must not be used by anyone else while essays are being added,
  // until Commit returns.
  bool Load();
  // Counts one essay (lower-cased text) of group g (1-5); false when a batch
  // could not be kept (it is rolled back, and the run must stop).
  bool Add(const std::string& text, const std::string& path, int g);
  // Writes whatever is counted and waits until it is committed; false as
  // for Add.
  bool Commit();
  // The same for a Cancel, which must take effect at once: what cannot be
  // written and committed within budget is given up, every essay not yet
  // committed with it (they are trained by the next run), instead of
  // keeping the user waiting.  An essay is kept whole or not at all.
  static constexpr std::chrono::milliseconds kCancelBudget{100};
  bool Cancel(std::chrono::milliseconds budget = kCancelBudget);
  // Polled while Add waits for the writer, so that a Cancel meanwhile
  // makes the writer give up at once instead of finishing a long write.
  void SetCancelCheck(std::function<bool()> cancelled) { cancelled_ = std::move(cancelled); }

  // Essays of group g kept for good, still to be kept, and lost in a batch
  // that failed (or counted after it).
  int Kept(int g) const { return kept_[g]; }
  bool Pending(int g) const { return pending_[g] > 0; }
  int Lost(int g) const { return lost_[g]; }

 private:
  // kWritten: written in the writer's transaction, not yet committed.
  // kGivenUp: stopped by a Cancel's deadline and rolled back.
  enum class Outcome { kWritten, kKept, kFailed, kChanged, kGivenUp };
  // The essays of one group in a batch.
  struct Part {
    int group = 0;
    std::vector<std::string> paths;
    std::vector<std::string> texts;  // as given to Add, for counting again
    VocabularyWrites run1;
    VocabularyWrites stem;
  };
  struct Batch {
    std::vector<Part> parts;  // the last one is being counted while open
    size_t essays = 0;
    size_t rows = 0;  // new rows and additions of the parts sealed so far
    std::chrono::steady_clock::time_point started;
    bool commit = false;  // commit once written, however young the transaction
  };

  // Counts into the open batch, starting a part when the group changes.
  void Count(const std::string& text, const std::string& path, int g);
  void SealPart();
  size_t OpenRows() const;
  bool WriterBusy() const;
  // Hands the open batch to the writer, after the one before it is written;
  // commit asks for everything written to be committed with it.
  bool Submit(bool commit = false);
  // Waits for the batch in flight.  When someone else changed the tables
  // meanwhile, the memory is read again and that batch and the open one are
  // counted again as the open batch.
  bool Wait();
  // Sets the deadline of a Cancel, and stops a checkpoint under way: it can
  // be taken later.
  void ArmDeadline(std::chrono::milliseconds budget = kCancelBudget);
  // After a commit: copies the log into the file once it has grown, unless
  // a Cancel is waiting.
  void Checkpoint();
  Outcome Write(const Batch& batch);
  bool WritePart(const Part& part);
  // Records the part's files in calib, a statement per file; on a server
  // two statements over all of them, answered by none.
  bool RecordFiles(const Part& part);
  bool RecordFilesOnServer(const Part& part);
  // Gives the database its error sink back, with what the writer reported.
  void ReturnSink();
  void Fail();
  std::int64_t DataVersion();

  Database& db_;
  int kind_;
  WriteDeadline deadline_;
  std::function<bool()> cancelled_;
  std::mutex checkpointMutex_;
  bool checkpointing_ = false;  // guarded by checkpointMutex_
  // Set when a write was given up: the memory no longer matches the tables
  // and is read again before the next essay is counted.
  bool stale_ = false;
  CountingRules rules_;
  RunVocabulary run1_;
  RunVocabulary stem_;
  // An essay's words, cut once for both tables, and the stems of the pieces
  // met so far.
  StemCache stems_;
  std::string normal_;  // the essay normalised, and again when that may differ
  std::string again_;
  SentenceWords writtenWords_;
  SentenceWords stemmedWords_;
  Batch open_;
  Batch flying_;
  std::future<Outcome> writer_;
  // The error sink of the database while the writer has it, and what was
  // reported to the writer's stand-in meanwhile.
  std::function<void(const std::string&)> sink_;
  std::vector<std::string> reported_;
  std::int64_t version_ = -1;
  // Owned by the writer while it runs, read once it is done: its open
  // transaction, and how long the last batch's rows took.
  bool inTransaction_ = false;
  std::chrono::steady_clock::time_point transactionStarted_;
  FailureWatch transactionWatch_{db_};  // restarted with each transaction
  std::chrono::steady_clock::duration lastWrite_{};
  std::chrono::steady_clock::duration commitInterval_ = std::chrono::milliseconds(50);
  // Seconds of writing per row, from the last batch written; before the
  // first, a guess on the slow side.
  double writeCost_ = 15e-6;
  // Essays of each group written in the open transaction.
  int written_[6] = {0, 0, 0, 0, 0, 0};
  int kept_[6] = {0, 0, 0, 0, 0, 0};
  int pending_[6] = {0, 0, 0, 0, 0, 0};
  int lost_[6] = {0, 0, 0, 0, 0, 0};
  bool failed_ = false;
  // On a server: RecordFilesOnServer's statements, prepared when first needed.
  std::unique_ptr<PreparedStatement> markFiles_;
  std::unique_ptr<PreparedStatement> addFiles_;
};

}  // namespace tarne
