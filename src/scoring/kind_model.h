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

  // Multiplies scores (the caller puts the priors there) by the essay's
  // likelihood and normalises them, as the per-essay statements would.
  void Score(const std::string& text, GroupScores& scores);

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
  std::vector<Row, LargeAllocator<Row>> rows_;
  AbsentProduct absent_;  // the Bernoulli model's product over all selected rows
  std::vector<int> counts_;
  std::vector<std::uint32_t> present_;
  std::vector<ProductRow> product_;
};

}  // namespace tarne
