// The rows of one token kind that a scoring run selects, read once and held
// in memory, and the scoring of essays against them.  The scores are worked
// out as the statements over the table would give them: present tokens in
// the order the table returns them (by count, then row), with the same
// extended precision and rescaling; for the Bernoulli model the product over
// the absent tokens is taken once for the whole selection and the tokens an
// essay holds are divided out again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/essay_product.h"
#include "scoring/scoring.h"
#include "text/essay_words.h"
#include "text/token_index.h"
#include "training/essay_tokens.h"
#include "training/selected_rows.h"

namespace tarne {

struct Session;

class KindModel {
 public:
  // Reads the rows of table under condition (the selection condition of
  // kind); the low-information test and the model come from the options.
  KindModel(Session& session, int kind, const std::string& condition);
  // A model of kind under the session's options and settings, with no
  // rows until Take; it keeps no hold on the session, so Take may run on
  // another thread while the session goes on.
  KindModel(Session& session, int kind);
  // Takes in the rows the recomputation of kind handed over (which are
  // released).
  void Take(SelectedRows&& selected);

  // What scoring one essay needs besides the model: one for each thread
  // that scores with the model.
  struct Scratch {
    std::vector<int> counts;  // by row, zero between essays
    std::vector<std::uint32_t> present;
    std::vector<ProductRow> product;
  };

  // Multiplies scores (the caller puts the priors there) by the essay's
  // likelihood and normalises them, as the per-essay statements would.
  void Score(const std::string& text, GroupScores& scores);
  // The same for an essay already normalised and cut in the form this
  // model counts (stemmed or not).  It changes nothing in the model, so
  // several threads may score at once, each with a scratch of its own.
  void ScoreCut(const SentenceWords& words, GroupScores& scores, Scratch& scratch) const;
  bool Stemmed() const { return stemmed_; }

 private:
  using Row = SelectedRows::Row;  // its text is in index_

  void Finish();

  int kind_;
  int groups_;
  bool stemmed_;
  CountingRules rules_;
  bool multinomial_;
  FrequentWords frequent_;
  TokenIndex index_;  // numbers the rows
  std::vector<Row> rows_;
  AbsentProduct absent_;  // the Bernoulli model's product over all selected rows
  Scratch scratch_;        // Score's
  StemCache stems_;        // Score's
};

// What classifying one essay needs besides the models: the essay
// normalised and cut once for all kinds, and each kind's scratch.  One for
// each thread that classifies.
struct ScoringScratch {
  std::string normal;
  SentenceWords words;
  StemCache stems;
  KindModel::Scratch kinds[4];
};

}  // namespace tarne
