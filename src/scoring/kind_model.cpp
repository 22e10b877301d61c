#include "scoring/kind_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "db/prepared_statement.h"
#include "project/session.h"
#include "scoring/essay_product.h"
#include "shell/numbers.h"
#include "text/tokenizer.h"

namespace tarne {

KindModel::KindModel(Session& session, int kind)
    : kind_(kind),
      groups_(session.settings.Groups()),
      stemmed_(session.options.Stemmed == 1),
      rules_(session.settings.rules),
      multinomial_(session.options.Model == 1) {
  if (kind_ == 3) frequent_.Load(session.db, stemmed_ ? "stem" : "run1");
}

void KindModel::Take(SelectedRows&& selected) {
  const std::string texts = std::move(selected.texts);
  rows_ = std::move(selected.rows);
  selected = SelectedRows();
  index_.Reserve(rows_.size());
  size_t kept = 0;
  for (const Row& row : rows_) {
    // A second row of the same text (never written by Tarne) is left out.
    if (!index_.Add(std::string_view(texts).substr(row.textStart, row.textLength)).second)
      continue;
    rows_[kept++] = row;
  }
  rows_.resize(kept);
  Finish();
}

KindModel::KindModel(Session& session, int kind, const std::string& condition)
    : KindModel(session, kind) {
  const char* table = stemmed_ ? "stem" : "run1";
  std::string lowInfo;
  if (!session.options.IncludeLowInfo)
    lowInfo = " AND entropy > " + PlainNumber(session.settings.lowinfo);
  PreparedStatement rows(session.db, std::string("select rowid, Vocab, p1,p2,p3,p4,p5 from ") +
                                         table + " WHERE " + condition + lowInfo);
  while (rows.Step()) {
    // A second row of the same text (never written by Tarne) is left out.
    if (!index_.Add(rows.Text(1)).second) continue;
    Row row;
    row.rowid = rows.Int(0);
    for (int g = 1; g <= 5; ++g) row.p[g] = rows.Real(g + 1);
    rows_.push_back(row);
  }
  Finish();
}

void KindModel::Finish() {
  if (multinomial_) return;
  for (const Row& row : rows_) absent_.Add(row.p, groups_);
  absent_.Finish(groups_);
}

void KindModel::Score(const std::string& text, GroupScores& scores) {
  std::string normal = text;
  NormalizeEssayText(normal);
  SentenceWords words;
  CutEssay(normal, rules_, stemmed_ ? nullptr : &words, stemmed_ ? &words : nullptr, stems_);
  ScoreCut(words, scores, scratch_);
}

void KindModel::ScoreCut(const SentenceWords& words, GroupScores& scores,
                         Scratch& scratch) const {
  std::vector<int>& counts = scratch.counts;
  std::vector<std::uint32_t>& present = scratch.present;
  if (counts.size() != rows_.size()) counts.assign(rows_.size(), 0);
  present.clear();
  ForEachCountedSentence(words, kind_, &frequent_, rules_,
                         [&](const std::vector<TokenRun>& runs) {
                           for (const TokenRun& run : runs) {
                             const std::uint32_t id = index_.Find(run.token);
                             if (id == TokenIndex::kNone) continue;
                             int& count = counts[id];
                             if (count == 0) present.push_back(id);
                             count += std::min(run.occurrences, kMaxOccurrences);
                           }
                         });
  // The order in which the table gives the essay's rows: by their count in
  // the work column, then by row.
  std::sort(present.begin(), present.end(), [&](std::uint32_t a, std::uint32_t b) {
    if (counts[a] != counts[b]) return counts[a] < counts[b];
    return rows_[a].rowid < rows_[b].rowid;
  });

  scratch.product.clear();
  for (std::uint32_t id : present)
    scratch.product.push_back({rows_[id].p, static_cast<unsigned>(counts[id])});
  MultiplyEssay(scratch.product, multinomial_, groups_, absent_, scores);
  for (std::uint32_t id : present) counts[id] = 0;
}

}  // namespace tarne
