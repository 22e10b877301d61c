// RunVocabulary's writes when its table is on a server: the same rows and
// values as the file's statements give, each write one statement over
// arrays of rows (training/server_vocabulary_writes.h).
#include <algorithm>

#include "db/gateway.h"
#include "training/run_vocabulary.h"
#include "training/server_vocabulary_writes.h"

namespace tarne {

bool RunVocabulary::InsertRowsOnServer(const std::vector<VocabularyWrites::Insert>& rows,
                                       int group) {
  if (rows.empty()) return true;
  if (GivingUp()) return false;
  // Numbered in the order listed, as the file numbers them.
  const std::vector<std::int64_t> ids = server_->Reserve(rows.size());
  if (ids.size() != rows.size()) return false;
  ServerVocabularyWrites::NewRows values;
  for (size_t i = 0; i < rows.size(); ++i) {
    const VocabularyWrites::Insert& row = rows[i];
    SetRowid(row.id, ids[i]);
    values.rowid.Add(ids[i]);
    values.text.Add(row.text);
    values.stop.Add(std::int64_t{row.stop ? 1 : 0});
    values.v.Add(std::int64_t{row.v});
    values.w.Add(std::int64_t{row.w});
  }
  return server_->Insert(group, values);
}

bool RunVocabulary::WriteAdditionsOnServer() {
  // Spilled: runs of one group, each naming a row once.  A row listed twice
  // in one UPDATE would be added to once.
  const FailureWatch watch(db_);
  bool ok = true;
  for (size_t i = 0; i < spilled_.size() && ok;) {
    if (GivingUp()) {
      ok = false;
      break;
    }
    const char group = spilled_[i].group;
    ServerVocabularyWrites::Additions values;
    for (; i < spilled_.size() && spilled_[i].group == group; ++i) {
      values.rowid.Add(rowids_[spilled_[i].id]);
      values.v.Add(std::int64_t{spilled_[i].v});
      values.w.Add(std::int64_t{spilled_[i].w});
    }
    ok = server_->Add(group - '0', values);
  }
  spilled_.clear();
  spilled_.shrink_to_fit();
  return ok && !watch.Failed() && WriteMarks();
}

bool RunVocabulary::WriteMarksOnServer() {
  const FailureWatch watch(db_);
  // After a write of this run only the rows it marked can hold anything
  // there; they go back to 0 unless the last essay marks them again.
  bool ok = !GivingUp() && (marksKnown_ || server_->ClearWork());
  std::vector<std::pair<std::int64_t, int>> work;
  work.reserve(marked_.size() + lastMarks_.size());
  if (marksKnown_)
    for (std::int64_t rowid : marked_) work.emplace_back(rowid, 0);
  for (const auto& [id, count] : lastMarks_) work.emplace_back(rowids_[id], count);
  // A row listed twice takes its last value: an UPDATE over a list that
  // names a row twice would write it once, with either value.
  std::stable_sort(work.begin(), work.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  ServerArray rowids(ServerArray::Type::kInt8);
  ServerArray counts(ServerArray::Type::kInt8);
  for (size_t i = 0; i < work.size(); ++i) {
    if (i + 1 < work.size() && work[i + 1].first == work[i].first) continue;
    rowids.Add(work[i].first);
    counts.Add(std::int64_t{work[i].second});
  }
  ok = ok && server_->SetWork(rowids, counts);
  marked_.clear();
  for (const auto& mark : lastMarks_) marked_.push_back(rowids_[mark.first]);
  lastMarks_.clear();
  marksPending_ = false;
  marksKnown_ = ok && !watch.Failed();
  return marksKnown_;
}

}  // namespace tarne
