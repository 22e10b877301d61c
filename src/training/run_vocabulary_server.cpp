// RunVocabulary's writes when its table is on a server: the same rows and
// values as the file's statements give, each write one statement over
// arrays of rows (training/server_vocabulary_writes.h).  New rows wait for
// the commit's additions and go in with them.
#include <algorithm>

#include "db/gateway.h"
#include "training/run_vocabulary.h"
#include "training/server_vocabulary_writes.h"

namespace tarne {

bool RunVocabulary::InsertRowsOnServer(const std::vector<VocabularyWrites::Insert>& rows,
                                       int group) {
  if (rows.empty()) return true;
  if (GivingUp()) return false;
  // Numbered in the order listed, as the file numbers them; blocks come
  // from the table's numbering in ascending order, so held_ stays in row
  // order.
  const std::vector<std::int64_t> ids = server_->Reserve(rows.size());
  if (ids.size() != rows.size()) return false;
  held_.reserve(held_.size() + rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const VocabularyWrites::Insert& row = rows[i];
    SetRowid(row.id, ids[i]);
    held_.push_back({static_cast<char>('0' + group), ids[i], row.text, row.stop, row.v, row.w});
  }
  return true;
}

bool RunVocabulary::WriteHeldRows() {
  // Additions of the group a held row was inserted for become part of its
  // counts; the rest stay additions, sent after the inserts.
  if (!held_.empty()) {
    const auto byRow = [](const HeldRow& h, std::int64_t rowid) { return h.rowid < rowid; };
    std::erase_if(spilled_, [&](const Addition& a) {
      const auto found = std::lower_bound(held_.begin(), held_.end(), a.rowid, byRow);
      if (found == held_.end() || found->rowid != a.rowid || found->group != a.group)
        return false;
      found->v += a.v;
      found->w += a.w;
      return true;
    });
  }
  bool ok = true;
  for (size_t i = 0; i < held_.size() && ok;) {
    if (GivingUp()) {
      ok = false;
      break;
    }
    const char group = held_[i].group;
    ServerVocabularyWrites::NewRows values;
    for (; i < held_.size() && held_[i].group == group; ++i) {
      const HeldRow& row = held_[i];
      values.rowid.Add(row.rowid);
      values.text.Add(row.text);
      values.stop.Add(std::int64_t{row.stop ? 1 : 0});
      values.v.Add(row.v);
      values.w.Add(row.w);
    }
    ok = server_->Insert(group - '0', values);
  }
  held_.clear();
  return ok;
}

bool RunVocabulary::WriteAdditionsOnServer() {
  // Spilled: runs of one group, each naming a row once.  A row listed twice
  // in one UPDATE would be added to once.
  const FailureWatch watch(db_);
  bool ok = WriteHeldRows();
  for (size_t i = 0; i < spilled_.size() && ok;) {
    if (GivingUp()) {
      ok = false;
      break;
    }
    const char group = spilled_[i].group;
    ServerVocabularyWrites::Additions values;
    for (; i < spilled_.size() && spilled_[i].group == group; ++i) {
      values.rowid.Add(spilled_[i].rowid);
      values.v.Add(spilled_[i].v);
      values.w.Add(spilled_[i].w);
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
  work.insert(work.end(), lastMarks_.begin(), lastMarks_.end());
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
  for (const auto& mark : lastMarks_) marked_.push_back(mark.first);
  lastMarks_.clear();
  marksPending_ = false;
  marksKnown_ = ok && !watch.Failed();
  return marksKnown_;
}

}  // namespace tarne
