// The essays of a training run, counted in memory and written several at a
// time: one transaction holds a batch's vocabulary rows, its calib records
// and its trainsize count, so that a batch is kept whole or not at all,
// whatever stops the program.  While one batch is written (on a second
// thread, the only user of the database meanwhile) the next one is counted.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "training/run_vocabulary.h"

namespace tarne {

class Database;

class TrainingBatches {
 public:
  TrainingBatches(Database& db, int kind);
  ~TrainingBatches();

  // Reads both tables' rows of the kind; false when that failed.
  bool Load();
  // Counts one essay (lower-cased text) of group g; false when a batch could
  // not be kept (it is rolled back, and the run must stop).
  bool Add(const std::string& text, const std::string& path, int g);
  // Writes whatever is counted and waits until it is kept; false as for Add.
  bool Commit();
  // Essays of this run kept for good.
  int Committed() const { return committed_; }

 private:
  enum class Outcome { kKept, kFailed, kChanged };
  struct Batch {
    int group = 0;
    std::vector<std::string> paths;
    std::vector<std::string> texts;  // as given to Add, for counting again
    VocabularyWrites run1;
    VocabularyWrites stem;
  };

  void Count(const std::string& text);
  // Hands the open batch to the writer, after the one before it is kept.
  bool Submit();
  // Waits for the batch in flight.  When someone else changed the tables
  // meanwhile, the memory is read again and that batch and the open one are
  // counted again as one open batch.
  bool Wait();
  Outcome Write(const Batch& batch);
  // Gives the database its error sink back, with what the writer reported.
  void ReturnSink();
  std::int64_t DataVersion();

  Database& db_;
  int kind_;
  RunVocabulary run1_;
  RunVocabulary stem_;
  Batch open_;
  std::chrono::steady_clock::time_point started_;
  Batch flying_;
  std::future<Outcome> writer_;
  // The error sink of the database while the writer has it, and what was
  // reported to the writer's stand-in meanwhile.
  std::function<void(const std::string&)> sink_;
  std::vector<std::string> reported_;
  std::int64_t version_ = -1;
  int committed_ = 0;
  bool failed_ = false;
};

}  // namespace tarne
