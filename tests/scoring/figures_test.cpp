// The figures of a table of observed against predicted groups, checked
// against tables worked by hand (and against scikit-learn's
// cohen_kappa_score, which gives the same numbers for these essays).
#include <cmath>
#include <string>
#include <vector>

#include "scoring/results.h"
#include "scoring_fixture.h"

namespace tarne::testing {
namespace {

ConfusionTable TableOf(const std::vector<int>& truth, const std::vector<int>& predicted) {
  ConfusionTable t;
  for (size_t i = 0; i < truth.size(); ++i) ++t.count[truth[i]][predicted[i]];
  return t;
}

TEST(Figures, KappasAgainstWorkedTables) {
  struct Case {
    int groups;
    std::vector<int> truth, predicted;
    double kappa, qwk;
  };
  const Case cases[] = {
      // po = .7, pe = .34: kappa = .36 / .66; weighted disagreement 1.5 of 3.45 expected.
      {3, {1, 1, 1, 2, 2, 2, 3, 3, 3, 3}, {1, 1, 2, 2, 2, 3, 1, 3, 3, 3}, 0.5454545454545454,
       0.5652173913043479},
      {5, {1, 2, 2, 1, 3, 4, 4, 4, 5, 2, 1}, {2, 2, 2, 1, 4, 4, 3, 5, 5, 1, 1},
       0.4148936170212766, 0.8884381338742393},
      // Perfect agreement, and two groups always predicted the wrong way round.
      {2, {1, 2, 2}, {1, 2, 2}, 1, 1},
      {2, {1, 2}, {2, 1}, -1, -1},
  };
  for (const Case& c : cases) {
    const ConfusionTable t = TableOf(c.truth, c.predicted);
    EXPECT_NEAR(Kappa(t, c.groups, false), c.kappa, 1e-12) << c.groups;
    EXPECT_NEAR(Kappa(t, c.groups, true), c.qwk, 1e-12) << c.groups;
  }
  // Every essay and every prediction in one group: no kappa is defined.
  EXPECT_TRUE(std::isnan(Kappa(TableOf({2, 2}, {2, 2}), 3, true)));
  EXPECT_TRUE(std::isnan(Kappa(ConfusionTable(), 3, false)));
}

TEST(Figures, PerGroupFiguresAndTheBlock) {
  RunResult r;
  r.groups = 3;
  r.table = TableOf({1, 1, 1, 2, 2, 2, 3, 3, 3, 3}, {1, 1, 2, 2, 2, 3, 1, 3, 3, 3});
  r.table.count[2][0] = 1;  // no prediction: not in the figures, counted as not scored
  r.unreadable = 2;
  const Figures f = ComputeFigures(r.table, 3);
  EXPECT_EQ(f.scored, 10);
  EXPECT_DOUBLE_EQ(f.accuracy, 70);
  EXPECT_EQ(f.group[3].essays, 4);
  EXPECT_EQ(f.group[3].predicted, 4);
  EXPECT_DOUBLE_EQ(f.group[1].precision, 2.0 / 3);  // 2 of the 3 predicted 1
  EXPECT_DOUBLE_EQ(f.group[2].recall, 2.0 / 3);
  EXPECT_DOUBLE_EQ(f.group[3].f1, 0.75);
  EXPECT_EQ(r.NotScored(), 3);

  const std::string in = Spaces(24);
  EXPECT_EQ(FiguresText(r), in + "QWK =            0.565\r\n" +
                                in + "Cohen's kappa =  0.545\r\n\r\n" +
                                in + "Group  Essays  Precision  Recall      F1\r\n" +
                                in + "    1       3      0.667   0.667   0.667\r\n" +
                                in + "    2       3      0.667   0.667   0.667\r\n" +
                                in + "    3       4      0.750   0.750   0.750\r\n\r\n" +
                                in + "Essays not read or scored: 3\r\n\r\n");
}

}  // namespace
}  // namespace tarne::testing
