#include "training/training_batches.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "db/gateway.h"
#include "db/prepared_statement.h"
#include "db/server_rows.h"
#include "shell/numbers.h"
#include "text/tokenizer.h"
#include "training/training_internal.h"

namespace tarne {

namespace {

using Clock = std::chrono::steady_clock;

// A batch is handed over once it holds kMinBatchTime of counting and the
// writer is free, and at the latest after kMaxBatchTime of counting,
// kMaxBatchWrite of writing (at the last batch's rate) or kMaxBatchEssays.
// The writer commits once its transaction is three times as old as the
// last commit took, within kMinCommitInterval and kMaxCommitInterval: a
// commit into a small table is cheap and comes often, one into a large
// table writes most of its pages and is spread over more essays.  A kill
// loses at most a few commits' time of work, and a Cancel waits for at
// most two short writes and one commit.
constexpr auto kMinBatchTime = std::chrono::milliseconds(20);
constexpr auto kMaxBatchTime = std::chrono::milliseconds(300);
constexpr double kMaxBatchWrite = 0.08;
constexpr size_t kMaxBatchEssays = 2000;
constexpr auto kMinCommitInterval = std::chrono::milliseconds(50);
constexpr auto kMaxCommitInterval = std::chrono::milliseconds(2000);
// Counting again after someone else changed the tables gives up after this
// many rounds rather than race a writer for ever.
constexpr int kMaxRecounts = 10;
// While Add waits for the writer, a Cancel is polled every kCancelPollEvery:
// under load a batch can take longer to write than a Cancel may wait.
constexpr auto kCancelPollEvery = std::chrono::milliseconds(20);
// The writer checkpoints the log after a commit once it holds this many
// pages, as SQLite would inside the commit.
constexpr int kCheckpointPages = 1000;

}  // namespace

TrainingBatches::TrainingBatches(Database& db, int kind, const CountingRules& rules)
    : db_(db),
      kind_(kind),
      rules_(rules),
      run1_(db, 0, kind, rules),
      stem_(db, 1, kind, rules) {
  run1_.SetDeadline(&deadline_);
  stem_.SetDeadline(&deadline_);
  // Out of the commits, so that a Cancel need not wait for a checkpoint.
  db_.SetAutomaticCheckpoints(false);
}

TrainingBatches::~TrainingBatches() {
  if (writer_.valid()) {
    writer_.wait();
    ReturnSink();
  }
  // A run that ends without Commit keeps nothing it had not committed.
  if (inTransaction_ && db_.InTransaction()) db_.Rollback();
  db_.SetAutomaticCheckpoints(true);
}

bool TrainingBatches::Load() {
  stale_ = false;
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

  // The stemmed table counts the text normalised once more, which for
  // almost every text changes at most some runs of blanks and so no piece;
  // a text it would change gets a cut of its own for each table.
  normal_.assign(text);
  NormalizeEssayText(normal_);
  if (NormalisingAgainKeepsWords(normal_)) {
    CutEssay(normal_, rules_, &writtenWords_, &stemmedWords_, stems_);
  } else {
    again_ = normal_;
    NormalizeEssayText(again_);
    CutEssay(normal_, rules_, &writtenWords_, nullptr, stems_);
    CutEssay(again_, rules_, nullptr, &stemmedWords_, stems_);
  }
  run1_.CountEssay(writtenWords_);
  stem_.CountEssay(stemmedWords_);
}

void TrainingBatches::SealPart() {
  Part& part = open_.parts.back();
  open_.rows += run1_.PendingRows() + stem_.PendingRows();
  part.run1 = run1_.TakeWrites();
  part.stem = stem_.TakeWrites();
}

bool TrainingBatches::Add(const std::string& text, const std::string& path, int g) {
  if (failed_ || g < 1 || g > 5) return false;
  if (stale_ && !Load()) {
    Fail();
    return false;
  }
  Count(text, path, g);
  const auto counting = Clock::now() - open_.started;
  if (counting >= kMaxBatchTime || open_.essays >= kMaxBatchEssays ||
      writeCost_ * static_cast<double>(OpenRows()) >= kMaxBatchWrite ||
      (counting >= kMinBatchTime && !WriterBusy()))
    return Submit();
  return true;
}

bool TrainingBatches::Commit() {
  for (int round = 0; round < kMaxRecounts; ++round) {
    if (!Submit(true) || !Wait()) return false;
    if (open_.essays == 0 && !inTransaction_) return true;
  }
  Fail();
  return false;
}

void TrainingBatches::ArmDeadline(std::chrono::milliseconds budget) {
  deadline_.Set(Clock::now() + budget);
  const std::lock_guard<std::mutex> lock(checkpointMutex_);
  if (checkpointing_) db_.Interrupt();
}

void TrainingBatches::Checkpoint() {
  {
    const std::lock_guard<std::mutex> lock(checkpointMutex_);
    if (deadline_.Armed()) return;
    checkpointing_ = true;
  }
  db_.Checkpoint(kCheckpointPages);
  const std::lock_guard<std::mutex> lock(checkpointMutex_);
  checkpointing_ = false;
}

bool TrainingBatches::Cancel(std::chrono::milliseconds budget) {
  ArmDeadline(budget);
  const bool ok = Commit();
  deadline_.Clear();
  return ok;
}

size_t TrainingBatches::OpenRows() const {
  return open_.rows + run1_.PendingRows() + stem_.PendingRows();
}

bool TrainingBatches::WriterBusy() const {
  return writer_.valid() &&
         writer_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

bool TrainingBatches::Submit(bool commit) {
  if (!Wait()) return false;
  if (open_.essays == 0 && !(commit && inTransaction_)) return true;
  if (!open_.parts.empty()) SealPart();
  flying_ = std::move(open_);
  flying_.commit = commit;
  open_ = Batch();
  // Failures are reported on this thread once the batch is done: the sink
  // writes to the project log through the front end.
  sink_ = db_.ReplaceErrorSink([this](const std::string& m) { reported_.push_back(m); });
  writer_ = std::async(std::launch::async, [this] { return Write(flying_); });
  return true;
}

bool TrainingBatches::Wait() {
  if (!writer_.valid()) return !failed_;
  if (cancelled_) {
    bool cancelled = false;
    while (writer_.wait_for(kCancelPollEvery) != std::future_status::ready)
      if (!cancelled && cancelled_()) {
        cancelled = true;
        ArmDeadline();
      }
  }
  const Outcome outcome = writer_.get();
  ReturnSink();

  if (outcome == Outcome::kWritten || outcome == Outcome::kKept) {
    for (const Part& part : flying_.parts)
      written_[part.group] += static_cast<int>(part.paths.size());
    if (flying_.rows > 1000)
      writeCost_ = std::chrono::duration<double>(lastWrite_).count() /
                   static_cast<double>(flying_.rows);
    if (outcome == Outcome::kKept) {
      for (int g = 1; g <= 5; ++g) {
        kept_[g] += written_[g];
        pending_[g] -= written_[g];
        written_[g] = 0;
      }
    }
    flying_ = Batch();
    return true;
  }
  if (outcome == Outcome::kGivenUp) {
    // Nothing of the transaction is kept: its essays and the ones counted
    // since are trained by the next run.
    for (int g = 1; g <= 5; ++g) {
      pending_[g] = 0;
      written_[g] = 0;
    }
    flying_ = Batch();
    open_ = Batch();
    stale_ = true;
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
  // Whatever was not kept is lost: the transaction that failed and
  // everything counted after it.
  for (int g = 1; g <= 5; ++g) {
    lost_[g] += pending_[g];
    pending_[g] = 0;
    written_[g] = 0;
  }
  flying_ = Batch();
  open_ = Batch();
  failed_ = true;
}

TrainingBatches::Outcome TrainingBatches::Write(const Batch& batch) {
  if (!inTransaction_) {
    // A database another process is writing is waited for (the gateway's
    // busy timeout); a BEGIN that still fails stops the run.
    if (!db_.Begin()) return Outcome::kFailed;
    if (DataVersion() != version_) {
      db_.Rollback();
      return Outcome::kChanged;
    }
    inTransaction_ = true;
    transactionStarted_ = Clock::now();
    transactionWatch_.Restart();
  }
  const auto started = Clock::now();
  bool ok = true;
  for (const Part& part : batch.parts)
    if (ok) ok = WritePart(part);
  ok = ok && !transactionWatch_.Failed();
  lastWrite_ = Clock::now() - started;
  if (!ok && deadline_.Passed()) {
    inTransaction_ = false;
    if (db_.InTransaction()) db_.Rollback();
    return Outcome::kGivenUp;
  }
  if (ok && !batch.commit && Clock::now() - transactionStarted_ < commitInterval_)
    return Outcome::kWritten;
  inTransaction_ = false;
  const auto committing = Clock::now();
  ok = ok && run1_.WriteAdditions() && stem_.WriteAdditions() &&
       !transactionWatch_.Failed();
  if (!ok && deadline_.Passed()) {
    if (db_.InTransaction()) db_.Rollback();
    return Outcome::kGivenUp;
  }
  // A commit the run asks for may be its last, so it waits for the disk;
  // one made because the interval has passed is followed by another, or by
  // the end of the connection, either of which makes it durable.
  if (ok && (batch.commit ? db_.Commit() : db_.CommitInterim())) {
    Checkpoint();
    commitInterval_ = std::clamp<Clock::duration>(3 * (Clock::now() - committing),
                                                  kMinCommitInterval, kMaxCommitInterval);
    return Outcome::kKept;
  }
  if (db_.InTransaction()) db_.Rollback();
  return Outcome::kFailed;
}

bool TrainingBatches::WritePart(const Part& part) {
  const std::string gt = TrimmedNumber(part.group);
  if (!run1_.Write(part.run1, gt) || !stem_.Write(part.stem, gt)) return false;
  if (!(db_.IsServer() ? RecordFilesOnServer(part) : RecordFiles(part))) return false;
  if (kind_ == 1) {
    const FailureWatch watch(db_);
    db_.Statement(1, "Update trainsize set g" + gt + " = g" + gt + "+" +
                         TrimmedNumber(static_cast<int>(part.paths.size())));
    return !watch.Failed();
  }
  return true;
}

bool TrainingBatches::RecordFiles(const Part& part) {
  const std::string gt = TrimmedNumber(part.group);
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
  return true;
}

bool TrainingBatches::RecordFilesOnServer(const Part& part) {
  // As RecordFiles: a file with a row of its group has its flag set in
  // every such row; any other file gets a row, in the order listed.
  const std::string flag = CalibFlag(kind_);
  if (!markFiles_)
    markFiles_ = std::make_unique<PreparedStatement>(
        db_, "UPDATE calib SET " + flag + "=1 WHERE gr=? AND filen=ANY(?::text[])");
  if (!addFiles_)
    addFiles_ = std::make_unique<PreparedStatement>(
        db_, "INSERT INTO calib (filen, gr, " + flag +
                 ") SELECT f, ?1::int4, 1 FROM unnest(?2::text[]) WITH ORDINALITY AS x(f, n) "
                 "WHERE NOT EXISTS (SELECT 1 FROM calib AS c WHERE c.gr=?1 AND c.filen=x.f) "
                 "ORDER BY n");
  // A file listed twice would get two rows; the second is found as known.
  std::unordered_set<std::string_view> listed;
  ServerArray paths(ServerArray::Type::kText);
  for (const std::string& path : part.paths)
    if (listed.insert(path).second) paths.Add(path);
  const std::int64_t group = part.group;
  return markFiles_->Bind(1, group).Bind(2, paths).Run() &&
         addFiles_->Bind(1, group).Bind(2, paths).Run();
}

std::int64_t TrainingBatches::DataVersion() {
  PreparedStatement version(db_, "PRAGMA data_version");
  return version.Step() ? version.Int(0) : -1;
}

}  // namespace tarne
