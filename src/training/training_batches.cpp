#include "training/training_batches.h"

#include "db/gateway.h"
#include "db/prepared_statement.h"
#include "shell/numbers.h"
#include "text/tokenizer.h"
#include "training/training_internal.h"

namespace tarne {

namespace {

using Clock = std::chrono::steady_clock;

// A batch is handed over once it holds kMinBatchTime of counting and the
// writer is free, and at the latest after kMaxBatchTime or kMaxBatchEssays,
// so that a kill loses little and a Cancel waits for at most two short
// writes.
constexpr auto kMinBatchTime = std::chrono::milliseconds(20);
constexpr auto kMaxBatchTime = std::chrono::milliseconds(300);
constexpr size_t kMaxBatchEssays = 2000;
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

bool TrainingBatches::Load() {
  version_ = DataVersion();
  return run1_.Load() && stem_.Load();
}

void TrainingBatches::Count(const std::string& text, const std::string& path, int g) {
  if (open_.parts.empty() || open_.parts.back().group != g) {
    if (!open_.parts.empty()) SealPart();
    open_.parts.emplace_back();
    open_.parts.back().group = g;
  }
  if (open_.essays == 0) open_.started = Clock::now();
  Part& part = open_.parts.back();
  part.paths.push_back(path);
  part.texts.push_back(text);
  ++open_.essays;
  ++pending_[g];

  std::string normal = text;
  NormalizeEssayText(normal);
  run1_.CountEssay(normal);
  NormalizeEssayText(normal);
  stem_.CountEssay(normal);
}

void TrainingBatches::SealPart() {
  Part& part = open_.parts.back();
  part.run1 = run1_.TakeWrites();
  part.stem = stem_.TakeWrites();
}

bool TrainingBatches::Add(const std::string& text, const std::string& path, int g) {
  if (failed_ || g < 1 || g > 5) return false;
  Count(text, path, g);
  const auto counting = Clock::now() - open_.started;
  if (counting >= kMaxBatchTime || open_.essays >= kMaxBatchEssays ||
      (counting >= kMinBatchTime && !WriterBusy()))
    return Submit();
  return true;
}

bool TrainingBatches::Commit() {
  for (int round = 0; round < kMaxRecounts; ++round) {
    if (!Submit() || !Wait()) return false;
    if (open_.essays == 0) return true;
  }
  Fail();
  return false;
}

bool TrainingBatches::WriterBusy() const {
  return writer_.valid() &&
         writer_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

bool TrainingBatches::Submit() {
  if (!Wait()) return false;
  if (open_.essays == 0) return true;
  SealPart();
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
    for (const Part& part : flying_.parts) {
      kept_[part.group] += static_cast<int>(part.paths.size());
      pending_[part.group] -= static_cast<int>(part.paths.size());
    }
    flying_ = Batch();
    return true;
  }
  if (outcome == Outcome::kChanged && Load()) {
    // What is held in memory is no longer the table: count the essays not
    // yet kept again, from the table as it is now, in their order.
    std::vector<Part> parts = std::move(flying_.parts);
    for (Part& part : open_.parts) parts.push_back(std::move(part));
    flying_ = Batch();
    open_ = Batch();
    for (const Part& part : parts) {
      pending_[part.group] -= static_cast<int>(part.paths.size());
      for (size_t i = 0; i < part.paths.size(); ++i)
        Count(part.texts[i], part.paths[i], part.group);
    }
    return true;
  }
  Fail();
  return false;
}

void TrainingBatches::ReturnSink() {
  db_.ReplaceErrorSink(std::move(sink_));
  sink_ = nullptr;
  for (const std::string& message : reported_) db_.ReportToSink(message);
  reported_.clear();
}

void TrainingBatches::Fail() {
  // Whatever was not kept is lost: the batch that failed and everything
  // counted after it.
  for (int g = 1; g <= 5; ++g) {
    lost_[g] += pending_[g];
    pending_[g] = 0;
  }
  flying_ = Batch();
  open_ = Batch();
  failed_ = true;
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
  bool ok = true;
  for (const Part& part : batch.parts)
    if (ok) ok = WritePart(part);
  if (ok && db_.FailureCount() == failures && db_.Commit()) return Outcome::kKept;
  if (db_.InTransaction()) db_.Rollback();
  return Outcome::kFailed;
}

bool TrainingBatches::WritePart(const Part& part) {
  const std::string gt = TrimmedNumber(part.group);
  if (!run1_.Write(part.run1, gt) || !stem_.Write(part.stem, gt)) return false;
  PreparedStatement find(db_, "select isinwords from calib where gr=" + gt + " AND filen=?");
  PreparedStatement insert(db_, std::string("INSERT into calib (filen, gr, ") + CalibFlag(kind_) +
                                    ") Values (?," + PlainNumber(part.group) + ",1)");
  PreparedStatement update(db_, std::string("Update calib set ") + CalibFlag(kind_) +
                                    "=1 where gr=" + gt + " AND filen=?");
  for (const std::string& path : part.paths) {
    find.Bind(1, path);
    const bool known = find.Step();
    find.Reset();
    if (!(known ? update.Bind(1, path).Run() : insert.Bind(1, path).Run())) return false;
  }
  if (kind_ == 1) {
    const int failures = db_.FailureCount();
    db_.Statement(1, "Update trainsize set g" + gt + " = g" + gt + "+" +
                         TrimmedNumber(static_cast<int>(part.paths.size())));
    return db_.FailureCount() == failures;
  }
  return true;
}

std::int64_t TrainingBatches::DataVersion() {
  PreparedStatement version(db_, "PRAGMA data_version");
  return version.Step() ? version.Int(0) : -1;
}

}  // namespace tarne
