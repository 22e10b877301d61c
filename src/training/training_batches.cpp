#include "training/training_batches.h"

#include "db/gateway.h"
#include "db/prepared_statement.h"
#include "shell/numbers.h"
#include "text/tokenizer.h"
#include "training/training_internal.h"

namespace tarne {

namespace {

// A batch is closed after kBatchTime of counting, so that a kill loses
// little and a Cancel is answered at once.
constexpr size_t kBatchEssays = 500;
constexpr auto kBatchTime = std::chrono::milliseconds(200);
// Counting again after someone else changed the tables gives up after this
// many rounds rather than race a writer for ever.
constexpr int kMaxRecounts = 10;

}  // namespace

TrainingBatches::TrainingBatches(Database& db, int kind)
    : db_(db), kind_(kind), run1_(db, 0, kind), stem_(db, 1, kind) {}

TrainingBatches::~TrainingBatches() {
  if (!writer_.valid()) return;
  writer_.wait();
  ReturnSink();
}

void TrainingBatches::ReturnSink() {
  db_.ReplaceErrorSink(std::move(sink_));
  sink_ = nullptr;
  for (const std::string& message : reported_) db_.ReportToSink(message);
  reported_.clear();
}

bool TrainingBatches::Load() {
  version_ = DataVersion();
  return run1_.Load() && stem_.Load();
}

void TrainingBatches::Count(const std::string& text) {
  std::string normal = text;
  NormalizeEssayText(normal);
  run1_.CountEssay(normal);
  NormalizeEssayText(normal);
  stem_.CountEssay(normal);
}

bool TrainingBatches::Add(const std::string& text, const std::string& path, int g) {
  if (failed_) return false;
  // The additions of a batch go to the columns of one group.
  if (!open_.paths.empty() && open_.group != g && !Submit()) return false;
  if (open_.paths.empty()) started_ = std::chrono::steady_clock::now();
  open_.group = g;
  open_.paths.push_back(path);
  open_.texts.push_back(text);
  Count(text);
  if (open_.paths.size() >= kBatchEssays ||
      std::chrono::steady_clock::now() - started_ >= kBatchTime)
    return Submit();
  return true;
}

bool TrainingBatches::Commit() {
  for (int round = 0; round < kMaxRecounts; ++round) {
    if (!Submit() || !Wait()) return false;
    if (open_.paths.empty()) return true;
  }
  failed_ = true;
  return false;
}

bool TrainingBatches::Submit() {
  if (!Wait()) return false;
  if (open_.paths.empty()) return true;
  open_.run1 = run1_.TakeWrites();
  open_.stem = stem_.TakeWrites();
  flying_ = std::move(open_);
  open_ = Batch();
  // Failures are reported on this thread once the batch is done: the sink
  // writes to the project log through the front end.
  sink_ = db_.ReplaceErrorSink([this](const std::string& m) { reported_.push_back(m); });
  writer_ = std::async(std::launch::async, [this] { return Write(flying_); });
  return true;
}

bool TrainingBatches::Wait() {
  if (!writer_.valid()) return !failed_;
  const Outcome outcome = writer_.get();
  ReturnSink();

  if (outcome == Outcome::kKept) {
    committed_ += static_cast<int>(flying_.paths.size());
    flying_ = Batch();
    return true;
  }
  if (outcome == Outcome::kChanged && Load()) {
    // What is held in memory is no longer the table: count the essays not
    // yet kept again, from the table as it is now.
    Batch again;
    again.group = flying_.group;
    again.paths = std::move(flying_.paths);
    again.texts = std::move(flying_.texts);
    for (size_t i = 0; i < open_.paths.size(); ++i) {
      again.paths.push_back(std::move(open_.paths[i]));
      again.texts.push_back(std::move(open_.texts[i]));
    }
    flying_ = Batch();
    open_ = std::move(again);
    for (const std::string& text : open_.texts) Count(text);
    return true;
  }
  flying_ = Batch();
  failed_ = true;
  return false;
}

TrainingBatches::Outcome TrainingBatches::Write(const Batch& batch) {
  // A database another process is writing is waited for (the gateway's
  // busy timeout); a BEGIN that still fails stops the run.
  if (!db_.Begin()) return Outcome::kFailed;
  if (DataVersion() != version_) {
    db_.Rollback();
    return Outcome::kChanged;
  }
  const int failures = db_.FailureCount();
  const std::string gt = TrimmedNumber(batch.group);
  bool ok = run1_.Write(batch.run1, gt) && stem_.Write(batch.stem, gt);
  if (ok) {
    PreparedStatement find(db_, "select isinwords from calib where gr=" + gt + " AND filen=?");
    PreparedStatement insert(db_, std::string("INSERT into calib (filen, gr, ") +
                                      CalibFlag(kind_) + ") Values (?," +
                                      PlainNumber(batch.group) + ",1)");
    PreparedStatement update(db_, std::string("Update calib set ") + CalibFlag(kind_) +
                                      "=1 where gr=" + gt + " AND filen=?");
    for (const std::string& path : batch.paths) {
      find.Bind(1, path);
      const bool known = find.Step();
      find.Reset();
      ok = known ? update.Bind(1, path).Run() : insert.Bind(1, path).Run();
      if (!ok) break;
    }
  }
  if (ok && kind_ == 1)
    db_.Statement(1, "Update trainsize set g" + gt + " = g" + gt + "+" +
                         TrimmedNumber(static_cast<int>(batch.paths.size())));
  if (ok && db_.FailureCount() == failures && db_.Commit()) return Outcome::kKept;
  if (db_.InTransaction()) db_.Rollback();
  return Outcome::kFailed;
}

std::int64_t TrainingBatches::DataVersion() {
  PreparedStatement version(db_, "PRAGMA data_version");
  return version.Step() ? version.Int(0) : -1;
}

}  // namespace tarne
